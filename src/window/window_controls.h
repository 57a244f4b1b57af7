// Small pieces the three pages share: twips to pixels, the controls that
// need more than a stock widget (the border fields, the picture path field,
// the etched lines) and the text conversions between the record and Qt.
#pragma once

#include <QColor>
#include <QFrame>
#include <QLineEdit>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "logic/page_settings.h"

class QLabel;
class QMimeData;

namespace rumora {

// Converts the design's twips to pixels at the screen's twips per pixel,
// rounding down like every other size in the program.
struct TwipsGeometry {
    float perPixelX = 15.0f;
    float perPixelY = 15.0f;

    int x(int twips) const { return static_cast<int>(static_cast<float>(twips) / perPixelX); }
    int y(int twips) const { return static_cast<int>(static_cast<float>(twips) / perPixelY); }
    QPoint point(int left, int top) const { return {x(left), y(top)}; }
    QRect rect(int left, int top, int width, int height) const {
        return {x(left), y(top), x(width), y(height)};
    }
};

QString ToQString(const std::string& text);
std::string ToStdString(const QString& text);
// The record counts whole characters; Qt counts UTF-16 units.
int ToUtf16Position(const QString& text, int characters);
int ToCharacterPosition(const QString& text, int utf16Position);

// The record's colour (red in the low byte) as a QColor.
QColor FromPlatformColour(std::int32_t colour);

// The 16-bit code a typed character arrives with: ASCII as itself, a
// character of code page 932 as its byte code (double-byte codes are
// negative as 16-bit numbers), anything else -1.
std::int16_t KeyCodeOf(const QString& character);

// Controls sized by the design but grown where the Japanese face needs more
// room, so nothing is clipped.
void PlaceGrown(QWidget* widget, const QRect& design);
// A label that sizes itself to its caption.
void PlaceAuto(QLabel* label, const QPoint& design);
// A wrapping label, grown downwards to hold all its lines.
void PlaceWrapped(QLabel* label, const QRect& design);

// A label named after its control, so tests and tools find it by name.
QLabel* MakeLabel(const char* name, const char* caption, QWidget* parent);
void SetFont(QWidget* widget, qreal points, bool bold);

void SetTextColour(QWidget* widget, const QColor& colour);
void SetBackground(QWidget* widget, const QColor& colour);
// The design's single border of a label, an image frame or a picture box.
void SetSingleBorder(QFrame* frame);

// Shows a text field's record: text, tip and selection. Leaves the field
// alone when it already shows it, so typing is not disturbed.
void ShowTextBox(QLineEdit* field, const TextBox& box);
// Writes what the user did to a text field into its record, selection too.
void ReadTextBox(const QLineEdit* field, TextBox& box);

// A one-character border field. Every typed character goes through `filter`
// before the field sees it, as the typed character's 16-bit code; a code
// set to 0 drops the key. Keys that type nothing (Delete, arrows) and
// pasting from the context menu bypass the filter.
class BorderField : public QLineEdit {
  public:
    using KeyFilter = std::function<void(std::int16_t&)>;
    BorderField(KeyFilter filter, QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

  private:
    KeyFilter filter_;
};

// The picture path field: the one control that takes dropped files. It
// accepts a drag only when it carries local files, and hands over all of
// them in order; the logic uses the first.
class PictureField : public QLineEdit {
  public:
    using DropHandler = std::function<void(const std::vector<std::string>&)>;
    PictureField(DropHandler onDrop, QWidget* parent);

    static std::vector<std::string> LocalFiles(const QMimeData* data);

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    DropHandler onDrop_;
};

// An etched line: a dark line with a white one below it.
class EtchedLine : public QWidget {
  public:
    EtchedLine(QPalette::ColorRole dark, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPalette::ColorRole dark_;
};

}  // namespace rumora
