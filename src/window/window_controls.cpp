#include "window/window_controls.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>
#include <QUrl>
#include <algorithm>

#include "files/code_page.h"

namespace rumora {

QString ToQString(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToStdString(const QString& text) { return text.toStdString(); }

int ToUtf16Position(const QString& text, int characters) {
    int position = 0;
    for (int counted = 0; counted < characters && position < text.size(); ++counted) {
        const bool pair = text.at(position).isHighSurrogate() && position + 1 < text.size() &&
                          text.at(position + 1).isLowSurrogate();
        position += pair ? 2 : 1;
    }
    return position;
}

int ToCharacterPosition(const QString& text, int utf16Position) {
    int characters = 0;
    for (int position = 0; position < utf16Position && position < text.size(); ++characters) {
        const bool pair = text.at(position).isHighSurrogate() && position + 1 < text.size() &&
                          text.at(position + 1).isLowSurrogate();
        position += pair ? 2 : 1;
    }
    return characters;
}

QColor FromPlatformColour(std::int32_t colour) {
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

std::int16_t KeyCodeOf(const QString& character) {
    if (character.isEmpty()) return -1;
    const char16_t first = character.at(0).unicode();
    if (character.size() == 1 && first < 0x80) return static_cast<std::int16_t>(first);
    const std::string bytes = ToCodePage932(character.toStdString());
    if (bytes.size() == 1 && bytes[0] != '?') {
        return static_cast<std::int16_t>(static_cast<unsigned char>(bytes[0]));
    }
    if (bytes.size() == 2) {
        const auto code = static_cast<std::uint16_t>((static_cast<unsigned char>(bytes[0]) << 8) |
                                                     static_cast<unsigned char>(bytes[1]));
        return static_cast<std::int16_t>(code);
    }
    return -1;
}

void PlaceGrown(QWidget* widget, const QRect& design) {
    int height = design.height();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        height = std::max(height, label->fontMetrics().height() + 2 * label->frameWidth());
    } else {
        height = std::max(height, widget->sizeHint().height());
    }
    widget->setGeometry(design.x(), design.y(), design.width(), height);
}

void PlaceAuto(QLabel* label, const QPoint& design) {
    label->adjustSize();
    label->move(design);
}

void PlaceWrapped(QLabel* label, const QRect& design) {
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const int height = std::max(design.height(), label->heightForWidth(design.width()));
    label->setGeometry(design.x(), design.y(), design.width(), height);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QLabel* MakeLabel(const char* name, const char* caption, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromUtf8(name));
    return label;
}

void SetFont(QWidget* widget, qreal points, bool bold) {
    QFont font = widget->font();
    font.setPointSizeF(points);
    font.setBold(bold);
    widget->setFont(font);
}

namespace {

// The single border as four filled edges. At 1.5 device pixels to one
// (QT_FONT_DPI=144) the style's one-pixel line falls between two device
// rows and is lost above a frame that sits at an odd position; a filled
// edge always covers a whole row.
class WholeBorderStyle : public QProxyStyle {
  public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element != PE_Frame) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const QRect r = option->rect;
        const QColor line = option->palette.color(QPalette::Window).darker(130);
        painter->fillRect(QRect(r.left(), r.top(), r.width(), 1), line);
        painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), line);
        painter->fillRect(QRect(r.left(), r.top(), 1, r.height()), line);
        painter->fillRect(QRect(r.right(), r.top(), 1, r.height()), line);
    }
};

}  // namespace

void SetSingleBorder(QFrame* frame) {
    // Drawn all round, also on white, unlike a shaded panel.
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame->setLineWidth(1);
    static QPointer<WholeBorderStyle> style;
    if (style.isNull()) {
        style = new WholeBorderStyle;
        style->setParent(QCoreApplication::instance());
    }
    frame->setStyle(style);
}

void ShowTextBox(QLineEdit* field, const TextBox& box) {
    const QString text = ToQString(box.Text);
    if (field->text() != text) field->setText(text);
    field->setToolTip(ToQString(box.ToolTipText));
    const int start = ToUtf16Position(text, box.SelStart);
    const int end = ToUtf16Position(text, box.SelStart + box.SelLength);
    if (end > start) {
        field->setSelection(start, end - start);
    } else {
        field->setCursorPosition(start);
    }
}

void ReadTextBox(const QLineEdit* field, TextBox& box) {
    const QString text = field->text();
    box.Text = ToStdString(text);
    const int cursor = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    box.SelStart = ToCharacterPosition(text, cursor);
    box.SelLength =
        ToCharacterPosition(text, cursor + static_cast<int>(field->selectedText().size())) -
        box.SelStart;
}

BorderField::BorderField(KeyFilter filter, QWidget* parent)
    : QLineEdit(parent), filter_(std::move(filter)) {
    setAcceptDrops(false);
}

void BorderField::keyPressEvent(QKeyEvent* event) {
    QString typed = event->text();
    // Some platforms send Ctrl+letter without its control character; the
    // filter must still see it, as it does copy, cut, paste and undo.
    if (typed.isEmpty() && (event->modifiers() & Qt::ControlModifier) &&
        event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
        typed = QChar(event->key() - Qt::Key_A + 1);
    }
    // Delete types no character, though X11 reports one for it.
    if (typed.isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    std::int16_t code = KeyCodeOf(typed);
    const std::int16_t original = code;
    filter_(code);
    if (code == 0) {
        event->accept();
        return;
    }
    if (code != original && code > 0 && code < 0x80) {
        QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(QChar(code)));
        QLineEdit::keyPressEvent(&replaced);
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void BorderField::inputMethodEvent(QInputMethodEvent* event) {
    const QString committed = event->commitString();
    if (committed.isEmpty()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QString kept;
    for (qsizetype at = 0; at < committed.size();) {
        const qsizetype length =
            committed.at(at).isHighSurrogate() && at + 1 < committed.size() ? 2 : 1;
        const QString character = committed.mid(at, length);
        std::int16_t code = KeyCodeOf(character);
        filter_(code);
        if (code != 0) kept += character;
        at += length;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

PictureField::PictureField(DropHandler onDrop, QWidget* parent)
    : QLineEdit(parent), onDrop_(std::move(onDrop)) {
    setAcceptDrops(true);
}

std::vector<std::string> PictureField::LocalFiles(const QMimeData* data) {
    std::vector<std::string> files;
    if (data == nullptr || !data->hasUrls()) return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    }
    return files;
}

void PictureField::dragEnterEvent(QDragEnterEvent* event) {
    // Text drops would land in the field as text; only files are taken.
    if (LocalFiles(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void PictureField::dragMoveEvent(QDragMoveEvent* event) {
    if (LocalFiles(event->mimeData()).empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void PictureField::dropEvent(QDropEvent* event) {
    const std::vector<std::string> files = LocalFiles(event->mimeData());
    if (files.empty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    onDrop_(files);
}

EtchedLine::EtchedLine(QPalette::ColorRole dark, QWidget* parent) : QWidget(parent), dark_(dark) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void EtchedLine::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(dark_));
    painter.drawLine(0, 0, width() - 1, 0);
    painter.setPen(Qt::white);
    painter.drawLine(1, 1, width() - 1, 1);
}

}  // namespace rumora
