// The "暦" page: what the month tables mark besides the date (the national
// holidays, 六曜), and the week's first day. Each mark is one check box in the
// "暦の表示" frame, so a new mark is one more row there.
#pragma once

#include <QWidget>
#include <array>

#include "window/window_controls.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace rumora {

class Form1;

class KoyomiPage : public QWidget {
    Q_OBJECT

  public:
    KoyomiPage(Form1& form, const TwipsGeometry& twips, QWidget* parent = nullptr);

    void Place(const QPoint& origin);
    void ShowRecord(const PageSettings& s);

    QGroupBox* Frame5;  // "暦の表示"
    QCheckBox* chkHolidays;
    QCheckBox* chkRokuyo;
    QCheckBox* chkSekki;
    QCheckBox* chkZassetsu;
    QCheckBox* chkMoon;
    QCheckBox* chkWareki;
    QGroupBox* Frame6;  // "週の始まり"
    std::array<QRadioButton*, 2> optWeekStart{};
    QButtonGroup* optWeekStartGroup;

  signals:
    void RecordChanged();

  private:
    // A check box of Frame5 that writes its record's value and says so.
    QCheckBox* MakeMark(const char* name, const char* caption, CheckBox PageSettings::*field);

    Form1& form_;
    TwipsGeometry twips_;
};

}  // namespace rumora
