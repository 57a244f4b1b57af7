#include <optional>

#include "core/utf8.h"
#include "logic/form1.h"
#include "page/picture_scale.h"

namespace rumora {

namespace {

// The whole path as the field's tip, and the caret after its last
// character so the file name end stays in view of the narrow field.
void ShowPicturePath(TextBox& field, const std::string& path) {
    field.Text = path;
    field.ToolTipText = path;
    field.SelStart = CharacterCount(field.Text);
}

// The holder is emptied but keeps its last size: a picture layout built
// now still gets a size, that of the previous picture (or the design size).
void ShowInvalidPicture(PageSettings& s, const char* sizeText) {
    s.lblImgSize.Caption = sizeText;
    s.HScroll1.Enabled = false;
    s.lblImgSize2.Caption = "";
    s.lblImgScale.Caption = "";
}

}  // namespace

void Form1::cmdImg_Click() {
    const std::string path = platform_.ShowOpenDialog(kPictureFilter);
    if (path.empty()) return;
    ShowPicturePath(s.txtImg, path);
    GetImgSize(path);
}

void Form1::txtImg_OLEDragDrop(const std::vector<std::string>& files) {
    // Dragged text or an empty name carries no file to use.
    if (files.empty() || files.front().empty()) return;
    const std::string path = files.front();
    ShowPicturePath(s.txtImg, path);
    GetImgSize(path);
}

void Form1::GetImgSize(std::string Fname) {
    const PictureMeasurement picture = platform_.LoadPicture(Fname);
    measuredPicture_.clear();
    lastChosenPicture_ = Fname;
    switch (picture.outcome) {
        case PictureMeasurement::Outcome::Undecodable:
            pictureProblem_ = "画像として読めない形式です: " + picture.reason;
            ShowInvalidPicture(s, kUndecodablePictureText);
            return;
        case PictureMeasurement::Outcome::Unreadable:
            pictureProblem_ = "ファイルを読み込めません: " + picture.reason;
            ShowInvalidPicture(s, kUnreadablePictureText);
            return;
        case PictureMeasurement::Outcome::Measured:
            break;
    }

    // The holder sizes itself to the picture.
    const ScreenMetrics screen = platform_.Screen();
    s.Picture1.Width = PixelsToTwips(picture.width, screen.twipsPerPixelX);
    s.Picture1.Height = PixelsToTwips(picture.height, screen.twipsPerPixelY);

    const std::optional<std::int64_t> width =
        NaturalPixels(s.Picture1.Width, screen.twipsPerPixelX);
    const std::optional<std::int64_t> height =
        NaturalPixels(s.Picture1.Height, screen.twipsPerPixelY);
    if (!width || !height) {
        // A screen without a pixel size cannot measure anything.
        pictureProblem_ = "画面の画素の大きさが分かりません";
        ShowInvalidPicture(s, kUndecodablePictureText);
        return;
    }
    measuredPicture_ = Fname;
    s.lblImgSize.Caption = PixelSizeText(*width, *height);
    s.HScroll1.Enabled = true;
    if (s.HScroll1.Value != 100) {
        s.HScroll1.Value = 100;
        HScroll1_Change();
    }
    // Also when the scale already was 100, for the new picture's size.
    HScroll1_Change();
}

bool Form1::PictureSizeIsItsOwn() {
    const PageLayout layout = PageOptionsFromSettings(s).layout;
    if (s.txtImg.Text.empty() || s.txtImg.Text == measuredPicture_ ||
        layout == PageLayout::Simple || layout == PageLayout::NoMonths) {
        return true;
    }
    const std::string reason =
        s.txtImg.Text == lastChosenPicture_ ? pictureProblem_ : "大きさを測っていません";
    platform_.ShowMessage("ページを作成できませんでした。\n画像 " + s.txtImg.Text +
                          " の大きさが分かりません。\n理由: " + reason +
                          "\n別の画像を選んでください。");
    return false;
}

void Form1::HScroll1_Change() {
    s.lblImgScale.Caption = ScaleText(s.HScroll1.Value);
    const ScreenMetrics screen = platform_.Screen();
    const std::optional<std::int64_t> width =
        ScaledPixels(s.HScroll1.Value, s.Picture1.Width, screen.twipsPerPixelX);
    const std::optional<std::int64_t> height =
        ScaledPixels(s.HScroll1.Value, s.Picture1.Height, screen.twipsPerPixelY);
    s.lblImgSize2.Caption = (width && height) ? PixelSizeText(*width, *height) : std::string();
}

}  // namespace rumora
