#include "events/events_module.h"

#include <algorithm>
#include <exception>
#include <string>

#include "events/event_reader.h"

namespace {

void Put(char* problem, std::size_t size, const std::string& text) {
    if (size == 0) return;
    const std::size_t kept = std::min(text.size(), size - 1);
    std::copy_n(text.data(), kept, problem);
    problem[kept] = '\0';
}

}  // namespace

int rumora_read_events_v1(const char* bytes, std::size_t length, std::int32_t firstDay,
                          std::int32_t lastDay, const RumoraEventSink* sink, char* problem,
                          std::size_t problemSize) {
    rumora::events::Calendar calendar;
    try {
        calendar = rumora::events::ReadCalendar(std::string_view(bytes, length), firstDay, lastDay);
    } catch (const std::exception& error) {
        Put(problem, problemSize, error.what());
        return 1;
    }
    if (!calendar.problem.empty()) {
        Put(problem, problemSize, calendar.problem);
        return 1;
    }
    for (const auto& w : calendar.warnings) sink->warning(sink->context, w.line, w.reason.c_str());
    for (const auto& o : calendar.occurrences) {
        sink->occurrence(sink->context, o.firstDay, o.lastDay, o.startMinute, o.startSecond,
                         o.summary.data(), o.summary.size());
    }
    return 0;
}
