#include "app/page_settings.h"

namespace rumora {

void FillMonthTables(PageSettings& s) {
    static constexpr std::array<std::int16_t, 13> kDays{0,  31, 28, 31, 30, 31, 30,
                                                        31, 31, 30, 31, 30, 31};
    static constexpr std::array<const char*, 13> kEnglish{
        "",     "January", "February",  "March",   "April",    "May",     "June",
        "July", "August",  "September", "October", "November", "December"};
    static constexpr std::array<const char*, 13> kJapanese{
        "",     "睦月", "如月", "弥生",   "卯月", "皐月", "水無月",
        "文月", "葉月", "長月", "神無月", "霜月", "師走"};
    for (int month = 1; month <= 12; ++month) {
        s.intMonthDays[month] = kDays[month];
        s.strMonthEn[month] = kEnglish[month];
        s.strMonthJp[month] = kJapanese[month];
    }
}

PageSettings MakeDefaultSettings() {
    PageSettings s;
    FillMonthTables(s);
    return s;
}

}  // namespace rumora
