#pragma once

#include <cstdint>
#include <string_view>

#include "events/event_reader.h"

namespace rumora {

// Reads a calendar file's bytes through the events module, loaded on first
// use from the program's library folder. Without the module, the result's
// problem says so.
events::Calendar ReadEventsOnDemand(std::string_view bytes, std::int32_t firstDay,
                                    std::int32_t lastDay);

}  // namespace rumora
