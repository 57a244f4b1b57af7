// The user's own days on the page: each occurrence of an event from a
// calendar file, already in Japan dates, as the page engine takes them.
#pragma once

#include <cstdint>
#include <string>

namespace rumora {

struct PageEvent {
    // Japan dates as days since 1970-01-01, both covered.
    std::int32_t firstDay = 0;
    std::int32_t lastDay = 0;
    // Japan time of day it starts on firstDay in minutes; kAllDay for none.
    std::int32_t startMinute = -1;
    // The name as page markup: escaped, and with references for the
    // characters the page's code page lacks (see files/event_names.h).
    std::string name;

    static constexpr std::int32_t kAllDay = -1;
    friend bool operator==(const PageEvent&, const PageEvent&) = default;
};

}  // namespace rumora
