// What the user sees at start: the design's values in one table, and no control clipped or outside
// its container.
#include <QAction>
#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "window_fixture.h"

namespace rumora::test {
namespace {

// A control's shown state by a short name: a colour, a font detail, the
// labels of its tabs, or a Qt property.
std::string Shown(const QObject* object, std::string_view what) {
    const auto* widget = qobject_cast<const QWidget*>(object);
    if (what == "ink") return widget->palette().color(QPalette::WindowText).name().toStdString();
    if (what == "paper") return widget->palette().color(QPalette::Window).name().toStdString();
    if (what == "points") return std::to_string(widget->font().pointSizeF());
    if (what == "bold") return widget->font().bold() ? "true" : "false";
    if (what == "tabs") {
        const auto* tabs = qobject_cast<const QTabWidget*>(object);
        QStringList texts;
        for (int tab = 0; tab < tabs->count(); ++tab) texts << tabs->tabText(tab);
        return texts.join('|').toStdString();
    }
    return object->property(what.data()).toString().toStdString();
}

// The design's state as name.what=shown, separated by ";": what the controls
// hold and allow, their colours and faces. Fixed captions are left out.
const std::string kStartState =
    "Form1.windowTitle=ルモーラ   ver." + std::string(kVersion) +
    ";Toolbar1.Buttons(2).enabled=false;"
    "Toolbar1.Buttons(3).enabled=true;Toolbar1.Buttons(4).enabled=false;"
    "Toolbar1.Buttons(5).enabled=true;SSTab1.tabs=レイアウト|カレンダー|画像/フォント|暦|営業日|予定;"
    "SSTab1.currentIndex=0;lblLayOut.text=シンプル;lblLayOut.paper=#e0e0e0;Label9.ink=#0000ff;"
    "Label9.bold=true;optOnSmplMode(0).checked=true;optOnSmplMode(1).checked=false;"
    "MonthView1.minimumDate=1753-01-01;MonthView1.maximumDate=9999-12-31;"
    "cmbLanguage.editable=true;cmbLanguage.count=2;cmbLanguage.currentText=日本語;"
    "Label7.points=8.250000;txttblborder.text=0;Label20.ink=#00c000;ScrColor(0).value=150;"
    "ScrColor(1).value=250;ScrColor(2).value=180;ScrColor(1).minimum=0;"
    "ScrColor(1).maximum=255;ScrColor(1).singleStep=1;ScrColor(1).pageStep=1;"
    "ScrColor(1).tracking=false;lblDay(0).ink=#ff0000;lblDay(4).ink=#0000ff;"
    "lblDay(0).points=9.750000;lblDay(3).paper=#96fab4;txtImg.text=;HScroll1.enabled=false;"
    "HScroll1.value=100;HScroll1.minimum=10;HScroll1.maximum=200;HScroll1.singleStep=1;"
    "HScroll1.pageStep=5;HScroll1.tracking=false;lblImgSize.text=;txtImgBorder.text=0;"
    "lblFont.text=ＭＳ Ｐゴシック;lblFont.paper=#ffffff;chkbold.checked=false;"
    "chkClosedNth(41).checked=false;txtClosedDays.text=;lblClosedColor.paper=#ffcccc;"
    "txtClosedLabel.text=;";

TEST_F(WindowTest, StartsAsDesigned) {
    const QString table = QString::fromStdString(kStartState);
    for (const QString& row : table.split(';', Qt::SkipEmptyParts)) {
        const QString key = row.section('=', 0, 0);
        const QString name = key.section('.', 0, -2);
        SCOPED_TRACE(row.toStdString());
        const QObject* object =
            name == QStringLiteral("Form1") ? &window : window.findChild<QObject*>(name);
        ASSERT_NE(object, nullptr);
        EXPECT_EQ(Shown(object, key.section('.', -1).toStdString()),
                  row.section('=', 1).toStdString());
    }
    EXPECT_TRUE(pictures().Label23->text().contains(QStringLiteral("MIT")));
    EXPECT_EQ(calendar().MonthView1->selectedDate(), QDate::currentDate());
    EXPECT_EQ(calendar().MonthView1->locale().language(), QLocale::Japanese);
    const QFont tabFont = window.SSTab1->tabBar()->font();
    EXPECT_TRUE(tabFont.bold());
    EXPECT_DOUBLE_EQ(tabFont.pointSizeF(), 11.25);
    EXPECT_EQ(tabFont.family(), QStringLiteral("ＭＳ Ｐゴシック"));
    // The designed three, then the added pages: every caption whole in one row.
    const QTabBar* bar = window.SSTab1->tabBar();
    for (int tab = 0; tab < bar->count(); ++tab) {
        SCOPED_TRACE(bar->tabText(tab).toStdString());
        const int icon = bar->tabIcon(tab).isNull() ? 0 : bar->iconSize().width();
        EXPECT_GE(bar->tabRect(tab).width(),
                  bar->fontMetrics().horizontalAdvance(bar->tabText(tab)) + icon);
        EXPECT_EQ(bar->tabRect(tab).top(), bar->tabRect(0).top());
    }
    EXPECT_LE(bar->geometry().right(), window.SSTab1->width());

    // A fixed size, minimisable, and every command and page with its icon.
    const ScreenMetrics screen = services.Screen();
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    // As designed, or wider where the tab row needs it.
    EXPECT_GE(window.width(), static_cast<int>(5730 / screen.twipsPerPixelX));
    EXPECT_EQ(window.height(), static_cast<int>(5595 / screen.twipsPerPixelY));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window.ToolbarButton(1)->isSeparator());
    std::vector<QIcon> icons{window.windowIcon(), layout().Command1->icon()};
    for (int tab = 0; tab < 3; ++tab) icons.push_back(window.SSTab1->tabIcon(tab));
    for (int index = 2; index <= 5; ++index) {
        icons.push_back(window.ToolbarButton(index)->icon());
        EXPECT_EQ(window.ToolbarWidget(index)->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        EXPECT_GE(window.ToolbarWidget(index)->width(), 55);
    }
    for (const QIcon& icon : icons) EXPECT_FALSE(icon.isNull());
}

// Tab goes through the toolbar, the tab row and then every control of the
// page, each row from the left, and comes back round.
TEST_F(WindowTest, TabReachesEveryControlInReadingOrder) {
    for (std::size_t index : {2u, 4u}) s().Toolbar1.Buttons[index].Enabled = true;
    window.ShowRecord();
    const auto reachable = [](const QWidget* widget) {
        return (widget->focusPolicy() & Qt::TabFocus) && widget->isVisible() && widget->isEnabled();
    };
    for (int tab = 0; tab < window.SSTab1->count(); ++tab) {
        SCOPED_TRACE(tab);
        window.SSTab1->setCurrentIndex(tab);
        QWidget* first = window.ToolbarWidget(2);
        std::vector<QWidget*> chain{first};
        for (QWidget* next = first->nextInFocusChain(); next != first && chain.size() < 200;
             next = next->nextInFocusChain()) {
            if (reachable(next)) chain.push_back(next);
        }
        std::vector<QWidget*> toolbar;
        for (QAction* action : window.Toolbar1->actions()) {
            if (!action->isSeparator()) toolbar.push_back(window.Toolbar1->widgetForAction(action));
        }
        ASSERT_GE(chain.size(), toolbar.size() + 2);
        EXPECT_TRUE(std::equal(toolbar.begin(), toolbar.end(), chain.begin()));
        EXPECT_EQ(chain[toolbar.size() + 1], window.SSTab1->tabBar());
        QWidget* page = window.SSTab1->widget(tab);
        for (QWidget* control : page->findChildren<QWidget*>()) {
            if (reachable(control) && !control->parentWidget()->inherits("QComboBox")) {
                EXPECT_NE(std::find(chain.begin(), chain.end(), control), chain.end())
                    << control->objectName().toStdString();
            }
        }
        // Within one row of the page, left before right.
        for (std::size_t i = toolbar.size() + 3; i < chain.size(); ++i) {
            const QPoint before = chain[i - 1]->mapTo(&window, QPoint());
            const QPoint after = chain[i]->mapTo(&window, QPoint());
            if (before.y() == after.y()) {
                EXPECT_LT(before.x(), after.x());
            }
        }
    }
}

// Every label holds its whole caption and every control lies inside its
// container, on every page, in the face the machine really has.
TEST_F(WindowTest, NothingIsClippedOnAnyPage) {
    // The longest captions the size column shows.
    s().lblImgSize.Caption = kUndecodablePictureText;
    s().lblImgSize2.Caption = "W8888 x H8888";
    window.ShowRecord();
    // Every tab has its picture and room beside its caption.
    const QTabBar* bar = window.SSTab1->tabBar();
    for (int tab = 0; tab < bar->count(); ++tab) {
        SCOPED_TRACE(bar->tabText(tab).toStdString());
        EXPECT_FALSE(bar->tabIcon(tab).isNull());
        EXPECT_GE(
            bar->tabRect(tab).width(),
            bar->fontMetrics().horizontalAdvance(bar->tabText(tab)) + bar->iconSize().width() + 12);
    }
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
            EXPECT_TRUE(widget->parentWidget()->rect().contains(widget->geometry()));
            if (auto* button = qobject_cast<QAbstractButton*>(widget);
                button && !button->icon().isNull()) {
                EXPECT_FALSE(button->iconSize().isEmpty()) << "its picture does not show";
            }
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
