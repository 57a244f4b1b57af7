// The "カレンダー" page: first month, language, table border and the header
// colour with its preview.
#pragma once

#include <QWidget>
#include <array>

#include "window/window_controls.h"

class QCalendarWidget;
class QComboBox;
class QFrame;
class QLabel;
class QScrollBar;

namespace rumora {

class Form1;

class CalendarPage : public QWidget {
    Q_OBJECT

  public:
    CalendarPage(Form1& form, const TwipsGeometry& twips, QWidget* parent = nullptr);

    void Place(const QPoint& origin);
    void ShowRecord(const PageSettings& s);

    QCalendarWidget* MonthView1;
    QLabel* Label8;
    QComboBox* cmbLanguage;
    QFrame* Image1;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label13;
    QLabel* Label14;
    QLabel* Label15;
    QLabel* Label16;
    QLabel* Label4;
    BorderField* txttblborder;
    QLabel* Label17;
    QLabel* Label3;
    QLabel* Label19;
    QLabel* Label20;
    QLabel* Label21;
    std::array<QScrollBar*, 3> ScrColor{};
    QFrame* pictBG;
    std::array<QLabel*, 5> lblDay{};

  signals:
    void RecordChanged();

  private:
    void MonthViewChanged();
    // Sets the first column, keeping the marked cell on the selected date.
    void SetFirstDayOfWeek(Qt::DayOfWeek day);
    // On the months in view: holidays red with their names as tips, closed
    // days on the closing colour, days with the user's events bold.
    void MarkDays();

    bool holidaysMarked_ = false;
    ClosingRules closing_;
    QColor closingColour_;
    QString closingLabel_;
    std::vector<std::string> eventFiles_;  // calendar files: their days bold, names as tips

    Form1& form_;
    TwipsGeometry twips_;
};

}  // namespace rumora
