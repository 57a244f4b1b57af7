#include "logic/page_settings.h"

#include <chrono>

#include "logic/closing_fields.h"
#include "page/month_table.h"

namespace rumora {

void FillMonthTables(PageSettings& s) {
    // February as in a common year; the page takes each year's from the calendar.
    constexpr std::chrono::year kCommonYear{2001};
    for (int month = 1; month <= 12; ++month) {
        const auto last =
            kCommonYear / std::chrono::month{static_cast<unsigned>(month)} / std::chrono::last;
        s.intMonthDays[month] = static_cast<std::int16_t>(unsigned{last.day()});
        s.strMonthEn[month] = MonthName(month, false);
        s.strMonthJp[month] = MonthName(month, true);
    }
}

PageOptions PageOptionsFromSettings(const PageSettings& s) {
    PageOptions options;
    options.layout = LayoutNamed(s.lblLayOut.Caption);
    options.grid =
        s.optOnSmplMode[0].Value ? SimpleGrid::ThreeRowsOfFour : SimpleGrid::FourRowsOfThree;
    options.firstMonth = {s.MonthView1.Year, s.MonthView1.Month};
    options.language = LanguageNamed(s.cmbLanguage.Text);
    options.headerColor = {static_cast<std::uint8_t>(s.ScrColor[0].Value),
                           static_cast<std::uint8_t>(s.ScrColor[1].Value),
                           static_cast<std::uint8_t>(s.ScrColor[2].Value)};
    options.tableBorder = s.txttblborder.Text;
    options.pictureBorder = s.txtImgBorder.Text;
    options.fontFace = s.lblFont.Caption;
    options.weight = s.chkbold.Value != 0 ? FontWeight::Bold : FontWeight::Regular;
    options.picturePath = s.txtImg.Text;
    options.pictureWidthTwips = s.Picture1.Width;
    options.pictureHeightTwips = s.Picture1.Height;
    options.pictureScalePercent = s.HScroll1.Value;
    options.encoding = PageEncoding::CodePage932;
    options.holidays = s.chkHolidays.Value != 0;
    options.rokuyo = s.chkRokuyo.Value != 0;
    options.solarTerms = s.chkSekki.Value != 0;
    options.seasonalDays = s.chkZassetsu.Value != 0;
    options.moonPhases = s.chkMoon.Value != 0;
    options.eraYear = s.chkWareki.Value != 0;
    options.weekStart = s.optWeekStart[1].Value ? WeekStart::Monday : WeekStart::Sunday;
    options.closing = ReadClosingFields(s).rules;
    const std::int32_t colour = s.lblClosedColor.BackColor;
    options.closingColor = {static_cast<std::uint8_t>(colour & 0xFF),
                            static_cast<std::uint8_t>(colour >> 8 & 0xFF),
                            static_cast<std::uint8_t>(colour >> 16 & 0xFF)};
    options.closingLabel = s.txtClosedLabel.Text;
    return options;
}

}  // namespace rumora
