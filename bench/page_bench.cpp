// Page generation speed: one month table, and whole pages of each layout.
// Run: build/bench/rumora_bench --benchmark_repetitions=10
//      --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include "calendar/month_table.h"
#include "calendar/page_composer.h"
#include "output/code_page.h"

namespace rumora {
namespace {

PageSettings BenchSettings(const char* layout) {
    PageSettings s = MakeDefaultSettings();
    s.lblLayOut.Caption = layout;
    s.lblFont.Caption = kWindowFontName;
    s.MonthView1.Year = 2026;
    s.MonthView1.Month = 12;
    s.txtImg.Text = "/home/user/My Pictures/富士山.jpg";
    s.Picture1.Width = 640 * 15.0f;
    s.Picture1.Height = 480 * 15.0f;
    return s;
}

void BM_MonthTable(benchmark::State& state) {
    PageSettings s = BenchSettings(kLayoutSimple);
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
void BM_WholePage(benchmark::State& state, const char* layout, bool bold, bool holidays) {
    PageSettings s = BenchSettings(layout);
    s.chkbold.Value = bold ? 1 : 0;
    s.chkHolidays.Value = holidays ? 1 : 0;
    const ScreenMetrics screen;
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string page = MakeHtmlPage(s, screen);
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.counters["page_bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(BM_WholePage, Simple, kLayoutSimple, false, false);
// Twelve months with the national holidays marked (their years computed once).
BENCHMARK_CAPTURE(BM_WholePage, SimpleHolidays, kLayoutSimple, false, true);

// Twelve months with each day's 六曜, once its new moons are known.
void BM_SimpleRokuyoWarm(benchmark::State& state) {
    PageSettings s = BenchSettings(kLayoutSimple);
    s.chkRokuyo.Value = 1;
    MakeHtmlPage(s, {});
    for (auto _ : state) {
        std::string page = MakeHtmlPage(s, {});
        benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK(BM_SimpleRokuyoWarm);

// The first such page of a process: each iteration starts in a year no
// earlier one has touched (three years on from the last), so its new
// moons and 中気 are computed afresh.
void BM_SimpleRokuyoFirst(benchmark::State& state) {
    static int year = 1874;
    PageSettings s = BenchSettings(kLayoutSimple);
    s.chkRokuyo.Value = 1;
    s.MonthView1.Month = 1;
    for (auto _ : state) {
        if (year > 2098) state.SkipWithError("no fresh years left");
        s.MonthView1.Year = static_cast<std::int16_t>(year);
        year += 3;
        std::string page = MakeHtmlPage(s, {});
        benchmark::DoNotOptimize(page.data());
    }
}
BENCHMARK(BM_SimpleRokuyoFirst)->Iterations(5);

BENCHMARK_CAPTURE(BM_WholePage, SimpleBold, kLayoutSimple, true, false);
BENCHMARK_CAPTURE(BM_WholePage, Standard1, kLayoutStandard1, false, false);
BENCHMARK_CAPTURE(BM_WholePage, Standard2, kLayoutStandard2, false, false);
BENCHMARK_CAPTURE(BM_WholePage, Progress, kLayoutProgress, false, false);

void BM_CodePage932(benchmark::State& state) {
    PageSettings s = BenchSettings(kLayoutSimple);
    const std::string page = MakeHtmlPage(s, {});
    for (auto _ : state) {
        std::string bytes = ToCodePage932(page);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_CodePage932);

}  // namespace
}  // namespace rumora
