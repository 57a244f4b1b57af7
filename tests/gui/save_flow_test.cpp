// From a chosen picture to a saved page and its preview, on the real page
// file writer and picture loader; and the Qt services' own conversions.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "files/code_page.h"
#include "page/page_composer.h"
#include "window/layout_page.h"
#include "window_fixture.h"

namespace rumora::test {
namespace {

TEST_F(WindowTest, ToolbarCommandsThenAPictureSavedAndPreviewed) {
    QTest::mouseClick(window.ToolbarWidget(4), Qt::LeftButton);  // disabled: does nothing
    QTest::mouseClick(window.ToolbarWidget(5), Qt::LeftButton);
    EXPECT_EQ(s().lngAPIReVal, 42);
    desktop.openUrlResult = false;
    QTest::mouseClick(window.ToolbarWidget(5), Qt::LeftButton);
    EXPECT_EQ(s().lngAPIReVal, 0);
    const QUrl help =
        QUrl::fromLocalFile(QString::fromStdString(services.AppPath()) + "/help.html");
    EXPECT_EQ(desktop.opened, (std::vector<QUrl>{help, help}));
    desktop.openUrlResult = true;

    // Save-as cancelled builds the page only; a missing folder is told.
    QTest::mouseClick(window.ToolbarWidget(3), Qt::LeftButton);
    EXPECT_EQ(desktop.filters.value(0), QStringLiteral("HTML File (*.htm *.html)"));
    EXPECT_FALSE(s().strCalendar.empty());
    desktop.saveAnswers.push_back(PathIn(QStringLiteral("missing/page.html")));
    QTest::mouseClick(window.ToolbarWidget(3), Qt::LeftButton);
    EXPECT_EQ(desktop.warnings.size(), 1u);
    EXPECT_FALSE(window.ToolbarButton(2)->isEnabled());
    EXPECT_FALSE(window.ToolbarButton(4)->isEnabled());
    desktop.warnings.clear();

    const QString picture = WriteTinyGif(QStringLiteral("photo.gif"));
    desktop.openAnswers.push_back(picture);
    window.SSTab1->setCurrentIndex(2);
    QTest::mouseClick(pictures().cmdImg, Qt::LeftButton);
    window.SSTab1->setCurrentIndex(0);
    QTest::mouseClick(layout().Command2, Qt::LeftButton);

    // Typed without an extension, the name gets the filter's ".html".
    const QString saved = PathIn(QStringLiteral("calendar.html"));
    desktop.saveAnswers.push_back(PathIn(QStringLiteral("calendar")));
    QTest::mouseClick(window.ToolbarWidget(3), Qt::LeftButton);
    ASSERT_TRUE(desktop.warnings.empty()) << desktop.warnings.front().toStdString();

    PageSettings settings = s();
    const std::string expected =
        ToCodePage932(MakeHtmlPage(PageOptionsFromSettings(settings), services.Screen()));
    EXPECT_EQ(testing::ReadBytes(saved.toStdString()), expected);
    EXPECT_NE(expected.find("photo.gif"), std::string::npos);
    EXPECT_EQ(s().strSaveName, saved.toStdString());
    EXPECT_TRUE(window.ToolbarButton(2)->isEnabled());
    EXPECT_TRUE(window.ToolbarButton(4)->isEnabled());

    QTest::mouseClick(window.ToolbarWidget(4), Qt::LeftButton);
    EXPECT_EQ(desktop.opened.back(), QUrl::fromLocalFile(saved));

    // Saving as the same name again asks first; "no" keeps the file.
    QTest::mouseClick(layout().Command1, Qt::LeftButton);
    desktop.saveAnswers.push_back(saved);
    desktop.replaceAnswers.push_back(false);
    QTest::mouseClick(window.ToolbarWidget(3), Qt::LeftButton);
    EXPECT_EQ(desktop.askedToReplace.size(), 1u);
    EXPECT_EQ(testing::ReadBytes(saved.toStdString()), expected);
    // A typed extension, even another, stays as typed.
    desktop.saveAnswers.push_back(PathIn(QStringLiteral("cal.v2.htm")));
    QTest::mouseClick(window.ToolbarWidget(3), Qt::LeftButton);
    EXPECT_EQ(s().strSaveName, PathIn(QStringLiteral("cal.v2.htm")).toStdString());
}

// The desktop's own font and colour dialogs, cancelled: nothing is chosen.
TEST(QtPlatformServices, CancelledDialogsChooseNothing) {
    QtPlatformServices services;
    QTimer cancel;
    QObject::connect(&cancel, &QTimer::timeout, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->reject();
        }
    });
    cancel.start(20);
    EXPECT_EQ(services.ShowFontDialog("DejaVu Sans"), "");
    EXPECT_EQ(services.ShowColorDialog(0x123456), -1);
}

TEST(QtPlatformServices, ScreenComesFromQt) {
    QtPlatformServices services;
    const ScreenMetrics screen = services.Screen();
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_FLOAT_EQ(screen.twipsPerPixelX, static_cast<float>(1440.0 / dpi));
}

// The desktop's keys, and a design saved and opened again through the
// toolbar: a bad one is told and changes nothing.
TEST_F(WindowTest, KeysAndDesignCommands) {
    EXPECT_EQ(window.ToolbarButton(3)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+S")));
    EXPECT_EQ(window.ToolbarButton(4)->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_EQ(window.ToolbarButton(5)->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(window.openDesignAction->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    desktop.saveAnswers.push_back(PathIn(QStringLiteral("page.html")));
    window.saveKeyAction->trigger();  // Ctrl+S before any save: asks for a name
    window.saveKeyAction->trigger();  // then saves over it
    EXPECT_EQ(desktop.filters.size(), 1);
    EXPECT_TRUE(window.ToolbarButton(2)->isEnabled());

    window.layoutPage->Command4->click();
    desktop.saveAnswers.push_back(PathIn(QStringLiteral("shop")));
    QTest::mouseClick(window.Toolbar1->widgetForAction(window.saveDesignAction), Qt::LeftButton);
    EXPECT_EQ(desktop.filters.last(), QStringLiteral("rumora design (*.toml)"));
    window.layoutPage->Command1->click();
    desktop.openAnswers.push_back(PathIn(QStringLiteral("shop.toml")));
    window.openDesignAction->trigger();
    EXPECT_EQ(window.layoutPage->lblLayOut->text(), QStringLiteral("プログレス"));

    testing::WriteBytes(PathIn(QStringLiteral("bad.toml")).toStdString(), "version = 1\nx = 1\n");
    desktop.openAnswers.push_back(PathIn(QStringLiteral("bad.toml")));
    window.openDesignAction->trigger();
    ASSERT_EQ(desktop.warnings.size(), 1u);
    EXPECT_TRUE(desktop.warnings[0].contains(QStringLiteral("2 行目「x」")));
    EXPECT_EQ(window.layoutPage->lblLayOut->text(), QStringLiteral("プログレス"));
}

}  // namespace
}  // namespace rumora::test
