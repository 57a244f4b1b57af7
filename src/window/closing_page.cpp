#include "window/closing_page.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <algorithm>

#include "logic/form1.h"

namespace rumora {

namespace {

constexpr std::array<const char*, 7> kWeekdays{"日", "月", "火", "水", "木", "金", "土"};
constexpr std::array<const char*, 7> kWeeks{"毎週", "第1", "第2", "第3", "第4", "第5", "最終"};

// The grid's cells, in twips inside its frame.
constexpr int kGridLeft = 720;
constexpr int kGridTop = 480;
constexpr int kCellWidth = 330;
constexpr int kCellHeight = 240;

}  // namespace

ClosingPage::ClosingPage(Form1& form, const TwipsGeometry& twips, QWidget* parent)
    : QWidget(parent), form_(form), twips_(twips) {
    PageSettings& s = form_.s;
    Frame7 = new QGroupBox(QStringLiteral("定休日"), this);
    Frame7->setObjectName(QStringLiteral("Frame7"));
    for (std::size_t day = 0; day < 7; ++day) {
        const int i = static_cast<int>(day);
        lblClosedDay[day] = MakeLabel("", kWeekdays[day], Frame7);
        lblClosedDay[day]->setObjectName(QStringLiteral("lblClosedDay(%1)").arg(i));
        lblClosedWeek[day] = MakeLabel("", kWeeks[day], Frame7);
        lblClosedWeek[day]->setObjectName(QStringLiteral("lblClosedWeek(%1)").arg(i));
        chkClosedWeekly[day] = MakeCheck(QStringLiteral("chkClosedWeekly(%1)").arg(i), "",
                                         s.chkClosedWeekly[day], Frame7);
    }
    SetTextColour(lblClosedDay[0], Qt::red);
    SetTextColour(lblClosedDay[6], Qt::blue);
    for (std::size_t cell = 0; cell < chkClosedNth.size(); ++cell) {
        chkClosedNth[cell] = MakeCheck(QStringLiteral("chkClosedNth(%1)").arg(cell), "",
                                       s.chkClosedNth[cell], Frame7);
    }

    Label24 = MakeLabel("Label24", "毎月の日", this);
    txtClosedDays = new QLineEdit(this);
    txtClosedDays->setObjectName(QStringLiteral("txtClosedDays"));
    txtClosedDays->setPlaceholderText(QStringLiteral("1, 15"));
    chkClosedHolidays =
        MakeCheck(QStringLiteral("chkClosedHolidays"), "祝日は休業", s.chkClosedHolidays, this);
    chkClosedMoves =
        MakeCheck(QStringLiteral("chkClosedMoves"), "祝日の場合は翌日", s.chkClosedMoves, this);

    Label25 = MakeLabel("Label25", "色", this);
    lblClosedColor = MakeLabel("lblClosedColor", "", this);
    SetSingleBorder(lblClosedColor);
    lblClosedColor->setAutoFillBackground(true);
    cmdClosedColor = new QPushButton(QStringLiteral("選択..."), this);
    cmdClosedColor->setObjectName(QStringLiteral("cmdClosedColor"));
    connect(cmdClosedColor, &QPushButton::clicked, this, [this] {
        form_.cmdClosedColor_Click();
        emit RecordChanged();
    });
    Label26 = MakeLabel("Label26", "表示名", this);
    txtClosedLabel = new QLineEdit(this);
    txtClosedLabel->setObjectName(QStringLiteral("txtClosedLabel"));
    txtClosedLabel->setPlaceholderText(QString::fromUtf8(kClosedLabelJapanese));
    for (const auto& [field, box] : {std::pair{txtClosedDays, &PageSettings::txtClosedDays},
                                     std::pair{txtClosedLabel, &PageSettings::txtClosedLabel}}) {
        connect(field, &QLineEdit::textChanged, this, [this, field = field, box = box] {
            ReadTextBox(field, form_.s.*box);
            FieldsChanged();
        });
    }

    Label27 = MakeLabel("Label27", "臨時休業", this);
    txtClosedOn = MakeDateLines("txtClosedOn", s.txtClosedOn);
    Label28 = MakeLabel("Label28", "臨時営業", this);
    txtOpenOn = MakeDateLines("txtOpenOn", s.txtOpenOn);
    lblClosedProblems = MakeLabel("lblClosedProblems", "", this);
    SetTextColour(lblClosedProblems, Qt::red);
}

QCheckBox* ClosingPage::MakeCheck(const QString& name, const char* caption, CheckBox& field,
                                  QWidget* parent) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(name);
    connect(box, &QCheckBox::stateChanged, this, [this, &field](int state) {
        field.Value = static_cast<std::int16_t>(state == Qt::Checked ? 1 : 0);
        emit RecordChanged();
    });
    return box;
}

QPlainTextEdit* ClosingPage::MakeDateLines(const char* name, TextBox& field) {
    auto* edit = new QPlainTextEdit(this);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setPlaceholderText(QStringLiteral("2027-05-06\n12-29..01-03"));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setTabChangesFocus(true);
    // Only the picture path takes drops.
    edit->setAcceptDrops(false);
    edit->viewport()->setAcceptDrops(false);
    connect(edit, &QPlainTextEdit::textChanged, this, [this, edit, &field] {
        field.Text = ToStdString(edit->toPlainText());
        FieldsChanged();
    });
    return edit;
}

void ClosingPage::FieldsChanged() {
    form_.ClosedFields_Change();
    emit RecordChanged();
}

