// The "レイアウト" page: the four layout buttons and the grid shape of the
// simple layout.
#pragma once

#include <QWidget>
#include <array>

#include "window/window_controls.h"

class QButtonGroup;
class QLabel;
class QPushButton;
class QRadioButton;

namespace rumora {

class Form1;

class LayoutPage : public QWidget {
    Q_OBJECT

  public:
    LayoutPage(Form1& form, const TwipsGeometry& twips, QWidget* parent = nullptr);

    // Places the controls; `origin` is the page's top left in the tab
    // control, which the design's positions count from.
    void Place(const QPoint& origin);
    void ShowRecord(const PageSettings& s);

    QLabel* Label1;
    QLabel* lblLayOut;
    QPushButton* Command1;
    QPushButton* Command2;
    QPushButton* Command3;
    QPushButton* Command4;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label12;
    QLabel* Label22;
    std::array<QRadioButton*, 2> optOnSmplMode{};
    QButtonGroup* optOnSmplModeGroup;
    std::array<QLabel*, 4> Label2{};
    std::array<EtchedLine*, 3> Line2{};

  signals:
    // The user changed something; the window shows the record again.
    void RecordChanged();

  private:
    Form1& form_;
    TwipsGeometry twips_;
};

}  // namespace rumora
