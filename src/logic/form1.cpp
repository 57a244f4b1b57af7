#include "logic/form1.h"

namespace rumora {

Form1::Form1(PlatformServices& platform) : platform_(platform) {}

void Form1::Form_Load() {
    FillMonthTables(s);
    s.cmbLanguage.List.push_back(kLanguageJapanese);
    s.cmbLanguage.List.push_back(kLanguageEnglish);

    // Each part reads the clock anew, as the month view is set field by field.
    s.MonthView1.Day = static_cast<std::int16_t>(platform_.Today().day);
    s.MonthView1.Month = static_cast<std::int16_t>(platform_.Today().month);
    s.MonthView1.Year = static_cast<std::int16_t>(platform_.Today().year);

    s.lblFont.Caption = platform_.WindowFontName();
    ScrColor_Change(0);

    // Both need a file saved under a chosen name first.
    s.Toolbar1.Buttons[2].Enabled = false;
    s.Toolbar1.Buttons[4].Enabled = false;
}

}  // namespace rumora
