#include <cstddef>

#include "core/utf8.h"
#include "logic/closing_fields.h"
#include "logic/form1.h"

namespace rumora {

void Form1::Command1_Click() { s.lblLayOut.Caption = kLayoutSimple; }
void Form1::Command2_Click() { s.lblLayOut.Caption = kLayoutStandard1; }
void Form1::Command3_Click() { s.lblLayOut.Caption = kLayoutStandard2; }
void Form1::Command4_Click() { s.lblLayOut.Caption = kLayoutProgress; }

// Every change recolours from all three bars, so the index is not needed.
void Form1::ScrColor_Change([[maybe_unused]] std::int16_t index) {
    for (Label& preview : s.lblDay) {
        preview.BackColor = s.ScrColor[0].Value + 256 * s.ScrColor[1].Value +
                            65536 * static_cast<std::int32_t>(s.ScrColor[2].Value);
    }
}

void Form1::cmdClosedColor_Click() {
    const std::int32_t colour = platform_.ShowColorDialog(s.lblClosedColor.BackColor);
    if (colour >= 0) s.lblClosedColor.BackColor = colour;
}

void Form1::ClosedFields_Change() { s.lblClosedProblems.Caption = ReadClosingFields(s).problems; }

void Form1::cmdFont_Click() {
    // Opens at the window's font, never at the previous choice; a cancel
    // ("") keeps the face the user had.
    const std::string face = platform_.ShowFontDialog(platform_.WindowFontName());
    if (!face.empty()) s.lblFont.Caption = face;
}

void FilterBorderKey(std::int16_t& keyAscii) {
    if (keyAscii < '0' || keyAscii > '4') keyAscii = 0;
}

bool ApplyBorderLengthRule(TextBox& field) {
    const std::string_view text = field.Text;
    std::size_t last = 0;
    int count = 0;
    for (std::size_t at = 0; at < text.size(); at += CharacterLength(text, at)) {
        last = at;
        ++count;
    }
    if (count <= 1) return false;
    // Selected, so the next accepted key replaces it.
    field.Text = std::string(text.substr(last));
    field.SelStart = 0;
    field.SelLength = 1;
    return true;
}

void Form1::txttblborder_KeyPress(std::int16_t& keyAscii) { FilterBorderKey(keyAscii); }

// Setting the text raises the change event again, as the real field does;
// that run finds one character and stops.
void Form1::txttblborder_Change() {
    if (ApplyBorderLengthRule(s.txttblborder)) txttblborder_Change();
}

void Form1::txtImgBorder_KeyPress(std::int16_t& keyAscii) { FilterBorderKey(keyAscii); }

void Form1::txtImgBorder_Change() {
    if (ApplyBorderLengthRule(s.txtImgBorder)) txtImgBorder_Change();
}

}  // namespace rumora
