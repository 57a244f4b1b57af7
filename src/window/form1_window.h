// Form1 on Qt Widgets: the toolbar, the etched rule and the tab pages.
// The window holds no logic: each user action writes the control's value
// into the record, calls the matching Form1 handler, then every control
// shows the record again.
#pragma once

#include <QWidget>
#include <array>

#include "logic/form1.h"
#include "window/window_controls.h"

class QAction;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace rumora {

class CalendarPage;
class ClosingPage;
class EventsPage;
class KoyomiPage;
class LayoutPage;
class PictureFontPage;

class Form1Window : public QWidget {
    Q_OBJECT

  public:
    explicit Form1Window(PlatformServices& platform, QWidget* parent = nullptr);

    Form1& form() { return form_; }

    // The load step, once, before the window is first shown.
    void Load();
    // Every control shows the record, with its signals blocked.
    void ShowRecord();
    // Puts the controls where the design has them; done on the first show,
    // when the tab control knows where its pages sit.
    void PlaceControls();

    // Toolbar buttons by the design's index, 1 (the separator) to 5.
    QAction* ToolbarButton(int index) const { return toolbarButtons_.at(index); }
    QToolButton* ToolbarWidget(int index) const;
    // The design commands, beside the save commands.
    QAction* openDesignAction;
    QAction* saveDesignAction;
    // Ctrl+S: saves over the last file, or asks for a name the first time.
    QAction* saveKeyAction;

    QToolBar* Toolbar1;
    EtchedLine* Line1;
    QTabWidget* SSTab1;
    LayoutPage* layoutPage;
    CalendarPage* calendarPage;
    PictureFontPage* pictureFontPage;
    KoyomiPage* koyomiPage;
    ClosingPage* closingPage;
    EventsPage* eventsPage;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // A design dropped anywhere on the window opens it; calendar files join
    // the list.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // What the toolbar's buttons need side by side.
    int ToolbarWidth() const;

    Form1 form_;
    TwipsGeometry twips_;
    std::array<QAction*, 6> toolbarButtons_{};
    bool placed_ = false;
};

}  // namespace rumora
