#include "window/calendar_page.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>
#include <QTextCharFormat>
#include <map>

#include "calendar/closing_days.h"
#include "calendar/holidays.h"
#include "events/event_reader.h"
#include "logic/closing_fields.h"
#include "logic/form1.h"

namespace rumora {

CalendarPage::CalendarPage(Form1& form, const TwipsGeometry& twips, QWidget* parent)
    : QWidget(parent), form_(form), twips_(twips) {
    MonthView1 = new QCalendarWidget(this);
    MonthView1->setObjectName(QStringLiteral("MonthView1"));
    MonthView1->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    SetFirstDayOfWeek(Qt::Sunday);
    // Saturday blue, as on the page and the preview; Qt paints it red.
    QTextCharFormat saturday = MonthView1->weekdayTextFormat(Qt::Saturday);
    saturday.setForeground(Qt::blue);
    MonthView1->setWeekdayTextFormat(Qt::Saturday, saturday);
    MonthView1->setDateRange(QDate(1753, 1, 1), QDate(9999, 12, 31));
    MonthView1->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    MonthView1->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    // Small enough for the design's size; Qt's view asks for more room
    // than it needs at the window's font.
    SetFont(MonthView1, 8.25, false);
    if (auto* view = MonthView1->findChild<QTableView*>()) {
        // Its hidden headers still hold every column and row to a minimum
        // wider than a day number, which would push days out of sight.
        view->horizontalHeader()->setMinimumSectionSize(0);
        view->verticalHeader()->setMinimumSectionSize(0);
    }

    Label8 = MakeLabel("Label8", "言語", this);
    cmbLanguage = new QComboBox(this);
    cmbLanguage->setObjectName(QStringLiteral("cmbLanguage"));
    cmbLanguage->setEditable(true);
    // The box keeps exactly what was typed: no completion, no new items.
    cmbLanguage->setInsertPolicy(QComboBox::NoInsert);
    cmbLanguage->setCompleter(nullptr);
    cmbLanguage->lineEdit()->setAcceptDrops(false);
    SetBackground(cmbLanguage, Qt::white);
    SetTextColour(cmbLanguage, Qt::black);
    cmbLanguage->setAutoFillBackground(false);

    Image1 = new QFrame(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    SetSingleBorder(Image1);
    Label6 = MakeLabel("Label6", "日本語：", this);
    Label7 = MakeLabel("Label7", "1999.6 - 水無月 -", this);
    Label13 = MakeLabel("Label13", "日　月　火　・・・", this);
    Label14 = MakeLabel("Label14", "英語：", this);
    Label15 = MakeLabel("Label15", "1999.6 - June -", this);
    Label16 = MakeLabel("Label16", "Sun Mon Tue ・・・", this);
    for (QLabel* sample : {Label7, Label13, Label15, Label16}) SetFont(sample, 8.25, false);

    Label4 = MakeLabel("Label4", "ボーダー", this);
    txttblborder =
        new BorderField([this](std::int16_t& key) { form_.txttblborder_KeyPress(key); }, this);
    txttblborder->setObjectName(QStringLiteral("txttblborder"));
    Label17 = MakeLabel("Label17", "(0 ～ 4)", this);

    Label3 = MakeLabel("Label3", "曜日行の背景色", this);
    Label19 = MakeLabel("Label19", "赤", this);
    Label20 = MakeLabel("Label20", "緑", this);
    Label21 = MakeLabel("Label21", "青", this);
    SetTextColour(Label19, QColor(255, 0, 0));
    SetTextColour(Label20, QColor(0, 192, 0));
    SetTextColour(Label21, QColor(0, 0, 255));
    for (QLabel* label : {Label19, Label20, Label21}) SetFont(label, 9, true);

    for (int i = 0; i < 3; ++i) {
        auto* bar = new QScrollBar(Qt::Horizontal, this);
        bar->setObjectName(QStringLiteral("ScrColor(%1)").arg(i));
        bar->setRange(0, 255);
        bar->setSingleStep(1);
        bar->setPageStep(1);
        // Report a value only when it changes for good, not while dragging.
        bar->setTracking(false);
        // Take the keyboard like the design's bars: Left lowers, Right raises.
        bar->setInvertedControls(false);
        bar->setFocusPolicy(Qt::StrongFocus);
        connect(bar, &QScrollBar::valueChanged, this, [this, i](int value) {
            form_.s.ScrColor[i].Value = static_cast<std::int16_t>(value);
            form_.ScrColor_Change(static_cast<std::int16_t>(i));
            emit RecordChanged();
        });
        ScrColor[i] = bar;
    }

    pictBG = new QFrame(this);
    pictBG->setObjectName(QStringLiteral("pictBG"));
    SetSingleBorder(pictBG);
    SetBackground(pictBG, Qt::white);
    const std::array<const char*, 5> days{"日", "月", "火", "...", "土"};
    for (int i = 0; i < 5; ++i) {
        lblDay[i] = MakeLabel("", days[i], pictBG);
        lblDay[i]->setObjectName(QStringLiteral("lblDay(%1)").arg(i));
        lblDay[i]->setAutoFillBackground(true);
        SetFont(lblDay[i], 9.75, true);
    }
    SetTextColour(lblDay[0], Qt::red);
    SetTextColour(lblDay[4], Qt::blue);

    connect(MonthView1, &QCalendarWidget::selectionChanged, this, &CalendarPage::MonthViewChanged);
    // Paging to another month moves the selection along, so the month on
    // show is the month the page starts with.
    connect(MonthView1, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        const QDate selected = MonthView1->selectedDate();
        const QDate first(year, month, 1);
        MonthView1->setSelectedDate(
            QDate(year, month, std::min(selected.day(), first.daysInMonth())));
        MarkDays();
    });
    // No handler: the builder reads the language when it builds.
    connect(cmbLanguage, &QComboBox::editTextChanged, this,
            [this](const QString& text) { form_.s.cmbLanguage.Text = ToStdString(text); });
    connect(txttblborder, &QLineEdit::textChanged, this, [this] {
        ReadTextBox(txttblborder, form_.s.txttblborder);
        form_.txttblborder_Change();
        emit RecordChanged();
    });
}

void CalendarPage::SetFirstDayOfWeek(Qt::DayOfWeek day) {
    // The widget selects today when it is made, under the system's locale.
    // A new first column (from our locale, or this call) moves the days but
    // not the view's marked cell, which then sits on another day until the
    // date is set again; the widget skips that when the date is unchanged.
    // So step off the date and back.
    MonthView1->setFirstDayOfWeek(day);
    const QSignalBlocker blocker(MonthView1);
    const QDate date = MonthView1->selectedDate();
    MonthView1->setSelectedDate(date == MonthView1->minimumDate() ? date.addDays(1)
                                                                  : date.addDays(-1));
    MonthView1->setSelectedDate(date);
}

void CalendarPage::MarkDays() {
    MonthView1->setDateTextFormat(QDate(), QTextCharFormat());
    if (!holidaysMarked_ && closing_.Empty() && eventFiles_.empty()) return;
    const QDate shown(MonthView1->yearShown(), MonthView1->monthShown(), 1);
    // The user's events on the months in view, by Japan date; a file that
    // cannot be read marks nothing here (the page's build says why).
    const QDate epoch(1970, 1, 1);
    const QDate viewFirst = shown.addMonths(-1);
    const QDate viewLast = shown.addMonths(2).addDays(-1);
    std::map<qint64, QStringList> named;
    for (const std::string& path : eventFiles_) {
        const events::Calendar calendar =
            events::ReadCalendarFile(path, static_cast<std::int32_t>(epoch.daysTo(viewFirst)),
                                     static_cast<std::int32_t>(epoch.daysTo(viewLast)));
        for (const events::Occurrence& o : calendar.occurrences) {
            QString name = QString::fromStdString(o.summary);
            if (o.startMinute >= 0) {
                name = QStringLiteral("%1:%2 ")
                           .arg(o.startMinute / 60, 2, 10, QLatin1Char('0'))
                           .arg(o.startMinute % 60, 2, 10, QLatin1Char('0')) +
                       name;
            }
            for (std::int32_t day = o.firstDay; day <= o.lastDay; ++day) named[day] << name;
        }
    }
    for (int offset = -1; offset <= 1; ++offset) {
        const QDate month = shown.addMonths(offset);
        if (!month.isValid() || month.year() > 9999) continue;
        MonthHolidayNames names{};
        if (holidaysMarked_) {
            names = HolidaysOfMonth(month.year(), month.month(), HolidayLanguage::Japanese);
        }
        const MonthClosings closed = ClosingsOfMonth(closing_, month.year(), month.month());
        for (int day = 1; day <= month.daysInMonth(); ++day) {
            const bool isClosed = closed[static_cast<std::size_t>(day)] != ClosingReason::Open;
            const auto own = named.find(epoch.daysTo(QDate(month.year(), month.month(), day)));
            if (names[day] == nullptr && !isClosed && own == named.end()) continue;
            QTextCharFormat format;
            QStringList tip;
            if (names[day] != nullptr) {
                format.setForeground(Qt::red);
                tip << QString::fromUtf8(names[day]);
            }
            if (isClosed) {
                format.setBackground(closingColour_);
                tip << closingLabel_;
            }
            if (own != named.end()) {
                format.setFontWeight(QFont::Bold);
                tip << own->second;
            }
            format.setToolTip(tip.join(u'\n'));
            MonthView1->setDateTextFormat(QDate(month.year(), month.month(), day), format);
        }
    }
}

void CalendarPage::MonthViewChanged() {
    const QDate date = MonthView1->selectedDate();
    MonthView& view = form_.s.MonthView1;
    view.Day = static_cast<std::int16_t>(date.day());
    view.Month = static_cast<std::int16_t>(date.month());
    view.Year = static_cast<std::int16_t>(date.year());
}

void CalendarPage::Place(const QPoint& origin) {
    const auto at = [&](int left, int top, int width, int height) {
        return twips_.rect(left, top, width, height).translated(-origin);
    };
    const auto point = [&](int left, int top) { return twips_.point(left, top) - origin; };

    MonthView1->setGeometry(at(240, 600, 2385, 2220));

    PlaceGrown(cmbLanguage, at(3360, 600, 1335, 300));
    PlaceAuto(Label8, point(2880, 600));
    Label8->move(Label8->x(), cmbLanguage->y() + (cmbLanguage->height() - Label8->height()) / 2);

    Image1->setGeometry(at(2880, 960, 2415, 1215));
    Image1->lower();
    PlaceAuto(Label6, point(3000, 1080));
    PlaceAuto(Label7, point(3840, 1080));
    PlaceAuto(Label13, point(3840, 1320));
    PlaceAuto(Label14, point(3120, 1680));
    PlaceAuto(Label15, point(3840, 1680));
    PlaceAuto(Label16, point(3840, 1920));
    // The frame holds the samples whole, also where they run wider.
    int samplesRight = Image1->geometry().right();
    for (const QLabel* sample : {Label6, Label7, Label13, Label14, Label15, Label16}) {
        samplesRight = std::max(samplesRight, sample->geometry().right() + 4);
    }
    Image1->resize(std::min(samplesRight, width() - 2) - Image1->x() + 1, Image1->height());

    PlaceGrown(txttblborder, at(3720, 2520, 615, 270));
    PlaceAuto(Label4, point(2880, 2520));
    Label4->move(Label4->x(), txttblborder->y() + (txttblborder->height() - Label4->height()) / 2);
    PlaceAuto(Label17, point(4440, 2640));
    Label17->move(Label17->x(), txttblborder->geometry().bottom() - Label17->height() + 1);

    PlaceAuto(Label3, point(360, 3000));
    const std::array<QLabel*, 3> colourNames{Label19, Label20, Label21};
    const std::array<int, 3> tops{3360, 3720, 4080};
    for (int i = 0; i < 3; ++i) {
        ScrColor[i]->setGeometry(at(1200, tops[i], 1695, 255));
        PlaceAuto(colourNames[i], point(840, tops[i]));
        colourNames[i]->move(
            colourNames[i]->x(),
            ScrColor[i]->y() + (ScrColor[i]->height() - colourNames[i]->height()) / 2);
    }

    pictBG->setGeometry(at(3120, 3600, 1935, 735));
    for (int i = 0; i < 5; ++i) PlaceAuto(lblDay[i], twips_.point(120 + 360 * i, 240));
}

void CalendarPage::ShowRecord(const PageSettings& s) {
    const Qt::DayOfWeek firstDay = s.optWeekStart[1].Value ? Qt::Monday : Qt::Sunday;
    if (MonthView1->firstDayOfWeek() != firstDay) SetFirstDayOfWeek(firstDay);
    {
        const QSignalBlocker blocker(MonthView1);
        const QDate date(s.MonthView1.Year, s.MonthView1.Month, s.MonthView1.Day);
        if (date.isValid() && MonthView1->selectedDate() != date) {
            MonthView1->setSelectedDate(date);
            MonthView1->setCurrentPage(date.year(), date.month());
            MarkDays();
        }
    }
    ClosingRules closing = ReadClosingFields(s).rules;
    const QColor colour = FromPlatformColour(s.lblClosedColor.BackColor);
    const QString label = s.txtClosedLabel.Text.empty() ? QString::fromUtf8(kClosedLabelJapanese)
                                                        : ToQString(s.txtClosedLabel.Text);
    if (holidaysMarked_ != (s.chkHolidays.Value != 0) || closing_ != closing ||
        closingColour_ != colour || closingLabel_ != label || eventFiles_ != s.lstEvents.List) {
        holidaysMarked_ = s.chkHolidays.Value != 0;
        eventFiles_ = s.lstEvents.List;
        closing_ = std::move(closing);
        closingColour_ = colour;
        closingLabel_ = label;
        MarkDays();
    }
    {
        const QSignalBlocker blocker(cmbLanguage);
        QStringList items;
        for (const std::string& item : s.cmbLanguage.List) items << ToQString(item);
        QStringList shown;
        for (int i = 0; i < cmbLanguage->count(); ++i) shown << cmbLanguage->itemText(i);
        const QString text = ToQString(s.cmbLanguage.Text);
        if (shown != items) {
            cmbLanguage->clear();
            cmbLanguage->addItems(items);
            cmbLanguage->setEditText(text);
        }
        if (cmbLanguage->currentText() != text) cmbLanguage->setEditText(text);
    }
    {
        const QSignalBlocker blocker(txttblborder);
        ShowTextBox(txttblborder, s.txttblborder);
    }
    for (int i = 0; i < 3; ++i) {
        const QSignalBlocker blocker(ScrColor[i]);
        ScrColor[i]->setValue(s.ScrColor[i].Value);
        ScrColor[i]->setEnabled(s.ScrColor[i].Enabled);
    }
    for (int i = 0; i < 5; ++i) {
        QPalette palette = lblDay[i]->palette();
        palette.setColor(QPalette::Window, FromPlatformColour(s.lblDay[i].BackColor));
        lblDay[i]->setPalette(palette);
    }
}

}  // namespace rumora
