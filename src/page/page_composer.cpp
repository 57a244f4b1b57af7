#include "page/page_composer.h"

#include <algorithm>
#include <vector>

#include "calendar/old_calendar.h"
#include "page/markup.h"
#include "page/month_cursor.h"
#include "page/page_head.h"
#include "page/picture_layouts.h"

namespace rumora {

void AppendDocumentStart(std::string& page, const PageOptions& options) {
    page += "<html>\r\n";
    const bool bold = options.weight == FontWeight::Bold;
    if (bold) page += "<head>\r\n";
    page += options.encoding == PageEncoding::Utf8
                ? "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n"
                : "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n";
    if (bold) page += "<style type=text/css>\r\ntd {font-weight:bold}\r\n</style></head>\r\n";
}

void AppendFontLine(std::string& page, const PageOptions& options) {
    page += "<center><font face=\"";
    AppendHtmlEscaped(page, options.fontFace);
    page += "\">\r\n";
}

namespace {

constexpr std::string_view kClosing = "</font></center></body></html>";

void AppendSimpleBody(std::string& page, const PageOptions& options, MonthCursor& cursor) {
    const int monthsPerRow = options.grid == SimpleGrid::ThreeRowsOfFour ? 4 : 3;
    const int rows = MonthsShown(PageLayout::Simple) / monthsPerRow;

    page += "<br><br><table width=95%>\r\n";
    for (int row = 0; row < rows; ++row) {
        page += "<tr valign=top align=center>\r\n";
        for (int i = 0; i < monthsPerRow; ++i) {
            page += "<td>";
            cursor.AppendTableAndAdvance(page, options);
            page += "</td>\r\n";
        }
        page += "</tr>\r\n<tr><td><spacer size=50 type= vertical></td></tr>\r\n";
    }
    page += "</table>\r\n";
}

// A month table is about 1.3 KB; the inserted texts may grow by escaping.
// Once under the months: a swatch of the closing colour and the label. A
// printed page drops backgrounds unless told otherwise, so the page asks to
// keep them, and the swatch also holds a square in that colour.
void AppendClosingLegend(std::string& page, const PageOptions& options) {
    std::string colour = "#";
    AppendHexByte(colour, options.closingColor.red);
    AppendHexByte(colour, options.closingColor.green);
    AppendHexByte(colour, options.closingColor.blue);
    page +=
        "<style>@media print{td{-webkit-print-color-adjust:exact;print-color-adjust:exact}}"
        "</style>\r\n<br><table><tr><td bgcolor=";
    page += colour;
    page += " style=\"border:1px solid #808080\"><font color=";
    page += colour;
    page += ">■</font></td><td>";
    AppendHtmlEscaped(page, ClosedLabel(options));
    page += "</td></tr></table>\r\n";
}

// The closing days of the page's months, each month's from one pass over
// them all; none past December 9999, where the page fails anyway.
std::vector<MonthClosings> PageClosings(const PageOptions& options) {
    if (options.closing.Empty() || options.firstMonth.year < 1 || options.firstMonth.month < 1 ||
        options.firstMonth.month > 12 || options.firstMonth.year > 9999) {
        return {};
    }
    const int left = (9999 - options.firstMonth.year) * 12 + 13 - options.firstMonth.month;
    std::vector<MonthClosings> months(
        static_cast<std::size_t>(std::min(MonthsShown(options.layout), left)));
    ClosingsOfMonths(options.closing, options.firstMonth.year, options.firstMonth.month, months);
    return months;
}

// Pages with any of the almanac, holiday, week or closing choices print on
// one sheet of A4 or Letter: each layout is shrunk to fit its tallest page
// (every choice on, the picture at its largest), a month is never cut at a
// break, and the picture is held within what is left. Only printing sees
// these rules; a page without those choices keeps its bytes, and prints as
// it always has.
bool TakesPrintRules(const PageOptions& options) {
    return options.holidays || options.rokuyo || options.weekStart == WeekStart::Monday ||
           options.solarTerms || options.seasonalDays || options.moonPhases || options.eraYear ||
           !options.closing.Empty();
}

void AppendPrintRules(std::string& page, const PageOptions& options) {
    // Zoom, then the picture's largest width and height in CSS pixels
    // before the zoom; the sheet's printed area is about 718 x 980.
    struct Fit {
        std::string_view zoom, pictureWidth, pictureHeight;
    };
    Fit fit{"0.6", "0", "0"};
    switch (options.layout) {
        case PageLayout::Simple:
            fit.zoom = options.grid == SimpleGrid::ThreeRowsOfFour ? "0.7" : "0.6";
            break;
        case PageLayout::Standard1:
            fit = {"0.7", "1000", "600"};
            break;
        case PageLayout::Standard2:
            fit = {"0.7", "600", "1100"};
            break;
        case PageLayout::Progress:
        case PageLayout::NoMonths:
            break;
    }
    page += "<style>@media print{@page{margin:10mm}html{zoom:";
    page += fit.zoom;
    page +=
        "}table{break-inside:avoid;height:auto!important}img{width:auto!important;"
        "height:auto!important;max-width:";
    page += fit.pictureWidth;
    page += "px;max-height:";
    page += fit.pictureHeight;
    page += "px}}</style>\r\n";
}

// Enough for the whole page, so that it is never copied while it grows.
std::size_t EstimatePageSize(const PageOptions& options) {
    std::size_t month = 1500 + 6 * options.tableBorder.size();
    if (options.rokuyo) month += 31 * 32;  // a line under every day
    if (options.holidays) month += 200;
    if (options.solarTerms || options.seasonalDays || options.moonPhases) month += 1000;
    if (options.eraYear) month += 32;
    if (!options.closing.Empty()) month += 31 * 48;
    std::size_t events = 0;
    for (const PageEvent& event : options.events) events += 3 * event.name.size() + 64;
    return 4096 + 12 * month + events + 6 * options.fontFace.size() +
           3 * options.picturePath.size() + 6 * options.pictureBorder.size();
}

}  // namespace

void BuildHtmlPage(std::string& page, const PageOptions& options, const ScreenMetrics& screen) {
    page.clear();
    page.reserve(EstimatePageSize(options));
    const std::vector<MonthClosings> closings = PageClosings(options);
    MonthCursor cursor{options.firstMonth.year, options.firstMonth.month, closings};

    AppendDocumentStart(page, options);
    if (options.layout == PageLayout::Progress) {
        // Its own body line, which carries the picture as the background.
        AppendProgressBody(page, options, screen, cursor);
    } else {
        page += "<body bgcolor=#ffffff text=#000000>\r\n";
        AppendFontLine(page, options);
        switch (options.layout) {
            case PageLayout::Simple:
                AppendSimpleBody(page, options, cursor);
                break;
            case PageLayout::Standard1:
                AppendStandard1Body(page, options, screen, cursor);
                break;
            case PageLayout::Standard2:
                AppendStandard2Body(page, options, screen, cursor);
                break;
            case PageLayout::Progress:
            case PageLayout::NoMonths:
                break;
        }
    }
    if (!options.closing.Empty()) AppendClosingLegend(page, options);
    if (TakesPrintRules(options)) AppendPrintRules(page, options);
    page += kClosing;
}

std::string MakeHtmlPage(const PageOptions& options, const ScreenMetrics& screen) {
    std::string page;
    BuildHtmlPage(page, options, screen);
    return page;
}

std::string_view PageBodyBlock(std::string_view page) {
    const std::size_t body = page.find("<body");
    const std::size_t start = page.find("\r\n", body);
    const std::size_t end = page.rfind("</body>");
    if (body == std::string_view::npos || start == std::string_view::npos ||
        end == std::string_view::npos || end < start + 2) {
        return {};
    }
    return page.substr(start + 2, end - start - 2);
}

bool PageLacksSomeRokuyo(const PageOptions& options) {
    if (!options.rokuyo) return false;
    MonthCursor cursor{options.firstMonth.year, options.firstMonth.month};
    for (int i = 0; i < MonthsShown(options.layout); ++i, cursor.Advance()) {
        if (!old_calendar::InSpan(cursor.year)) return true;
    }
    return false;
}

}  // namespace rumora
