// The "予定" page: the calendar files (iCalendar) whose events the page
// shows, with add and remove; dropped calendar files join the list.
#pragma once

#include <QWidget>

#include "window/window_controls.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace rumora {

class Form1;

class EventsPage : public QWidget {
    Q_OBJECT

  public:
    EventsPage(Form1& form, const TwipsGeometry& twips, QWidget* parent = nullptr);

    void Place(const QPoint& origin);
    void ShowRecord(const PageSettings& s);

    QLabel* Label30;
    QListWidget* lstEvents;
    QPushButton* cmdEventsAdd;
    QPushButton* cmdEventsRemove;
    QLabel* lblEventsProblem;

  signals:
    void RecordChanged();

  private:
    Form1& form_;
    TwipsGeometry twips_;
};

}  // namespace rumora
