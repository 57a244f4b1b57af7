// What the user sees at start: every page's captions and values, and no
// control clipped or outside its container.
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "window_fixture.h"

namespace rumora::test {
namespace {

QColor BackgroundOf(const QWidget* widget) { return widget->palette().color(QPalette::Window); }

// A bar reports only settled values, in steps of one and `page`.
void ExpectBar(const QScrollBar* bar, int value, int minimum, int maximum, int page) {
    EXPECT_EQ(bar->value(), value);
    EXPECT_EQ(bar->minimum(), minimum);
    EXPECT_EQ(bar->maximum(), maximum);
    EXPECT_EQ(bar->singleStep(), 1);
    EXPECT_EQ(bar->pageStep(), page);
    EXPECT_FALSE(bar->hasTracking());
}

TEST_F(WindowTest, WindowToolbarAndTabsStartAsDesigned) {
    EXPECT_EQ(window.windowTitle(), QStringLiteral("ルモーラ   ver.2.20"));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    const ScreenMetrics screen = services.Screen();
    EXPECT_EQ(window.size(), QSize(static_cast<int>(5730 / screen.TwipsPerPixelX),
                                   static_cast<int>(5595 / screen.TwipsPerPixelY)));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(window.windowIcon().isNull());

    EXPECT_TRUE(window.ToolbarButton(1)->isSeparator());
    const QStringList captions{"上書保存", "別名保存", "プレビュー", "ヘルプ"};
    for (int index = 2; index <= 5; ++index) {
        SCOPED_TRACE(index);
        QAction* button = window.ToolbarButton(index);
        EXPECT_EQ(button->text(), captions[index - 2]);
        EXPECT_FALSE(button->icon().isNull());
        EXPECT_EQ(window.ToolbarWidget(index)->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_GE(window.ToolbarWidget(index)->width(), 55);
        // Save-over (2) and preview (4) need a saved file first.
        EXPECT_EQ(button->isEnabled(), index == 3 || index == 5);
    }

    // The designed three, then "暦"; all four in one row.
    ASSERT_EQ(window.SSTab1->count(), 4);
    EXPECT_EQ(window.SSTab1->tabText(3), "暦");
    EXPECT_LE(window.SSTab1->tabBar()->tabRect(3).right(), window.SSTab1->width());
    const QStringList tabs{"レイアウト", "カレンダー", "画像/フォント"};
    for (int tab = 0; tab < 3; ++tab) {
        EXPECT_EQ(window.SSTab1->tabText(tab), tabs[tab]);
        EXPECT_FALSE(window.SSTab1->tabIcon(tab).isNull());
    }
    EXPECT_EQ(window.SSTab1->currentIndex(), 0);
    const QFont tabFont = window.SSTab1->tabBar()->font();
    EXPECT_TRUE(tabFont.bold());
    EXPECT_DOUBLE_EQ(tabFont.pointSizeF(), 11.25);
    EXPECT_EQ(tabFont.family(), QStringLiteral("ＭＳ Ｐゴシック"));
}

TEST_F(WindowTest, PagesShowTheStartState) {
    EXPECT_EQ(layout().lblLayOut->text(), QStringLiteral("シンプル"));
    EXPECT_EQ(BackgroundOf(layout().lblLayOut), QColor(224, 224, 224));
    EXPECT_TRUE(layout().optOnSmplMode[0]->isChecked());
    EXPECT_FALSE(layout().optOnSmplMode[1]->isChecked());
    EXPECT_EQ(layout().Label9->palette().color(QPalette::WindowText), QColor(Qt::blue));
    EXPECT_TRUE(layout().Label9->font().bold());
    EXPECT_FALSE(layout().Command1->icon().isNull());

    const QDate today = QDate::currentDate();
    EXPECT_EQ(calendar().MonthView1->selectedDate(), today);
    EXPECT_EQ(calendar().MonthView1->monthShown(), today.month());
    EXPECT_EQ(calendar().MonthView1->yearShown(), today.year());
    EXPECT_EQ(calendar().MonthView1->minimumDate(), QDate(1753, 1, 1));
    EXPECT_EQ(calendar().MonthView1->maximumDate(), QDate(9999, 12, 31));
    EXPECT_EQ(calendar().MonthView1->locale().language(), QLocale::Japanese);
    EXPECT_TRUE(calendar().cmbLanguage->isEditable());
    ASSERT_EQ(calendar().cmbLanguage->count(), 2);
    EXPECT_EQ(calendar().cmbLanguage->itemText(0), QStringLiteral("日本語"));
    EXPECT_EQ(calendar().cmbLanguage->itemText(1), QStringLiteral("英語"));
    EXPECT_EQ(calendar().cmbLanguage->currentText(), QStringLiteral("日本語"));
    EXPECT_EQ(calendar().txttblborder->text(), QStringLiteral("0"));
    ExpectBar(calendar().ScrColor[0], 150, 0, 255, 1);
    ExpectBar(calendar().ScrColor[1], 250, 0, 255, 1);
    ExpectBar(calendar().ScrColor[2], 180, 0, 255, 1);
    for (QLabel* day : calendar().lblDay) EXPECT_EQ(BackgroundOf(day), QColor(150, 250, 180));
    EXPECT_EQ(calendar().lblDay[0]->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_EQ(calendar().lblDay[4]->palette().color(QPalette::WindowText), QColor(Qt::blue));

    EXPECT_EQ(pictures().txtImg->text(), QString());
    EXPECT_FALSE(pictures().HScroll1->isEnabled());
    ExpectBar(pictures().HScroll1, 100, 10, 200, 5);
    EXPECT_EQ(pictures().lblImgSize->text(), QString());
    EXPECT_EQ(pictures().txtImgBorder->text(), QStringLiteral("0"));
    EXPECT_EQ(pictures().lblFont->text(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_FALSE(pictures().chkbold->isChecked());
    EXPECT_EQ(pictures().Frame3->title(), QStringLiteral("画像設定"));
    EXPECT_EQ(pictures().Frame4->title(), QStringLiteral("フォント設定"));
    EXPECT_TRUE(pictures().Label23->text().contains(QStringLiteral("MIT")));
}

TEST_F(WindowTest, EveryCaptionIsTheDesignsOwn) {
    const std::pair<const char*, const char*> captions[] = {
        {"Label1", "レイアウトの選択 :"},
        {"Label9", "シンプル"},
        {"Label10", "スタンダード 1"},
        {"Label12", "スタンダード 2"},
        {"Label22", "プログレス"},
        {"optOnSmplMode(0)", "縦 3 x 横 4"},
        {"optOnSmplMode(1)", "縦 4 x 横 3"},
        {"Label2(0)",
         "画像を使わない、シンプルモード。指定された月から 12ヶ月分のカレンダーを作成します。"},
        {"Label2(1)",
         "画像をぺージ上部に配置するモード。指定された月から "
         "3ヶ月分のカレンダーを画像の下部に作成します。"},
        {"Label2(2)",
         "画像をぺージ左側に配置するモード。指定された月から "
         "3ヶ月分のカレンダーを右側に作成します。"},
        {"Label2(3)",
         "style sheetを利用して画像とカレンダーが重なりを持つように作成します。"
         "指定された月から 半年分のカレンダーを作成します。"},
        {"Label8", "言語"},
        {"Label6", "日本語："},
        {"Label7", "1999.6 - 水無月 -"},
        {"Label13", "日　月　火　・・・"},
        {"Label14", "英語："},
        {"Label15", "1999.6 - June -"},
        {"Label16", "Sun Mon Tue ・・・"},
        {"Label4", "ボーダー"},
        {"Label17", "(0 ～ 4)"},
        {"Label3", "曜日行の背景色"},
        {"Label19", "赤"},
        {"Label20", "緑"},
        {"Label21", "青"},
        {"lblDay(0)", "日"},
        {"lblDay(1)", "月"},
        {"lblDay(2)", "火"},
        {"lblDay(3)", "..."},
        {"lblDay(4)", "土"},
        {"cmdImg", "選択"},
        {"Label5", "倍率"},
        {"Label11", "ボーダー"},
        {"Label18", "(0 ～ 4)"},
        {"cmdFont", "選択"},
        {"chkbold", "太字"},
    };
    for (const auto& [name, caption] : captions) {
        SCOPED_TRACE(name);
        QWidget* control = window.findChild<QWidget*>(QString::fromUtf8(name));
        ASSERT_NE(control, nullptr);
        QString shown;
        if (auto* label = qobject_cast<QLabel*>(control)) shown = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(control)) shown = button->text();
        EXPECT_EQ(shown, QString::fromUtf8(caption));
    }
    // Design colours and faces named for single controls.
    EXPECT_EQ(calendar().Label20->palette().color(QPalette::WindowText), QColor(0, 192, 0));
    EXPECT_DOUBLE_EQ(calendar().Label7->font().pointSizeF(), 8.25);
    EXPECT_DOUBLE_EQ(calendar().lblDay[0]->font().pointSizeF(), 9.75);
    EXPECT_EQ(pictures().lblFont->palette().color(QPalette::Window), QColor(Qt::white));
}

// Every label holds its whole caption and every control lies inside its
// container, on every page, in the face the machine really has.
TEST_F(WindowTest, NothingIsClippedOnAnyPage) {
    for (int tab = 0; tab < window.SSTab1->count(); ++tab) {
        window.SSTab1->setCurrentIndex(tab);
        QWidget* page = window.SSTab1->widget(tab);
        for (QWidget* widget : page->findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(page) || widget->parentWidget() == nullptr) continue;
            if (widget->parentWidget()->inherits("QCalendarWidget") ||
                widget->objectName().startsWith(QStringLiteral("qt_"))) {
                continue;
            }
            SCOPED_TRACE(widget->objectName().toStdString());
            const QRect inside = widget->parentWidget()->rect();
            EXPECT_TRUE(inside.contains(widget->geometry())) << "outside its container";
            if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty()) {
                if (label->wordWrap()) {
                    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
                } else {
                    EXPECT_GE(label->width(), label->sizeHint().width());
                    EXPECT_GE(label->height(), label->fontMetrics().height());
                }
                // Nor covered by another caption beside it.
                for (QLabel* other :
                     widget->parentWidget()->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
                    EXPECT_TRUE(other == label || other->text().isEmpty() ||
                                !other->geometry().intersects(label->geometry()))
                        << "overlaps " << other->objectName().toStdString();
                }
            }
        }
    }
}

}  // namespace
}  // namespace rumora::test
