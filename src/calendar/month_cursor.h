#pragma once

#include <cstdint>
#include <string>

#include "app/page_settings.h"
#include "calendar/month_table.h"

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
    void AppendTableAndAdvance(std::string& page, PageSettings& s) {
        AppendCalendarTable(page, s, static_cast<std::int16_t>(year),
                            static_cast<std::int16_t>(month));
        Advance();
    }
};

}  // namespace rumora