void ClosingPage::Place(const QPoint& origin, int pageWidth) {
    const auto at = [&](int left, int top, int width, int height) {
        return twips_.rect(left, top, width, height).translated(-origin);
    };
    const auto point = [&](int left, int top) { return twips_.point(left, top) - origin; };

    // The fields on the right and below run to the page's edge, however
    // wide the tab row made the window.
    const int right = pageWidth - 6;
    const auto toRight = [&](QWidget* widget, int left, int top, int height) {
        const QRect design = at(left, top, 0, height);
        PlaceGrown(widget, QRect(design.x(), design.y(), right - design.x(), design.height()));
    };
    const auto besideField = [](QWidget* label, const QWidget* field) {
        label->move(label->x(), field->y() + (field->height() - label->height()) / 2);
    };

    // Rows no lower than a caption or a box, so neither overlaps the next.
    int rowHeight = twips_.y(kCellHeight);
    for (std::size_t day = 0; day < 7; ++day) {
        lblClosedDay[day]->adjustSize();
        lblClosedWeek[day]->adjustSize();
        chkClosedWeekly[day]->adjustSize();
        rowHeight =
            std::max({rowHeight, lblClosedWeek[day]->height(), chkClosedWeekly[day]->height()});
    }
    const int gridTop = twips_.y(kGridTop);
    const QRect frame = at(240, 600, 3120, 0);
    Frame7->setGeometry(frame.x(), frame.y(), frame.width(), gridTop + 7 * rowHeight + 6);
    for (std::size_t day = 0; day < 7; ++day) {
        const int column = twips_.x(kGridLeft + kCellWidth * static_cast<int>(day));
        lblClosedDay[day]->move(column + twips_.x(30), twips_.y(240));
        lblClosedWeek[day]->move(twips_.x(120), 0);
        // The weekly row first, then the nth weeks and the last.
        for (std::size_t week = 0; week < 7; ++week) {
            QCheckBox* box = week == 0 ? chkClosedWeekly[day] : chkClosedNth[7 * (week - 1) + day];
            box->adjustSize();
            box->move(column, gridTop + rowHeight * static_cast<int>(week));
        }
    }
    for (std::size_t week = 0; week < 7; ++week) {
        QCheckBox* box = week == 0 ? chkClosedWeekly[0] : chkClosedNth[7 * (week - 1)];
        besideField(lblClosedWeek[week], box);
    }

    PlaceAuto(Label24, point(3480, 690));
    toRight(txtClosedDays, 4380, 660, 285);
    besideField(Label24, txtClosedDays);
    toRight(chkClosedHolidays, 3480, 1080, 255);
    toRight(chkClosedMoves, 3480, 1380, 255);
    PlaceAuto(Label25, point(3480, 1800));
    lblClosedColor->setGeometry(at(4380, 1740, 495, 300));
    toRight(cmdClosedColor, 4980, 1725, 330);
    besideField(Label25, cmdClosedColor);
    besideField(lblClosedColor, cmdClosedColor);
    PlaceAuto(Label26, point(3480, 2280));
    toRight(txtClosedLabel, 4380, 2250, 285);
    besideField(Label26, txtClosedLabel);

    // The dated fields below the grid, however tall it grew.
    PlaceAuto(Label27, point(240, 0));
    PlaceAuto(Label28, point(3240, 0));
    const int captionsTop = Frame7->geometry().bottom() + 4;
    Label27->move(Label27->x(), captionsTop);
    Label28->move(Label28->x(), captionsTop);
    const int fieldsTop = Label27->geometry().bottom() + 2;
    const QRect closed = at(240, 0, 2880, 840);
    txtClosedOn->setGeometry(closed.x(), fieldsTop, closed.width(), closed.height());
    const int openLeft = twips_.x(3240) - origin.x();
    txtOpenOn->setGeometry(openLeft, fieldsTop, right - openLeft, closed.height());
    lblClosedProblems->setWordWrap(true);
    lblClosedProblems->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblClosedProblems->setGeometry(closed.x(), txtClosedOn->geometry().bottom() + 3,
                                   right - closed.x(),
                                   2 * lblClosedProblems->fontMetrics().height());
}

void ClosingPage::ShowRecord(const PageSettings& s) {
    const auto show = [](QCheckBox* box, const CheckBox& field) {
        const QSignalBlocker blocker(box);
        box->setChecked(field.Value != 0);
    };
    for (std::size_t day = 0; day < 7; ++day) show(chkClosedWeekly[day], s.chkClosedWeekly[day]);
    for (std::size_t cell = 0; cell < chkClosedNth.size(); ++cell) {
        show(chkClosedNth[cell], s.chkClosedNth[cell]);
    }
    show(chkClosedHolidays, s.chkClosedHolidays);
    show(chkClosedMoves, s.chkClosedMoves);
    for (const auto& [field, box] : {std::pair{txtClosedDays, &s.txtClosedDays},
                                     std::pair{txtClosedLabel, &s.txtClosedLabel}}) {
        const QSignalBlocker blocker(field);
        ShowTextBox(field, *box);
    }
    for (const auto& [edit, box] :
         {std::pair{txtClosedOn, &s.txtClosedOn}, std::pair{txtOpenOn, &s.txtOpenOn}}) {
        const QString text = ToQString(box->Text);
        if (edit->toPlainText() == text) continue;
        const QSignalBlocker blocker(edit);
        edit->setPlainText(text);
    }
    SetBackground(lblClosedColor, FromPlatformColour(s.lblClosedColor.BackColor));
    const QString problems = ToQString(s.lblClosedProblems.Caption);
    lblClosedProblems->setText(problems);
    // The label holds two lines; the tip has them all.
    lblClosedProblems->setToolTip(problems);
}

}  // namespace rumora
