// The "画像/フォント" page: the picture, its scale and border, the font.
#pragma once

#include <QWidget>

#include "core/version.h"
#include "window/window_controls.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace rumora {

class Form1;

class PictureFontPage : public QWidget {
    Q_OBJECT

  public:
    PictureFontPage(Form1& form, const TwipsGeometry& twips, QWidget* parent = nullptr);

    void Place(const QPoint& origin);
    void ShowRecord(const PageSettings& s);

    QGroupBox* Frame3;
    QPushButton* cmdImg;
    PictureField* txtImg;
    QLabel* lblImgSize;
    QLabel* Label5;
    QScrollBar* HScroll1;
    QLabel* lblImgScale;
    QLabel* lblImgSize2;
    QLabel* Label11;
    BorderField* txtImgBorder;
    QLabel* Label18;
    QGroupBox* Frame4;
    QPushButton* cmdFont;
    QLabel* lblFont;
    QCheckBox* chkbold;
    QLabel* Label23;

  signals:
    void RecordChanged();

  private:
    Form1& form_;
    TwipsGeometry twips_;
};

// The one-line notice under the page.
inline const std::string kNoticeText = std::string("rumora ") + kVersion + " — MIT License";

}  // namespace rumora
