// Each user action goes through the real widgets to its handler, and the
// window then shows what the handler left in the record.
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSemaphore>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTextCharFormat>
#include <QThread>
#include <QToolButton>

#include "calendar/closing_days.h"
#include "window/closing_page.h"
#include "window/events_page.h"
#include "window/koyomi_page.h"
#include "window/window_controls.h"
#include "window_fixture.h"

namespace rumora::test {
namespace {

TEST_F(WindowTest, LayoutButtonsAndGridOptionsReachTheRecord) {
    const std::pair<QPushButton*, const char*> buttons[] = {{layout().Command3, kLayoutStandard2},
                                                            {layout().Command2, kLayoutStandard1},
                                                            {layout().Command4, kLayoutProgress},
                                                            {layout().Command1, kLayoutSimple}};
    for (const auto& [button, caption] : buttons) {
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(s().lblLayOut.Caption, caption);
        EXPECT_EQ(layout().lblLayOut->text(), QString::fromUtf8(caption));
    }
    QTest::mouseClick(layout().optOnSmplMode[1], Qt::LeftButton);
    EXPECT_FALSE(s().optOnSmplMode[0].Value);
    EXPECT_TRUE(s().optOnSmplMode[1].Value);
    EXPECT_FALSE(layout().optOnSmplMode[0]->isChecked());
}

TEST_F(WindowTest, BorderFieldsFilterTypedKeysAndKeepOneCharacter) {
    window.SSTab1->setCurrentIndex(1);
    BorderField* field = calendar().txttblborder;
    field->setFocus();
    field->end(false);
    QTest::keyClick(field, '3');
    EXPECT_EQ(field->text(), QStringLiteral("3"));
    EXPECT_EQ(field->selectedText(), QStringLiteral("3"));
    QTest::keyClick(field, '9');
    EXPECT_EQ(field->text(), QStringLiteral("3"));
    QTest::keyClick(field, '2');
    EXPECT_EQ(field->text(), QStringLiteral("2"));
    EXPECT_EQ(s().txttblborder.Text, "2");

    // Backspace is a character the filter drops; Delete types none.
    field->end(false);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), QStringLiteral("2"));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(field->text(), QString());
    EXPECT_EQ(s().txttblborder.Text, "");

    // An input method's text goes through the same filter, one character
    // at a time.
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("あ4"));
    QCoreApplication::sendEvent(field, &commit);
    EXPECT_EQ(field->text(), QStringLiteral("4"));

    window.SSTab1->setCurrentIndex(2);
    BorderField* picture = pictures().txtImgBorder;
    picture->setFocus();
    picture->end(false);
    QTest::keyClicks(picture, "x1");
    EXPECT_EQ(picture->text(), QStringLiteral("1"));
    EXPECT_EQ(s().txtImgBorder.Text, "1");
}

TEST(KeyCodeOf, GivesTheCodeThePlatformWouldType) {
    EXPECT_EQ(KeyCodeOf(QStringLiteral("0")), 48);
    EXPECT_EQ(KeyCodeOf(QStringLiteral("\b")), 8);
    EXPECT_LT(KeyCodeOf(QStringLiteral("あ")), 0);  // double-byte in code page 932
    EXPECT_GT(KeyCodeOf(QStringLiteral("ｱ")), 52);  // single-byte katakana
    EXPECT_EQ(KeyCodeOf(QString::fromUtf8("\xF0\x9F\x98\x80")), -1);
}

