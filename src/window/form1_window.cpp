#include "window/form1_window.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QIcon>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>
#include <QProxyStyle>
#include <QShowEvent>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <algorithm>

#include "window/calendar_page.h"
#include "window/closing_page.h"
#include "window/events_page.h"
#include "window/koyomi_page.h"
#include "window/layout_page.h"
#include "window/picture_font_page.h"

namespace rumora {

namespace {

QFont DesignFont(qreal points, bool bold) {
    QFont font(QString::fromUtf8(kWindowFontName));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The design's tab strip holds its three captions in one row, and its
// toolbar is no taller than its buttons; Qt's default padding is too
// generous for both in a Japanese face.
class CompactStyle : public QProxyStyle {
  public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        // Room on both sides of a caption, so no character meets the border.
        if (metric == PM_TabBarTabHSpace) return 14;
        if (metric == PM_TabBarTabVSpace) return 6;
        // The toolbar's buttons fill it edge to edge, as in the design.
        if (metric == PM_ToolBarFrameWidth || metric == PM_ToolBarItemMargin ||
            metric == PM_ToolBarItemSpacing) {
            return 0;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

}  // namespace

Form1Window::Form1Window(PlatformServices& platform, QWidget* parent)
    : QWidget(parent), form_(platform) {
    const ScreenMetrics screen = platform.Screen();
    twips_ = {screen.twipsPerPixelX, screen.twipsPerPixelY};

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromStdString(kWindowTitle));
    setWindowIcon(QIcon(QStringLiteral(":/pictures/rumora.png")));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The window's own font, which start-up copies into lblFont.
    setFont(DesignFont(9, false));

    Toolbar1 = new QToolBar(this);
    Toolbar1->setObjectName(QStringLiteral("Toolbar1"));
    Toolbar1->setMovable(false);
    Toolbar1->setFloatable(false);
    auto* toolbarStyle = new CompactStyle;
    toolbarStyle->setParent(Toolbar1);
    Toolbar1->setStyle(toolbarStyle);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolbarButtons_[1] = Toolbar1->addSeparator();
    const std::array<std::pair<const char*, const char*>, 4> buttons{{
        {"上書保存", ":/pictures/save-over.png"},
        {"別名保存", ":/pictures/save-as.png"},
        {"プレビュー", ":/pictures/preview.png"},
        {"ヘルプ", ":/pictures/help.png"},
    }};
    for (int index = 2; index <= 5; ++index) {
        if (index == 4) {
            // The design's commands after the page's two saves, as a group.
            Toolbar1->addSeparator();
            openDesignAction =
                Toolbar1->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton),
                                    QStringLiteral("デザインを開く…"));
            openDesignAction->setObjectName(QStringLiteral("Toolbar1.OpenDesign"));
            openDesignAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
            connect(openDesignAction, &QAction::triggered, this, [this] {
                form_.cmdOpenDesign_Click();
                ShowRecord();
            });
            saveDesignAction =
                Toolbar1->addAction(style()->standardIcon(QStyle::SP_DialogSaveButton),
                                    QStringLiteral("デザインを保存…"));
            saveDesignAction->setObjectName(QStringLiteral("Toolbar1.SaveDesign"));
            connect(saveDesignAction, &QAction::triggered, this, [this] {
                form_.cmdSaveDesign_Click();
                ShowRecord();
            });
            for (QAction* action : {openDesignAction, saveDesignAction}) {
                Toolbar1->widgetForAction(action)->installEventFilter(this);
            }
            Toolbar1->addSeparator();
        }
        const auto& [caption, picture] = buttons[static_cast<std::size_t>(index - 2)];
        QAction* action =
            Toolbar1->addAction(QIcon(QString::fromUtf8(picture)), QString::fromUtf8(caption));
        action->setObjectName(QStringLiteral("Toolbar1.Buttons(%1)").arg(index));
        connect(action, &QAction::triggered, this, [this, index] {
            form_.Toolbar1_ButtonClick(static_cast<std::int16_t>(index));
            ShowRecord();
        });
        toolbarButtons_[static_cast<std::size_t>(index)] = action;
        // The design's buttons have no tool tips; Qt would show the caption.
        Toolbar1->widgetForAction(action)->installEventFilter(this);
    }
    // The desktop's keys. Ctrl+S works before the first save too, where the
    // save-over button cannot: it then asks for a name.
    toolbarButtons_[3]->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    toolbarButtons_[4]->setShortcut(QKeySequence(Qt::Key_F5));
    toolbarButtons_[5]->setShortcut(QKeySequence(Qt::Key_F1));
    saveKeyAction = new QAction(this);
    saveKeyAction->setObjectName(QStringLiteral("SaveKey"));
    saveKeyAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    addAction(saveKeyAction);
    connect(saveKeyAction, &QAction::triggered, this, [this] {
        form_.Form_SaveKey();
        ShowRecord();
    });
    for (QAction* action : Toolbar1->actions()) {
        if (QWidget* button = Toolbar1->widgetForAction(action); button && !action->isSeparator()) {
            // The toolbar is reached with Tab like every other control.
            button->setFocusPolicy(Qt::TabFocus);
        }
    }
    setAcceptDrops(true);

