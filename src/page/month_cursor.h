#pragma once

#include <string>

#include "core/page_options.h"
#include "page/month_table.h"

namespace rumora {

// The composer's (year, month) cursor; it moves across year ends.
struct MonthCursor {
    int year;
    int month;

    void Advance() {
        month = month == 12 ? 1 : month + 1;
        if (month == 1) ++year;
    }

    // Appends the table of the cursor's month, then moves on.
    void AppendTableAndAdvance(std::string& page, const PageOptions& options) {
        AppendCalendarTable(page, options, year, month);
        Advance();
    }
};

}  // namespace rumora
