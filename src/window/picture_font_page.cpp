#include "window/picture_font_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include "logic/form1.h"

namespace rumora {

namespace {

QLabel* MakeDisplay(const char* name, QWidget* parent) {
    auto* label = MakeLabel(name, "", parent);
    SetSingleBorder(label);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The scale bar is 57 pixels long: the style's shortest thumb would all but
// fill it and barely move. A thumb as narrow as the design's shows where
// the value stands.
class NarrowThumbStyle : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_ScrollBarSliderMin) return 8;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

PictureFontPage::PictureFontPage(Form1& form, const TwipsGeometry& twips, QWidget* parent)
    : QWidget(parent), form_(form), twips_(twips) {
    Frame3 = new QGroupBox(QStringLiteral("画像設定"), this);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    cmdImg = new QPushButton(QStringLiteral("選択"), Frame3);
    cmdImg->setObjectName(QStringLiteral("cmdImg"));
    txtImg = new PictureField(
        [this](const std::vector<std::string>& files) {
            // A design or a calendar file dropped here is taken as it is
            // anywhere on the window.
            form_.Form_OLEDragDrop(files);
            emit RecordChanged();
        },
        Frame3);
    txtImg->setObjectName(QStringLiteral("txtImg"));
    {
        QPalette palette = txtImg->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Button));
        palette.setColor(QPalette::Text, Qt::black);
        txtImg->setPalette(palette);
    }
    lblImgSize = MakeDisplay("lblImgSize", Frame3);
    Label5 = MakeLabel("Label5", "倍率", Frame3);
    HScroll1 = new QScrollBar(Qt::Horizontal, Frame3);
    HScroll1->setObjectName(QStringLiteral("HScroll1"));
    HScroll1->setRange(10, 200);
    HScroll1->setSingleStep(1);
    HScroll1->setPageStep(5);
    HScroll1->setTracking(false);
    HScroll1->setInvertedControls(false);
    HScroll1->setFocusPolicy(Qt::StrongFocus);
    HScroll1->setEnabled(false);
    auto* scaleStyle = new NarrowThumbStyle;
    scaleStyle->setParent(HScroll1);
    HScroll1->setStyle(scaleStyle);
    lblImgScale = MakeLabel("lblImgScale", "", Frame3);
    lblImgSize2 = MakeDisplay("lblImgSize2", Frame3);
    Label11 = MakeLabel("Label11", "ボーダー", Frame3);
    txtImgBorder =
        new BorderField([this](std::int16_t& key) { form_.txtImgBorder_KeyPress(key); }, Frame3);
    txtImgBorder->setObjectName(QStringLiteral("txtImgBorder"));
    Label18 = MakeLabel("Label18", "(0 ～ 4)", Frame3);

    Frame4 = new QGroupBox(QStringLiteral("フォント設定"), this);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    cmdFont = new QPushButton(QStringLiteral("選択"), Frame4);
    cmdFont->setObjectName(QStringLiteral("cmdFont"));
    lblFont = MakeLabel("lblFont", "", Frame4);
    SetSingleBorder(lblFont);
    SetBackground(lblFont, Qt::white);
    SetTextColour(lblFont, Qt::black);
    chkbold = new QCheckBox(QStringLiteral("太字"), Frame4);
    chkbold->setObjectName(QStringLiteral("chkbold"));

    Label23 = MakeLabel("Label23", kNoticeText.c_str(), this);

    connect(cmdImg, &QPushButton::clicked, this, [this] {
        form_.cmdImg_Click();
        emit RecordChanged();
    });
    // Typing a path is allowed; the composer reads whatever the field holds.
    connect(txtImg, &QLineEdit::textEdited, this, [this] { ReadTextBox(txtImg, form_.s.txtImg); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int value) {
        form_.s.HScroll1.Value = static_cast<std::int16_t>(value);
        form_.HScroll1_Change();
        emit RecordChanged();
    });
    connect(txtImgBorder, &QLineEdit::textChanged, this, [this] {
        ReadTextBox(txtImgBorder, form_.s.txtImgBorder);
        form_.txtImgBorder_Change();
        emit RecordChanged();
    });
    connect(cmdFont, &QPushButton::clicked, this, [this] {
        form_.cmdFont_Click();
        emit RecordChanged();
    });
    connect(chkbold, &QCheckBox::stateChanged, this, [this](int state) {
        form_.s.chkbold.Value = static_cast<std::int16_t>(
            state == Qt::Checked ? 1 : (state == Qt::PartiallyChecked ? 2 : 0));
    });
}