    Line1 = new EtchedLine(QPalette::WindowText, this);
    Line1->setObjectName(QStringLiteral("Line1"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->tabBar()->setFont(DesignFont(11.25, true));
    auto* tabStyle = new CompactStyle;
    tabStyle->setParent(SSTab1->tabBar());
    SSTab1->tabBar()->setStyle(tabStyle);
    SSTab1->tabBar()->setExpanding(true);
    SSTab1->setUsesScrollButtons(false);
    SSTab1->setIconSize(QSize(16, 16));
    layoutPage = new LayoutPage(form_, twips_);
    calendarPage = new CalendarPage(form_, twips_);
    pictureFontPage = new PictureFontPage(form_, twips_);
    koyomiPage = new KoyomiPage(form_, twips_);
    closingPage = new ClosingPage(form_, twips_);
    eventsPage = new EventsPage(form_, twips_);
    SSTab1->addTab(layoutPage, QIcon(QStringLiteral(":/pictures/tab-layout.png")),
                   QStringLiteral("レイアウト"));
    SSTab1->addTab(calendarPage, QIcon(QStringLiteral(":/pictures/tab-calendar.png")),
                   QStringLiteral("カレンダー"));
    SSTab1->addTab(pictureFontPage, QIcon(QStringLiteral(":/pictures/tab-picture.png")),
                   QStringLiteral("画像/フォント"));
    SSTab1->addTab(koyomiPage, QIcon(QStringLiteral(":/pictures/tab-koyomi.png")),
                   QStringLiteral("暦"));
    SSTab1->addTab(closingPage, QIcon(QStringLiteral(":/pictures/tab-closing.png")),
                   QStringLiteral("営業日"));
    SSTab1->addTab(eventsPage, QIcon(QStringLiteral(":/pictures/tab-events.png")),
                   QStringLiteral("予定"));
    SSTab1->setCurrentIndex(0);
    // Wider than the design where the tab row needs it, so every caption
    // shows whole; the designed pages keep their places from the left.
    const int tabsWidth = SSTab1->tabBar()->sizeHint().width() + 4;
    setFixedSize(std::max({twips_.x(5730), twips_.x(5730 - 5535) + tabsWidth, ToolbarWidth()}),
                 twips_.y(5595));

    connect(layoutPage, &LayoutPage::RecordChanged, this, &Form1Window::ShowRecord);
    connect(calendarPage, &CalendarPage::RecordChanged, this, &Form1Window::ShowRecord);
    connect(pictureFontPage, &PictureFontPage::RecordChanged, this, &Form1Window::ShowRecord);
    connect(koyomiPage, &KoyomiPage::RecordChanged, this, &Form1Window::ShowRecord);
    connect(closingPage, &ClosingPage::RecordChanged, this, &Form1Window::ShowRecord);
    connect(eventsPage, &EventsPage::RecordChanged, this, &Form1Window::ShowRecord);
    setAcceptDrops(true);

    // Only the picture path takes drops; Qt's text fields take text drops
    // by default, the month view's year field included.
    for (QLineEdit* field : findChildren<QLineEdit*>()) {
        if (field != pictureFontPage->txtImg) field->setAcceptDrops(false);
    }
}

QToolButton* Form1Window::ToolbarWidget(int index) const {
    return qobject_cast<QToolButton*>(Toolbar1->widgetForAction(ToolbarButton(index)));
}

int Form1Window::ToolbarWidth() const {
    int width = 0;
    for (QAction* action : Toolbar1->actions()) {
        QWidget* button = Toolbar1->widgetForAction(action);
        if (button == nullptr) continue;
        width += action->isSeparator() ? button->sizeHint().width()
                                       : std::max(55, button->sizeHint().width());
    }
    return width + 8;
}

void Form1Window::dragEnterEvent(QDragEnterEvent* event) {
    // The window itself takes a design, or calendar files; pictures go to
    // the picture path.
    const std::vector<std::string> files = PictureField::LocalFiles(event->mimeData());
    if (!files.empty() && (QString::fromStdString(files.front())
                               .endsWith(QStringLiteral(".toml"), Qt::CaseInsensitive) ||
                           std::any_of(files.begin(), files.end(), Form1::IsCalendarFileName))) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void Form1Window::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = PictureField::LocalFiles(event->mimeData());
    event->acceptProposedAction();
    form_.Form_OLEDragDrop(files);
    ShowRecord();
}

void Form1Window::Load() {
    form_.Form_Load();
    ShowRecord();
}

void Form1Window::ShowRecord() {
    const PageSettings& s = form_.s;
    layoutPage->ShowRecord(s);
    calendarPage->ShowRecord(s);
    pictureFontPage->ShowRecord(s);
    koyomiPage->ShowRecord(s);
    closingPage->ShowRecord(s);
    eventsPage->ShowRecord(s);
    for (int index = 2; index <= 5; ++index) {
        toolbarButtons_[static_cast<std::size_t>(index)]->setEnabled(
            s.Toolbar1.Buttons[static_cast<std::size_t>(index)].Enabled);
    }
}

bool Form1Window::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) return true;
    return QWidget::eventFilter(watched, event);
}

void Form1Window::showEvent(QShowEvent* event) {
    // The tab control has laid out its pages by now: children are shown
    // before their parent's show event.
    if (!placed_) PlaceControls();
    QWidget::showEvent(event);
}

void Form1Window::PlaceControls() {
    placed_ = true;
    // What the window has beyond the design's width goes to the full-width rows.
    const int wider = width() - twips_.x(5730);
    // The image above its caption, and no more room than that needs.
    const int buttonHeight =
        std::max(twips_.y(525), 16 + ToolbarWidget(2)->fontMetrics().height() + 6);
    for (QAction* action : Toolbar1->actions()) {
        auto* button = qobject_cast<QToolButton*>(Toolbar1->widgetForAction(action));
        if (button == nullptr || action->isSeparator()) continue;
        button->setFixedSize(std::max(55, button->sizeHint().width()), buttonHeight);
    }
    Toolbar1->setGeometry(0, 0, twips_.x(5730) + wider,
                          std::max(twips_.y(525), Toolbar1->sizeHint().height()));

    const int ruleTop = std::max(twips_.y(600), Toolbar1->geometry().bottom() + 2);
    Line1->setGeometry(twips_.x(120), ruleTop, twips_.x(5640 - 120) + 1 + wider, 2);

    const QRect tabs = twips_.rect(100, 705, 5535, 4815);
    const int tabTop = std::max(tabs.y(), ruleTop + 4);
    SSTab1->setGeometry(tabs.x(), tabTop, tabs.width() + wider, height() - tabTop - 4);

    // The pages count positions from the tab control's corner, like the
    // design; where the tab strip is taller than the design's, the page
    // content moves down so the first row stays below it.
    QPoint origin(SSTab1->widget(0)->mapTo(SSTab1, QPoint(0, 0)));
    origin.setY(std::min(origin.y(), twips_.y(480) - 3));
    layoutPage->Place(origin);
    calendarPage->Place(origin);
    pictureFontPage->Place(origin);
    koyomiPage->Place(origin);
    // The page is laid out in the tab control only after this show.
    closingPage->Place(origin, SSTab1->width() - 2 * origin.x());
    eventsPage->Place(origin);
}

}  // namespace rumora