// The record counts characters, Qt's fields UTF-16 units: an emoji before
// the caret is one of the first and two of the second.
TEST(TextPositions, AnEmojiIsOneCharacterOfTwoUnits) {
    const QString text = QString::fromUtf8(
        "a\xF0\x9F\x98\x80"
        "b");
    const std::vector<std::pair<int, int>> characterAndUnit{{0, 0}, {1, 1}, {2, 3}, {3, 4}};
    for (const auto& [character, unit] : characterAndUnit) {
        EXPECT_EQ(ToUtf16Position(text, character), unit) << character;
        EXPECT_EQ(ToCharacterPosition(text, unit), character) << unit;
    }
    // A surrogate without its partner counts as a character of its own.
    const QString lone = QString(QChar(0xDC00)) + QChar(0xD83D) + QChar('x');
    EXPECT_EQ(ToCharacterPosition(lone, 3), 3);
    EXPECT_EQ(ToUtf16Position(lone, 2), 2);
}

TEST_F(WindowTest, ColourBarsRepaintThePreviewOnlyWhenTheValueSettles) {
    window.SSTab1->setCurrentIndex(1);
    QScrollBar* green = calendar().ScrColor[1];
    green->setFocus();
    QTest::keyClick(green, Qt::Key_Left);
    for (QLabel* day : calendar().lblDay) {
        EXPECT_EQ(day->palette().color(QPalette::Window), QColor(150, 249, 180));
    }
    // Dragging the thumb reports nothing until it is let go.
    green->setSliderDown(true);
    green->setSliderPosition(0);
    EXPECT_EQ(s().ScrColor[1].Value, 249);
    green->setSliderDown(false);
    EXPECT_EQ(s().ScrColor[1].Value, 0);
    EXPECT_EQ(calendar().lblDay[2]->palette().color(QPalette::Window), QColor(150, 0, 180));
}

TEST_F(WindowTest, ControlsWithoutHandlersStillReachTheRecord) {
    window.SSTab1->setCurrentIndex(1);
    calendar().MonthView1->setSelectedDate(QDate(2031, 2, 14));
    EXPECT_EQ(s().MonthView1.Year, 2031);
    EXPECT_EQ(s().MonthView1.Month, 2);
    // Paging to the next month takes the selection along.
    calendar().MonthView1->showNextMonth();
    EXPECT_EQ(s().MonthView1.Month, 3);
    EXPECT_EQ(calendar().MonthView1->selectedDate(), QDate(2031, 3, 14));

    calendar().cmbLanguage->setCurrentIndex(1);
    EXPECT_EQ(s().cmbLanguage.Text, kLanguageEnglish);
    QLineEdit* typed = calendar().cmbLanguage->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "fr");
    EXPECT_EQ(s().cmbLanguage.Text, "fr");
    EXPECT_EQ(calendar().cmbLanguage->count(), 2);

    window.SSTab1->setCurrentIndex(2);
    QTest::mouseClick(pictures().chkbold, Qt::LeftButton);
    EXPECT_EQ(s().chkbold.Value, 1);
}

// The days the month view's table marks: its selection and its current cell.
QStringList MarkedDays(QCalendarWidget* view) {
    auto* table = view->findChild<QTableView*>();
    QStringList days;
    for (const QModelIndex& cell : table->selectionModel()->selectedIndexes()) {
        days << cell.data().toString();
    }
    return days << table->currentIndex().data().toString();
}

