#pragma once

#include <span>
#include <string>

#include "core/page_options.h"
#include "page/month_table.h"

namespace rumora {

// The composer's (year, month) cursor; it moves across year ends.
struct MonthCursor {
    int year;
    int month;
    // The closing days of the page's months from the cursor's first on,
    // worked out for all of them at once; empty without closings.
    std::span<const MonthClosings> closings{};

    void Advance() {
        month = month == 12 ? 1 : month + 1;
        if (month == 1) ++year;
    }

    // Appends the table of the cursor's month, then moves on.
    void AppendTableAndAdvance(std::string& page, const PageOptions& options) {
        const MonthClosings* monthClosings = nullptr;
        if (!closings.empty()) {
            monthClosings = &closings.front();
            closings = closings.subspan(1);
        }
        AppendCalendarTable(page, options, year, month, monthClosings);
        Advance();
    }
};

}  // namespace rumora