void PictureFontPage::Place(const QPoint& origin) {
    const auto at = [&](int left, int top, int width, int height) {
        return twips_.rect(left, top, width, height).translated(-origin);
    };
    // Inside a frame the design counts from the frame's corner, as Qt does.
    const auto in = [&](int left, int top, int width, int height) {
        return twips_.rect(left, top, width, height);
    };
    const auto centreOn = [](QWidget* label, const QWidget* beside) {
        label->move(label->x(), beside->y() + (beside->height() - label->height()) / 2);
    };

    Frame3->setGeometry(at(360, 720, 4815, 1815));
    PlaceGrown(txtImg, in(840, 360, 2535, 270));
    PlaceGrown(cmdImg, in(120, 360, 615, 255));
    cmdImg->setGeometry(cmdImg->x(), txtImg->y(), cmdImg->width(),
                        std::max(cmdImg->height(), txtImg->height()));
    PlaceGrown(lblImgSize, in(3480, 360, 1215, 255));
    // The size column holds its longest caption whole ("ﾋﾟｸﾁｬ形式不正", a
    // four-digit size), taking the room from the path field on its left.
    const QFontMetrics metrics = lblImgSize->fontMetrics();
    int sizeWidth = lblImgSize->width();
    for (const char* caption : {kUndecodablePictureText, kUnreadablePictureText, "W8888 x H8888"}) {
        sizeWidth = std::max(sizeWidth, metrics.horizontalAdvance(QString::fromUtf8(caption)) +
                                            2 * lblImgSize->frameWidth() + 6);
    }
    const int sizeRight = lblImgSize->geometry().right();
    const int sizeLeft = sizeRight + 1 - sizeWidth;
    txtImg->resize(std::min(txtImg->width(), sizeLeft - 6 - txtImg->x()), txtImg->height());
    lblImgSize->setGeometry(sizeLeft, txtImg->y(), sizeWidth, txtImg->height());
    HScroll1->setGeometry(in(1440, 720, 855, 255));
    PlaceGrown(lblImgScale, in(2520, 720, 855, 255));
    PlaceGrown(lblImgSize2, in(3480, 720, 1215, 255));
    lblImgSize2->setGeometry(sizeLeft, lblImgSize2->y(), sizeWidth, lblImgSize2->height());
    // The scale row starts below the grown picture row.
    const int scaleTop = std::max(HScroll1->y(), txtImg->geometry().bottom() + 4);
    for (QWidget* widget : std::initializer_list<QWidget*>{HScroll1, lblImgScale, lblImgSize2}) {
        widget->move(widget->x(), scaleTop);
    }
    HScroll1->resize(HScroll1->width(), std::max(HScroll1->height(), 17));
    centreOn(HScroll1, lblImgSize2);
    centreOn(lblImgScale, lblImgSize2);
    PlaceAuto(Label5, twips_.point(960, 720));
    centreOn(Label5, lblImgSize2);
    PlaceGrown(txtImgBorder, in(1080, 1200, 615, 270));
    PlaceGrown(Label11, in(240, 1200, 975, 255));
    centreOn(Label11, txtImgBorder);
    PlaceAuto(Label18, twips_.point(1800, 1320));
    Label18->move(Label18->x(), txtImgBorder->geometry().bottom() - Label18->height() + 1);

    Frame4->setGeometry(at(360, 2760, 4815, 1335));
    PlaceGrown(lblFont, in(840, 480, 3855, 255));
    PlaceGrown(cmdFont, in(120, 480, 615, 255));
    cmdFont->setGeometry(cmdFont->x(), lblFont->y(), cmdFont->width(),
                         std::max(cmdFont->height(), lblFont->height()));
    PlaceGrown(chkbold, in(840, 960, 1335, 180));

    PlaceAuto(Label23, twips_.point(2160, 4440) - origin);
}

void PictureFontPage::ShowRecord(const PageSettings& s) {
    {
        const QSignalBlocker blocker(txtImg);
        ShowTextBox(txtImg, s.txtImg);
    }
    lblImgSize->setText(ToQString(s.lblImgSize.Caption));
    lblImgScale->setText(ToQString(s.lblImgScale.Caption));
    lblImgSize2->setText(ToQString(s.lblImgSize2.Caption));
    {
        const QSignalBlocker blocker(HScroll1);
        HScroll1->setValue(s.HScroll1.Value);
        HScroll1->setEnabled(s.HScroll1.Enabled);
    }
    {
        const QSignalBlocker blocker(txtImgBorder);
        ShowTextBox(txtImgBorder, s.txtImgBorder);
    }
    lblFont->setText(ToQString(s.lblFont.Caption));
    {
        const QSignalBlocker blocker(chkbold);
        chkbold->setCheckState(s.chkbold.Value == 0   ? Qt::Unchecked
                               : s.chkbold.Value == 1 ? Qt::Checked
                                                      : Qt::PartiallyChecked);
    }
}

}  // namespace rumora
