#include "calendar/page_composer.h"

#include "calendar/markup.h"
#include "calendar/month_cursor.h"
#include "calendar/old_calendar.h"
#include "calendar/page_head.h"
#include "calendar/picture_layouts.h"

namespace rumora {

void AppendDocumentStart(std::string& page, const PageSettings& s, PageEncoding encoding) {
    page += "<html>\r\n";
    const bool bold = s.chkbold.Value != 0;
    if (bold) page += "<head>\r\n";
    page += encoding == PageEncoding::Utf8
                ? "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\r\n"
                : "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n";
    if (bold) page += "<style type=text/css>\r\ntd {font-weight:bold}\r\n</style></head>\r\n";
}

void AppendFontLine(std::string& page, const PageSettings& s) {
    page += "<center><font face=\"";
    AppendHtmlEscaped(page, s.lblFont.Caption);
    page += "\">\r\n";
}

namespace {

constexpr std::string_view kClosing = "</font></center></body></html>";

void AppendSimpleBody(std::string& page, PageSettings& s, MonthCursor& cursor) {
    const bool threeRowsOfFour = s.optOnSmplMode[0].Value;
    const int rows = threeRowsOfFour ? 3 : 4;
    const int monthsPerRow = threeRowsOfFour ? 4 : 3;

    page += "<br><br><table width=95%>\r\n";
    for (int row = 0; row < rows; ++row) {
        page += "<tr valign=top align=center>\r\n";
        for (int i = 0; i < monthsPerRow; ++i) {
            page += "<td>";
            cursor.AppendTableAndAdvance(page, s);
            page += "</td>\r\n";
        }
        page += "</tr>\r\n<tr><td><spacer size=50 type= vertical></td></tr>\r\n";
    }
    page += "</table>\r\n";
}

// A month table is about 1.3 KB; the inserted texts may grow by escaping.
std::size_t EstimatePageSize(const PageSettings& s) {
    return 2048 + 12 * 1500 + 12 * 6 * s.txttblborder.Text.size() + 6 * s.lblFont.Caption.size() +
           3 * s.txtImg.Text.size() + 6 * s.txtImgBorder.Text.size();
}

}  // namespace

void BuildHtmlPage(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                   PageEncoding encoding) {
    page.clear();
    page.reserve(EstimatePageSize(s));
    MonthCursor cursor{s.MonthView1.Year, s.MonthView1.Month};

    AppendDocumentStart(page, s, encoding);
    const std::string& layout = s.lblLayOut.Caption;
    if (layout == kLayoutProgress) {
        // Its own body line, which carries the picture as the background.
        AppendProgressBody(page, s, screen, cursor);
    } else {
        page += "<body bgcolor=#ffffff text=#000000>\r\n";
        AppendFontLine(page, s);
        if (layout == kLayoutSimple) {
            AppendSimpleBody(page, s, cursor);
        } else if (layout == kLayoutStandard1) {
            AppendStandard1Body(page, s, screen, cursor);
        } else if (layout == kLayoutStandard2) {
            AppendStandard2Body(page, s, screen, cursor);
        }
    }
    page += kClosing;
}

std::string MakeHtmlPage(PageSettings& s, const ScreenMetrics& screen, PageEncoding encoding) {
    std::string page;
    BuildHtmlPage(page, s, screen, encoding);
    return page;
}

bool PageLacksSomeRokuyo(const PageSettings& s) {
    if (s.chkRokuyo.Value == 0) return false;
    const std::string& layout = s.lblLayOut.Caption;
    const int months = layout == kLayoutSimple                                    ? 12
                       : layout == kLayoutProgress                                ? 6
                       : layout == kLayoutStandard1 || layout == kLayoutStandard2 ? 3
                                                                                  : 0;
    MonthCursor cursor{s.MonthView1.Year, s.MonthView1.Month};
    for (int i = 0; i < months; ++i, cursor.Advance()) {
        if (!old_calendar::InSpan(cursor.year)) return true;
    }
    return false;
}

}  // namespace rumora
