#include "page/picture_layouts.h"

#include "page/markup.h"
#include "page/page_error.h"
#include "page/page_head.h"
#include "page/picture_scale.h"

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

ScaledSize ComputeScaledSize(const PageOptions& options, const ScreenMetrics& screen) {
    const auto width = RequireSize(ScaledPixels(options.pictureScalePercent,
                                                options.pictureWidthTwips, screen.twipsPerPixelX));
    const auto height = RequireSize(ScaledPixels(
        options.pictureScalePercent, options.pictureHeightTwips, screen.twipsPerPixelY));
    return {width, height};
}

void AppendPictureTableOpening(std::string& page, const PageOptions& options) {
    page += "<table border=";
    AppendHtmlEscaped(page, options.pictureBorder);
    page += "><td>";
}

void AppendSizeAttributes(std::string& page, ScaledSize size) {
    page += " width=";
    AppendDecimal(page, size.width);
    page += " height=";
    AppendDecimal(page, size.height);
    page += '>';
}

// Each of the two columns holds half the months.
void AppendProgressColumn(std::string& page, const PageOptions& options, MonthCursor& cursor) {
    for (int i = 0; i < MonthsShown(PageLayout::Progress) / 2; ++i) {
        page += "<tr><td>";
        cursor.AppendTableAndAdvance(page, options);
        page += "</td></tr><tr><td><br><br></td></tr>\r\n";
    }
}

}  // namespace

void AppendStandard1Body(std::string& page, const PageOptions& options, const ScreenMetrics& screen,
                         MonthCursor& cursor) {
    const ScaledSize size = ComputeScaledSize(options, screen);
    AppendPictureTableOpening(page, options);
    page += "<img src=\"file:///";
    AppendPictureUrlPath(page, options.picturePath);
    page += '"';
    AppendSizeAttributes(page, size);
    page += "</td></table><br><br>\r\n";
    page += "<table width=95%>\r\n<tr valign=top align=center>\r\n";
    for (int i = 0; i < MonthsShown(PageLayout::Standard1); ++i) {
        page += "<td>";
        cursor.AppendTableAndAdvance(page, options);
        page += "</td>\r\n";
    }
    page += "</tr></table>\r\n";
}

void AppendStandard2Body(std::string& page, const PageOptions& options, const ScreenMetrics& screen,
                         MonthCursor& cursor) {
    const ScaledSize size = ComputeScaledSize(options, screen);
    page += "<table width=95%>\r\n<tr valign=top align=left>\r\n";
    page += "<td rowspan=3>";
    AppendPictureTableOpening(page, options);
    page += "<img src=file:///";
    AppendPictureUrlPath(page, options.picturePath);
    AppendSizeAttributes(page, size);
    page += "</td></table>\r\n</td>\r\n";
    for (int i = 0; i < MonthsShown(PageLayout::Standard2); ++i) {
        page += "<td>";
        cursor.AppendTableAndAdvance(page, options);
        page += "</td>\r\n</tr><tr valign=top align=left>\r\n";
    }
    page += "</table>\r\n";
}

void AppendProgressBody(std::string& page, const PageOptions& options, const ScreenMetrics& screen,
                        MonthCursor& cursor) {
    const std::int64_t pictureHeight =
        RequireSize(NaturalPixels(options.pictureHeightTwips, screen.twipsPerPixelY));

    page += "\r\n";
    // "center center": a "middle" keyword would make browsers drop the whole
    // background declaration.
    page += "<body bgcolor=#ffffff text=#000000 style=\"background:url(file:///";
    AppendPictureUrlPath(page, options.picturePath);
    page += ") no-repeat center center\">\r\n";
    AppendFontLine(page, options);
    page += "<table width=95% height=";
    AppendDecimal(page, pictureHeight);
    page += ">\r\n";
    page += "<td align=left valign=middle><table>\r\n";
    AppendProgressColumn(page, options, cursor);
    page += "</table></td>\r\n<td align=right><table>\r\n";
    AppendProgressColumn(page, options, cursor);
    page += "</table></td>\r\n";
    page += "</table>\r\n";
}

}  // namespace rumora
