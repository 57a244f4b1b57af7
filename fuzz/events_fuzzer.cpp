// The calendar file reader over arbitrary bytes: it never crashes, leaks or
// hangs, a refused file keeps nothing, and every occurrence it keeps lies on
// the page's days with its first day before its last.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "events/event_reader.h"

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "the reader broke its promise: %s\n", what);
    std::abort();
}

constexpr std::int32_t kFirstDay = 20819;  // 2027-01-01, a twelve-month page
constexpr std::int32_t kLastDay = 21183;   // 2027-12-31

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const rumora::events::Calendar calendar =
        rumora::events::ReadCalendar(bytes, kFirstDay, kLastDay);
    if (!calendar.problem.empty() && !calendar.occurrences.empty()) Fail("refused, yet kept");
    for (const auto& o : calendar.occurrences) {
        if (o.firstDay > o.lastDay) Fail("ends before it starts");
        if (o.lastDay < kFirstDay || o.firstDay > kLastDay) Fail("off the page");
        if (o.startMinute < -1 || o.startMinute >= 24 * 60) Fail("no time of day");
    }
    return 0;
}
