#include "cli/events_loader.h"

#include "cli/module_loader.h"
#include "events/events_module.h"

namespace rumora {

namespace {

using EventsEntry = decltype(&rumora_read_events_v1);

void TakeOccurrence(void* context, std::int32_t firstDay, std::int32_t lastDay,
                    std::int32_t startMinute, std::int64_t startSecond, const char* summary,
                    std::size_t length) {
    static_cast<events::Calendar*>(context)->occurrences.push_back(
        {firstDay, lastDay, startMinute, startSecond, std::string(summary, length)});
}

void TakeWarning(void* context, int line, const char* reason) {
    static_cast<events::Calendar*>(context)->warnings.push_back({line, reason});
}

}  // namespace

events::Calendar ReadEventsOnDemand(std::string_view bytes, std::int32_t firstDay,
                                    std::int32_t lastDay) {
    static const LoadedEntry module = LoadModuleEntry(kEventsModuleName, kEventsEntryPoint);
    events::Calendar calendar;
    if (module.entry == nullptr) {
        calendar.problem = "the calendar file module is missing (" + module.problem + ")";
        return calendar;
    }
    const RumoraEventSink sink{&calendar, &TakeOccurrence, &TakeWarning};
    char problem[512] = {};
    if (reinterpret_cast<EventsEntry>(module.entry)(bytes.data(), bytes.size(), firstDay, lastDay,
                                                    &sink, problem, sizeof problem) != 0) {
        calendar = {};
        calendar.problem = problem;
    }
    return calendar;
}

}  // namespace rumora
