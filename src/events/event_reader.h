// Events from iCalendar files (RFC 5545), read with libical and expanded
// into Japan dates. Plain C++ on the outside; libical stays behind it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rumora::events {

// What one file may cost, so that no file makes a page slow or large.
struct Limits {
    // libical parses a whole file into a tree about ten times its size.
    std::size_t fileBytes = std::size_t{8} << 20;
    // Occurrences kept per event on the page's months; a rule that asks for
    // more (FREQ=SECONDLY) is cut there.
    int occurrencesPerEvent = 1000;
    // Recurrence steps and components, per event and for the whole file: a
    // step costs libical a few microseconds, so a file stays within 2 s.
    std::int64_t workPerEvent = 50'000;
    std::int64_t workPerFile = 250'000;
};

// The occurrences kept for a whole page, from all its files, and so from
// any one file.
inline constexpr std::size_t kOccurrencesPerPage = 20'000;

struct Occurrence {
    std::int32_t firstDay = 0;  // Japan dates, days since 1970-01-01, both covered
    std::int32_t lastDay = 0;
    std::int32_t startMinute = -1;  // Japan time of day on firstDay; -1 all day
    std::int64_t startSecond = 0;   // Japan time, seconds since 1970, for the order
    std::string summary;            // UTF-8, as the file has it
};

struct Warning {
    int line = 0;  // of the event's BEGIN:VEVENT; 0 for the whole file
    std::string reason;
};

struct Calendar {
    std::string problem;  // not empty: the file is refused, nothing else holds
    std::vector<Occurrence> occurrences;
    std::vector<Warning> warnings;
};

// The occurrences of the file's events that cover any of the Japan dates
// firstDay to lastDay, in no particular order. UTF-8, or code page 932
// where that decodes the file cleanly; folded lines, CR LF and a byte-order
// mark as they come.
Calendar ReadCalendar(std::string_view bytes, std::int32_t firstDay, std::int32_t lastDay,
                      const Limits& limits = {});

// The same for the file at `path`, read whole unless it is larger than the
// limit; a file that cannot be read has the system's reason as its problem.
Calendar ReadCalendarFile(const std::string& path, std::int32_t firstDay, std::int32_t lastDay,
                          const Limits& limits = {});

// The IANA zone a Windows zone name stands for ("Tokyo Standard Time" is
// Asia/Tokyo), from CLDR's mapping as ICU carries it; empty for none.
std::string_view ZoneForWindowsName(std::string_view windowsName);

}  // namespace rumora::events
