// The occurrences read from a page's calendar files as the page's events.
#pragma once

#include <algorithm>
#include <vector>

#include "core/page_events.h"
#include "events/event_reader.h"

namespace rumora::events {

// In start order (for the same start, in the order of the files), at most
// kOccurrencesPerPage, each name made page markup by `markup`. Returns false
// when some were left out for the limit.
template <typename Markup>
bool ToPageEvents(const std::vector<Calendar>& calendars, std::vector<PageEvent>& out,
                  Markup markup) {
    std::vector<const Occurrence*> all;
    for (const Calendar& calendar : calendars) {
        for (const Occurrence& occurrence : calendar.occurrences) all.push_back(&occurrence);
    }
    std::stable_sort(all.begin(), all.end(), [](const Occurrence* a, const Occurrence* b) {
        return a->startSecond < b->startSecond;
    });
    const bool whole = all.size() <= kOccurrencesPerPage;
    if (!whole) all.resize(kOccurrencesPerPage);
    out.clear();
    out.reserve(all.size());
    for (const Occurrence* o : all) {
        out.push_back({o->firstDay, o->lastDay, o->startMinute, markup(o->summary)});
    }
    return whole;
}

}  // namespace rumora::events