TEST_F(WindowTest, KoyomiPageMarksHolidaysRokuyoAndTheFirstDayInTheMonthView) {
    QCalendarWidget* view = calendar().MonthView1;
    // Made under a locale whose week starts on Monday, the view once marked
    // the day beside today; after paging, two days.
    const QString today = QString::number(s().MonthView1.Day);
    EXPECT_EQ(MarkedDays(view), QStringList({today, today}));
    EXPECT_EQ(view->weekdayTextFormat(Qt::Saturday).foreground().color(), QColor(Qt::blue));

    KoyomiPage& koyomi = *window.koyomiPage;
    window.SSTab1->setCurrentIndex(3);
    EXPECT_FALSE(koyomi.chkHolidays->isChecked() || koyomi.chkRokuyo->isChecked());
    EXPECT_TRUE(koyomi.optWeekStart[0]->isChecked());
    QTest::mouseClick(koyomi.chkRokuyo, Qt::LeftButton);
    EXPECT_EQ(s().chkRokuyo.Value, 1);
    EXPECT_EQ(s().chkHolidays.Value, 0);
    view->setSelectedDate(QDate(2026, 5, 20));
    QTest::mouseClick(koyomi.chkHolidays, Qt::LeftButton);
    QTest::mouseClick(koyomi.optWeekStart[1], Qt::LeftButton);
    EXPECT_EQ(s().chkHolidays.Value, 1);
    EXPECT_TRUE(s().optWeekStart[1].Value && !s().optWeekStart[0].Value);
    EXPECT_EQ(view->firstDayOfWeek(), Qt::Monday);
    EXPECT_EQ(MarkedDays(view), QStringList({"20", "20"}));
    EXPECT_EQ(view->dateTextFormat(QDate(2026, 5, 6)).toolTip(), "振替休日");
    EXPECT_EQ(view->dateTextFormat(QDate(2026, 5, 6)).foreground().color(), QColor(Qt::red));
    view->showNextMonth();
    EXPECT_EQ(MarkedDays(view), QStringList({"20", "20"}));
    EXPECT_EQ(view->dateTextFormat(QDate(2026, 7, 20)).toolTip(), "海の日");
    QTest::mouseClick(koyomi.chkHolidays, Qt::LeftButton);
    EXPECT_TRUE(view->dateTextFormat().isEmpty());
    EXPECT_EQ(s().chkHolidays.Value, 0);
}

