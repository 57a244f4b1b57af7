// Page generation speed: one month table, and whole pages of each layout.
// Run: build/bench/rumora_bench --benchmark_repetitions=10
//      --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <chrono>

#include "calendar/closing_days.h"
#include "files/code_page.h"
#include "page/month_table.h"
#include "page/page_composer.h"

namespace rumora {
namespace {

PageOptions BenchOptions(PageLayout layout) {
    PageOptions options;
    options.layout = layout;
    options.fontFace = kWindowFontName;
    options.firstMonth = {2026, 12};
    options.picturePath = "/home/user/My Pictures/富士山.jpg";
    options.pictureWidthTwips = 640 * 15.0f;
    options.pictureHeightTwips = 480 * 15.0f;
    return options;
}

void BM_MonthTable(benchmark::State& state) {
    PageOptions s = BenchOptions(PageLayout::Simple);
    std::string table;
    table.reserve(2048);
    for (auto _ : state) {
        table.clear();
        AppendCalendarTable(table, s, 2026, 12);
        benchmark::DoNotOptimize(table.data());
    }
}
BENCHMARK(BM_MonthTable);

// A fresh page each time, as the window builds it for every save.
void BM_WholePage(benchmark::State& state, PageLayout layout, bool bold, bool holidays) {
    PageOptions s = BenchOptions(layout);
    s.weight = bold ? FontWeight::Bold : FontWeight::Regular;
    s.holidays = holidays;
    const ScreenMetrics screen;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string page = MakeHtmlPage(s, screen);
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(BM_WholePage, Simple, PageLayout::Simple, false, false);
// Twelve months with the national holidays marked (their years computed once).
BENCHMARK_CAPTURE(BM_WholePage, SimpleHolidays, PageLayout::Simple, false, true);

// Twelve months with each day's 六曜, once its new moons are known.
void BM_SimpleRokuyoWarm(benchmark::State& state) {
    PageOptions s = BenchOptions(PageLayout::Simple);
    s.rokuyo = true;
    MakeHtmlPage(s, {});
    for (auto _ : state) {
        std::string page = MakeHtmlPage(s, {});
        benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK(BM_SimpleRokuyoWarm);

// Holidays, 六曜, 二十四節気, 雑節, moon phases and era years on one page:
// compare with Simple, the plain page.
void BM_SimpleWholeAlmanacWarm(benchmark::State& state) {
    PageOptions s = BenchOptions(PageLayout::Simple);
    s.holidays = s.rokuyo = s.solarTerms = s.seasonalDays = s.moonPhases = s.eraYear = true;
    MakeHtmlPage(s, {});
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string page = MakeHtmlPage(s, {});
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SimpleWholeAlmanacWarm);

// The two pages above built in turn, so that both see the same machine:
// the ratio counter is what the almanac's options cost a page.
void BM_WholeAlmanacOverPlain(benchmark::State& state) {
    PageOptions plain = BenchOptions(PageLayout::Simple);
    PageOptions almanac = plain;
    almanac.holidays = almanac.rokuyo = almanac.solarTerms = almanac.seasonalDays =
        almanac.moonPhases = almanac.eraYear = true;
    MakeHtmlPage(almanac, {});
    using Clock = std::chrono::steady_clock;
    Clock::duration plainTime{};
    Clock::duration almanacTime{};
    for (auto _ : state) {
        const auto start = Clock::now();
        std::string page = MakeHtmlPage(plain, {});
        benchmark::DoNotOptimize(page.data());
        const auto middle = Clock::now();
        page = MakeHtmlPage(almanac, {});
        benchmark::DoNotOptimize(page.data());
        plainTime += middle - start;
        almanacTime += Clock::now() - middle;
    }
    state.counters["ratio"] = std::chrono::duration<double>(almanacTime).count() /
                              std::chrono::duration<double>(plainTime).count();
}
BENCHMARK(BM_WholeAlmanacOverPlain);

// The first such page of a process: each iteration starts in a year no
// earlier one has touched (three years on from the last), so nothing of it
// is known yet. With the whole almanac, holidays, 二十四節気, 雑節, moon
// phases and era years come on top of 六曜.
void BM_SimpleRokuyoFirst(benchmark::State& state, bool wholeAlmanac) {
    static int year = 1874;
    PageOptions s = BenchOptions(PageLayout::Simple);
    s.rokuyo = true;
    s.holidays = s.solarTerms = s.seasonalDays = s.moonPhases = s.eraYear = wholeAlmanac;
    s.firstMonth.month = 1;
    for (auto _ : state) {
        if (year > 2098) state.SkipWithError("no fresh years left");
        s.firstMonth.year = year;
        year += 3;
        std::string page = MakeHtmlPage(s, {});
        benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK_CAPTURE(BM_SimpleRokuyoFirst, Rokuyo, false)->Iterations(5);
BENCHMARK_CAPTURE(BM_SimpleRokuyoFirst, WholeAlmanac, true)->Iterations(5);

// The same page as a museum's: closed on Mondays, moved off holidays, and
// over the year's end. Compare with SimpleHolidays.
void BM_SimpleClosings(benchmark::State& state) {
    PageOptions s = BenchOptions(PageLayout::Simple);
    s.holidays = true;
    AddClosingRuleList(s.closing, "mon");
    AddDateSpanList(s.closing.closedOn, "12-29..01-03");
    s.closing.movesAfterHoliday = true;
    for (auto _ : state) {
        std::string page = MakeHtmlPage(s, {});
        benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK(BM_SimpleClosings);

BENCHMARK_CAPTURE(BM_WholePage, SimpleBold, PageLayout::Simple, true, false);
BENCHMARK_CAPTURE(BM_WholePage, Standard1, PageLayout::Standard1, false, false);
BENCHMARK_CAPTURE(BM_WholePage, Standard2, PageLayout::Standard2, false, false);
BENCHMARK_CAPTURE(BM_WholePage, Progress, PageLayout::Progress, false, false);

void BM_CodePage932(benchmark::State& state) {
    PageOptions s = BenchOptions(PageLayout::Simple);
    const std::string page = MakeHtmlPage(s, {});
    for (auto _ : state) {
        std::string bytes = ToCodePage932(page);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_CodePage932);

}  // namespace
}  // namespace rumora
