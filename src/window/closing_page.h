// The "営業日" page: the days a shop is closed. Weekday rules sit in one
// grid of check boxes, a weekday to a column; the dated closings and
// openings are free text, one date or range a line, with the lines that
// name no day listed under them.
#pragma once

#include <QWidget>
#include <array>

#include "window/window_controls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace rumora {

class Form1;

class ClosingPage : public QWidget {
    Q_OBJECT

  public:
    ClosingPage(Form1& form, const TwipsGeometry& twips, QWidget* parent = nullptr);

    // `pageWidth` is the page's, which the tab control has not given it yet.
    void Place(const QPoint& origin, int pageWidth);
    void ShowRecord(const PageSettings& s);

    QGroupBox* Frame7;                       // "定休日"
    std::array<QLabel*, 7> lblClosedDay{};   // the weekdays over the columns
    std::array<QLabel*, 7> lblClosedWeek{};  // 毎週, 第1 ... 第5, 最終
    std::array<QCheckBox*, 7> chkClosedWeekly{};
    std::array<QCheckBox*, 42> chkClosedNth{};
    QLabel* Label24;  // "毎月の日"
    QLineEdit* txtClosedDays;
    QCheckBox* chkClosedHolidays;
    QCheckBox* chkClosedMoves;
    QLabel* Label25;  // "色"
    QLabel* lblClosedColor;
    QPushButton* cmdClosedColor;
    QLabel* Label26;  // "表示名"
    QLineEdit* txtClosedLabel;
    QLabel* Label27;  // "臨時休業"
    QPlainTextEdit* txtClosedOn;
    QLabel* Label28;  // "臨時営業"
    QPlainTextEdit* txtOpenOn;
    QLabel* lblClosedProblems;

  signals:
    void RecordChanged();

  private:
    // A check box that writes its record's value and says so.
    QCheckBox* MakeCheck(const QString& name, const char* caption, CheckBox& field,
                         QWidget* parent);
    QPlainTextEdit* MakeDateLines(const char* name, TextBox& field);
    void FieldsChanged();

    Form1& form_;
    TwipsGeometry twips_;
};

}  // namespace rumora
