#include "window/layout_page.h"

#include <QButtonGroup>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "logic/form1.h"
#include "window/window_controls.h"

namespace rumora {

namespace {

QPushButton* MakeLayoutButton(const char* name, const char* picture, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromUtf8(name));
    button->setIcon(QIcon(QString::fromUtf8(picture)));
    button->setIconSize(QSize(50, 50));
    SetBackground(button, Qt::white);
    return button;
}

QLabel* MakeLayoutTitle(const char* name, const char* caption, QWidget* parent) {
    QLabel* label = MakeLabel(name, caption, parent);
    SetFont(label, 11.25, true);
    SetTextColour(label, Qt::blue);
    return label;
}

QLabel* MakeDescription(int index, const char* caption, bool white, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QStringLiteral("Label2(%1)").arg(index));
    if (white) SetBackground(label, Qt::white);
    // In a Japanese face at the window's 9 points these run to three
    // lines where the design has room for two.
    QFont font = label->font();
    font.setPointSizeF(8.25);
    label->setFont(font);
    return label;
}

}  // namespace

LayoutPage::LayoutPage(Form1& form, const TwipsGeometry& twips, QWidget* parent)
    : QWidget(parent), form_(form), twips_(twips) {
    Label1 = new QLabel(QStringLiteral("レイアウトの選択 :"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblLayOut = new QLabel(this);
    lblLayOut->setObjectName(QStringLiteral("lblLayOut"));
    lblLayOut->setAlignment(Qt::AlignCenter);
    SetBackground(lblLayOut, QColor(224, 224, 224));
    SetTextColour(lblLayOut, Qt::black);
    SetSingleBorder(lblLayOut);

    Command1 = MakeLayoutButton("Command1", ":/pictures/layout-simple.png", this);
    Label9 = MakeLayoutTitle("Label9", kLayoutSimple, this);
    optOnSmplMode[0] = new QRadioButton(QStringLiteral("縦 3 x 横 4"), this);
    optOnSmplMode[1] = new QRadioButton(QStringLiteral("縦 4 x 横 3"), this);
    optOnSmplModeGroup = new QButtonGroup(this);
    for (int i = 0; i < 2; ++i) {
        optOnSmplMode[i]->setObjectName(QStringLiteral("optOnSmplMode(%1)").arg(i));
        optOnSmplModeGroup->addButton(optOnSmplMode[i], i);
    }
    Label2[0] = MakeDescription(
        0, "画像を使わない、シンプルモード。指定された月から 12ヶ月分のカレンダーを作成します。",
        false, this);

    Command2 = MakeLayoutButton("Command2", ":/pictures/layout-standard1.png", this);
    Label10 = MakeLayoutTitle("Label10", kLayoutStandard1, this);
    Label2[1] = MakeDescription(1,
                                "画像をぺージ上部に配置するモード。指定された月から "
                                "3ヶ月分のカレンダーを画像の下部に作成します。",
                                true, this);

    Command3 = MakeLayoutButton("Command3", ":/pictures/layout-standard2.png", this);
    Label12 = MakeLayoutTitle("Label12", kLayoutStandard2, this);
    Label2[2] = MakeDescription(2,
                                "画像をぺージ左側に配置するモード。指定された月から "
                                "3ヶ月分のカレンダーを右側に作成します。",
                                true, this);

    Command4 = MakeLayoutButton("Command4", ":/pictures/layout-progress.png", this);
    Label22 = MakeLayoutTitle("Label22", kLayoutProgress, this);
    Label2[3] =
        MakeDescription(3,
                        "style sheetを利用して画像とカレンダーが重なりを持つように作成します。"
                        "指定された月から 半年分のカレンダーを作成します。",
                        true, this);

    for (auto& line : Line2) line = new EtchedLine(QPalette::Dark, this);

    connect(Command1, &QPushButton::clicked, this, [this] {
        form_.Command1_Click();
        emit RecordChanged();
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        form_.Command2_Click();
        emit RecordChanged();
    });
    connect(Command3, &QPushButton::clicked, this, [this] {
        form_.Command3_Click();
        emit RecordChanged();
    });
    connect(Command4, &QPushButton::clicked, this, [this] {
        form_.Command4_Click();
        emit RecordChanged();
    });
    // No handler: the composer reads the choice when it builds.
    connect(optOnSmplModeGroup, &QButtonGroup::idToggled, this, [this](int, bool) {
        form_.s.optOnSmplMode[0].Value = optOnSmplMode[0]->isChecked();
        form_.s.optOnSmplMode[1].Value = optOnSmplMode[1]->isChecked();
        emit RecordChanged();
    });
}

void LayoutPage::Place(const QPoint& origin) {
    const auto at = [&](int left, int top, int width, int height) {
        return twips_.rect(left, top, width, height).translated(-origin);
    };
    const auto point = [&](int left, int top) { return twips_.point(left, top) - origin; };

    PlaceGrown(lblLayOut, at(3360, 480, 1815, 255));
    PlaceAuto(Label1, point(1920, 480));
    // The caption runs into lblLayOut in a wider face: end it just before.
    const int overlap = Label1->geometry().right() + 4 - lblLayOut->x();
    if (overlap > 0) Label1->move(Label1->x() - overlap, Label1->y());
    Label1->move(Label1->x(), lblLayOut->y() + (lblLayOut->height() - Label1->height()) / 2);

    const std::array<QPushButton*, 4> buttons{Command1, Command2, Command3, Command4};
    const std::array<QLabel*, 4> titles{Label9, Label10, Label12, Label22};
    const std::array<int, 4> tops{840, 1800, 2760, 3720};
    for (int i = 0; i < 4; ++i) {
        buttons[i]->setGeometry(at(240, tops[i], 855, 855));
        PlaceAuto(titles[i], point(1200, tops[i]));
    }
    PlaceGrown(optOnSmplMode[0], at(2280, 840, 1455, 255));
    PlaceGrown(optOnSmplMode[1], at(3720, 840, 1335, 255));

    PlaceWrapped(Label2[0], at(1200, 1200, 4095, 465));
    PlaceWrapped(Label2[1], at(1200, 2160, 4095, 495));
    PlaceWrapped(Label2[2], at(1200, 3120, 4095, 495));
    // The design starts the last description close under its title, which
    // is taller in the faces found here: it starts below the title instead.
    QRect last = at(1200, 3960, 4080, 660);
    last.moveTop(std::max(last.top(), Label22->geometry().bottom() + 1));
    PlaceWrapped(Label2[3], last);

    // Separators below each description; pushed down when a description
    // needs more lines than the design gave it.
    const std::array<int, 3> lineTops{1680, 2640, 3600};
    for (int i = 0; i < 3; ++i) {
        QRect line = at(1320, lineTops[i], 4920 - 1320, 30);
        line.setHeight(2);
        line.moveTop(std::max(line.top(), Label2[i]->geometry().bottom() + 1));
        Line2[i]->setGeometry(line);
    }
}

void LayoutPage::ShowRecord(const PageSettings& s) {
    const QString layout = ToQString(s.lblLayOut.Caption);
    if (lblLayOut->text() != layout) lblLayOut->setText(layout);
    const QSignalBlocker blocker(optOnSmplModeGroup);
    const QSignalBlocker first(optOnSmplMode[0]);
    const QSignalBlocker second(optOnSmplMode[1]);
    if (s.optOnSmplMode[0].Value) {
        optOnSmplMode[0]->setChecked(true);
    } else if (s.optOnSmplMode[1].Value) {
        optOnSmplMode[1]->setChecked(true);
    }
}

}  // namespace rumora
