// The calendar file reader's one entry point, in C terms: the batch tool
// loads librumora-events.so with dlopen only when it is given a calendar
// file, so it never links libical itself.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

struct RumoraEventSink {
    void* context;
    void (*occurrence)(void* context, std::int32_t firstDay, std::int32_t lastDay,
                       std::int32_t startMinute, std::int64_t startSecond, const char* summary,
                       std::size_t length);
    void (*warning)(void* context, int line, const char* reason);
};

// Reads the `length` bytes at `bytes` as an iCalendar file and hands each
// occurrence on the Japan dates firstDay to lastDay (days since 1970) and
// each warning to `sink`. Returns 0, or 1 when the file is refused, with
// the reason in `problem` (ends with NUL, cut to fit). Never throws.
int rumora_read_events_v1(const char* bytes, std::size_t length, std::int32_t firstDay,
                          std::int32_t lastDay, const RumoraEventSink* sink, char* problem,
                          std::size_t problemSize);
}

namespace rumora {

inline constexpr char kEventsModuleName[] = "librumora-events.so";
inline constexpr char kEventsEntryPoint[] = "rumora_read_events_v1";

}  // namespace rumora
