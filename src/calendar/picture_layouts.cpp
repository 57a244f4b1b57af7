#include "calendar/picture_layouts.h"

#include "calendar/markup.h"
#include "calendar/page_error.h"
#include "calendar/page_head.h"
#include "picture/picture_scale.h"

namespace rumora {

namespace {

std::int64_t RequireSize(std::optional<std::int64_t> pixels) {
    if (!pixels) {
        throw PageBuildError(PageBuildError::Kind::SizeOutOfRange,
                             "the picture's size in pixels cannot be computed");
    }
    return *pixels;
}

struct ScaledSize {
    std::int64_t width;
    std::int64_t height;
};

ScaledSize ComputeScaledSize(const PageSettings& s, const ScreenMetrics& screen) {
    const auto width =
        RequireSize(ScaledPixels(s.HScroll1.Value, s.Picture1.Width, screen.TwipsPerPixelX));
    const auto height =
        RequireSize(ScaledPixels(s.HScroll1.Value, s.Picture1.Height, screen.TwipsPerPixelY));
    return {width, height};
}

void AppendPictureTableOpening(std::string& page, const PageSettings& s) {
    page += "<table border=";
    AppendHtmlEscaped(page, s.txtImgBorder.Text);
    page += "><td>";
}

void AppendSizeAttributes(std::string& page, ScaledSize size) {
    page += " width=";
    AppendDecimal(page, size.width);
    page += " height=";
    AppendDecimal(page, size.height);
    page += '>';
}

void AppendProgressColumn(std::string& page, PageSettings& s, MonthCursor& cursor) {
    for (int i = 0; i < 3; ++i) {
        page += "<tr><td>";
        cursor.AppendTableAndAdvance(page, s);
        page += "</td></tr><tr><td><br><br></td></tr>\r\n";
    }
}

}  // namespace

void AppendStandard1Body(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                         MonthCursor& cursor) {
    const ScaledSize size = ComputeScaledSize(s, screen);
    AppendPictureTableOpening(page, s);
    page += "<img src=\"file:///";
    AppendPictureUrlPath(page, s.txtImg.Text);
    page += '"';
    AppendSizeAttributes(page, size);
    page += "</td></table><br><br>\r\n";
    page += "<table width=95%>\r\n<tr valign=top align=center>\r\n";
    for (int i = 0; i < 3; ++i) {
        page += "<td>";
        cursor.AppendTableAndAdvance(page, s);
        page += "</td>\r\n";
    }
    page += "</tr></table>\r\n";
}

void AppendStandard2Body(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                         MonthCursor& cursor) {
    const ScaledSize size = ComputeScaledSize(s, screen);
    page += "<table width=95%>\r\n<tr valign=top align=left>\r\n";
    page += "<td rowspan=3>";
    AppendPictureTableOpening(page, s);
    page += "<img src=file:///";
    AppendPictureUrlPath(page, s.txtImg.Text);
    AppendSizeAttributes(page, size);
    page += "</td></table>\r\n</td>\r\n";
    for (int i = 0; i < 3; ++i) {
        page += "<td>";
        cursor.AppendTableAndAdvance(page, s);
        page += "</td>\r\n</tr><tr valign=top align=left>\r\n";
    }
    page += "</table>\r\n";
}

void AppendProgressBody(std::string& page, PageSettings& s, const ScreenMetrics& screen,
                        MonthCursor& cursor) {
    const std::int64_t pictureHeight =
        RequireSize(NaturalPixels(s.Picture1.Height, screen.TwipsPerPixelY));

    page += "\r\n";
    // "center center": a "middle" keyword would make browsers drop the whole
    // background declaration.
    page += "<body bgcolor=#ffffff text=#000000 style=\"background:url(file:///";
    AppendPictureUrlPath(page, s.txtImg.Text);
    page += ") no-repeat center center\">\r\n";
    AppendFontLine(page, s);
    page += "<table width=95% height=";
    AppendDecimal(page, pictureHeight);
    page += ">\r\n";
    page += "<td align=left valign=middle><table>\r\n";
    AppendProgressColumn(page, s, cursor);
    page += "</table></td>\r\n<td align=right><table>\r\n";
    AppendProgressColumn(page, s, cursor);
    page += "</table></td>\r\n";
    page += "</table>\r\n";
}

}  // namespace rumora