TEST_F(WindowTest, ClosingPageReachesTheRecordAndTheMonthView) {
    ClosingPage& page = *window.closingPage;
    window.SSTab1->setCurrentIndex(4);
    for (QCheckBox* box : {page.chkClosedWeekly[3], page.chkClosedNth[7 * 5 + 5],
                           page.chkClosedHolidays, page.chkClosedMoves}) {
        // On the box itself: a row's box runs to the page's edge, past its caption.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    }
    QTest::keyClicks(page.txtClosedDays, "1, 15");
    page.txtClosedLabel->setText("定休");
    page.txtClosedOn->setPlainText("2027-02-30\n2027-05-06");
    page.txtOpenOn->setPlainText("2027-05-28");
    desktop.colorAnswers.push_back(QColor(10, 20, 30));
    QTest::mouseClick(page.cmdClosedColor, Qt::LeftButton);

    EXPECT_EQ(desktop.colorPresets, std::vector<QColor>{QColor(255, 204, 204)});
    EXPECT_EQ(page.lblClosedColor->palette().color(QPalette::Window), QColor(10, 20, 30));
    PageOptions expected;
    ASSERT_FALSE(AddClosingRuleList(expected.closing, "wed,last-fri,d1,d15,holidays"));
    expected.closing.movesAfterHoliday = true;
    expected.closing.closedOn = {{20270506, 20270506}};
    expected.closing.openOn = {{20270528, 20270528}};
    const PageOptions options = PageOptionsFromSettings(s());
    EXPECT_EQ(options.closing, expected.closing);
    EXPECT_EQ(options.closingColor, (RgbColor{10, 20, 30}));
    EXPECT_EQ(options.closingLabel, "定休");
    EXPECT_TRUE(page.lblClosedProblems->text().startsWith("臨時休業 1 行目「2027-02-30」"));

    // May 2027: the 5th a holiday on a Wednesday, whose closing moves past
    // the dated 6th to the 7th; the 10th open, the last Friday opened.
    QCalendarWidget* view = calendar().MonthView1;
    view->setSelectedDate(QDate(2027, 5, 20));
    for (const int day : {1, 5, 6, 7, 10, 28}) {
        SCOPED_TRACE(day);
        const QTextCharFormat format = view->dateTextFormat(QDate(2027, 5, day));
        EXPECT_EQ(format.background().style() != Qt::NoBrush, day != 10 && day != 28);
        if (day != 10 && day != 28) {
            EXPECT_EQ(format.background().color(), QColor(10, 20, 30));
            EXPECT_TRUE(format.toolTip().endsWith("定休"));
        }
    }

    // And back: a record changed elsewhere, as by an opened design, shows.
    s().chkClosedWeekly[3].Value = 0;
    s().chkClosedWeekly[1].Value = 1;
    s().chkClosedNth[7 * 5 + 5].Value = 0;
    s().chkClosedNth[7 * 1 + 2].Value = 1;
    s().chkClosedHolidays.Value = 0;
    s().txtClosedOn.Text = "2027-12-29";
    window.ShowRecord();
    for (std::size_t day = 0; day < 7; ++day) {
        EXPECT_EQ(page.chkClosedWeekly[day]->isChecked(), day == 1) << day;
    }
    for (std::size_t cell = 0; cell < page.chkClosedNth.size(); ++cell) {
        EXPECT_EQ(page.chkClosedNth[cell]->isChecked(), cell == 7 * 1 + 2) << cell;
    }
    EXPECT_FALSE(page.chkClosedHolidays->isChecked());
    EXPECT_TRUE(page.chkClosedMoves->isChecked());
    EXPECT_EQ(page.txtClosedOn->toPlainText(), "2027-12-29");
    EXPECT_EQ(page.txtOpenOn->toPlainText(), "2027-05-28");
}

std::unique_ptr<QMimeData> FilesData(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// Sends the drag and, if it was taken, the drop; true when it was taken.
bool Drop(QWidget* target, const QMimeData* data) {
    const QPoint centre = target->rect().center();
    QDragEnterEvent enter(centre, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(centre, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

TEST_F(WindowTest, OnlyThePicturePathTakesDroppedPicturesAndTheWindowDesignsAndCalendars) {
    window.SSTab1->setCurrentIndex(2);
    const QString first = WriteTinyGif(QStringLiteral("first.gif"));
    const QString second = WriteTinyGif(QStringLiteral("second.gif"));
    EXPECT_TRUE(Drop(pictures().txtImg, FilesData({first, second}).get()));
    EXPECT_EQ(pictures().txtImg->text(), first);
    EXPECT_EQ(pictures().txtImg->toolTip(), first);
    EXPECT_EQ(pictures().lblImgSize->text(), QStringLiteral("W1 x H1"));
    EXPECT_TRUE(pictures().HScroll1->isEnabled());

    auto text = std::make_unique<QMimeData>();
    text->setText(QStringLiteral("not a file"));
    EXPECT_FALSE(Drop(pictures().txtImg, text.get()));
    EXPECT_EQ(pictures().txtImg->text(), first);

    // Qt hands a drop only to a widget that accepts drops, or to the
    // nearest parent that does: nothing else in the window may, but the
    // window itself.
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (widget == pictures().txtImg) continue;
        EXPECT_FALSE(widget->acceptDrops())
            << widget->metaObject()->className() << " " << widget->objectName().toStdString();
    }
    // The window itself takes designs and calendar files, and only them.
    EXPECT_FALSE(Drop(&window, FilesData({first}).get()));
    const QString ics =
        QString::fromUtf8(RUMORA_TEST_DATA_DIR "/calendars/google_weekly_moved_cancelled.ics");
    EXPECT_TRUE(Drop(&window, FilesData({first, ics}).get()));
    EXPECT_TRUE(Drop(pictures().txtImg, FilesData({ics}).get()));
    EXPECT_EQ(s().lstEvents.List, std::vector<std::string>{ics.toStdString()});
    EXPECT_EQ(window.eventsPage->lstEvents->count(), 1);
    EXPECT_EQ(pictures().txtImg->text(), first);

    // The month view: the days of the file's events bold, their names as tips.
    QCalendarWidget* view = calendar().MonthView1;
    view->setSelectedDate(QDate(2027, 1, 20));
    EXPECT_EQ(view->dateTextFormat(QDate(2027, 1, 9)).fontWeight(), QFont::Bold);
    EXPECT_EQ(view->dateTextFormat(QDate(2027, 1, 24)).toolTip(), "13:00 練習（雨天のため体育館）");
    EXPECT_TRUE(view->dateTextFormat(QDate(2027, 1, 23)).isEmpty());

    const QString design = PathIn(QStringLiteral("shop.toml"));
    testing::WriteBytes(design.toStdString(), "version = 1\n[page]\nlayout = \"progress\"\n");
    EXPECT_TRUE(Drop(&window, FilesData({design}).get()));
    EXPECT_EQ(s().lblLayOut.Caption, kLayoutProgress);
}

TEST_F(WindowTest, PictureButtonScaleBarAndFontButtonGoThroughTheServices) {
    window.SSTab1->setCurrentIndex(2);
    // Measuring runs on another thread and waits here for the window's own
    // thread, which answers only if it is free, under a busy cursor.
    bool elsewhere = false;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    QSemaphore answered;
    services.SetMeasurer([&](const std::string& path) {
        elsewhere = QThread::currentThread() != window.thread();
        QMetaObject::invokeMethod(
            &window,
            [&] {
                const QCursor* busy = QGuiApplication::overrideCursor();
                cursor = busy != nullptr ? busy->shape() : Qt::ArrowCursor;
                answered.release();
            },
            Qt::QueuedConnection);
        return answered.tryAcquire(1, 10000) ? MeasurePicture(path) : PictureMeasurement{};
    });
    desktop.openAnswers.push_back(WriteTinyGif(QStringLiteral("tiny.gif")));
    QTest::mouseClick(pictures().cmdImg, Qt::LeftButton);
    EXPECT_TRUE(elsewhere);
    EXPECT_EQ(cursor, Qt::WaitCursor);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(desktop.filters.value(0),
              QStringLiteral("Image File (*.jpeg *.jpg *.jpe *.jfif *.png *.gif *.bmp *.dib *.ico "
                             "*.cur *.webp)"));
    EXPECT_EQ(pictures().lblImgScale->text(), QStringLiteral("100% ==>"));
    EXPECT_EQ(pictures().lblImgSize2->text(), QStringLiteral("W1 x H1"));

    QScrollBar* scale = pictures().HScroll1;
    scale->setFocus();
    QTest::keyClick(scale, Qt::Key_Right);
    EXPECT_EQ(s().HScroll1.Value, 101);
    EXPECT_EQ(pictures().lblImgScale->text(), QStringLiteral("101% ==>"));
    scale->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(s().HScroll1.Value, 106);
    // A thumb short enough to travel along the bar.
    EXPECT_LE(scale->style()->pixelMetric(QStyle::PM_ScrollBarSliderMin, nullptr, scale),
              scale->width() / 6);

    desktop.fontAnswers.push_back(QFont(QStringLiteral("Noto Serif")));
    QTest::mouseClick(pictures().cmdFont, Qt::LeftButton);
    ASSERT_EQ(desktop.fontPresets.size(), 1u);
    // Opens at the window's face, or the face standing in for it here.
    EXPECT_EQ(desktop.fontPresets[0].family(), QFontInfo(window.font()).family());
    EXPECT_EQ(pictures().lblFont->text(), QStringLiteral("Noto Serif"));
    QTest::mouseClick(pictures().cmdFont, Qt::LeftButton);  // cancelled
    EXPECT_EQ(pictures().lblFont->text(), QStringLiteral("Noto Serif"));
    EXPECT_EQ(desktop.fontPresets.at(1), desktop.fontPresets[0]);  // never the last choice
    // OK without a change gives back the window's face, not its stand-in.
    desktop.fontAnswers.push_back(desktop.fontPresets[0]);
    QTest::mouseClick(pictures().cmdFont, Qt::LeftButton);
    EXPECT_EQ(pictures().lblFont->text(), window.font().family());
}

}  // namespace
}  // namespace rumora::test
