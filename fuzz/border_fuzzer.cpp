// The border fields under arbitrary typing, pasting, deleting and caret
// moves. After every change a field holds at most one whole character, and
// a typed key only ever gets "0" to "4" into it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/form1.h"

namespace {

using namespace rumora;

// The border handlers use no desktop service; any call is a fault.
class NoPlatform : public PlatformServices {
  public:
    std::string ShowOpenDialog(const std::string&) override { Unexpected(); }
    std::string ShowSaveDialog(const std::string&) override { Unexpected(); }
    bool ConfirmReplace(const std::string&) override { Unexpected(); }
    std::string ShowFontDialog(const std::string&) override { Unexpected(); }
    PictureMeasurement LoadPicture(const std::string&) override { Unexpected(); }
    ScreenMetrics Screen() override { Unexpected(); }
    std::string WindowFontName() override { Unexpected(); }
    std::string AppPath() override { Unexpected(); }
    std::int32_t ShellOpen(const std::string&) override { Unexpected(); }
    CalendarDate Today() override { Unexpected(); }
    void WritePage(const std::string&, const std::string&) override { Unexpected(); }
    void ShowMessage(const std::string&) override { Unexpected(); }

  private:
    [[noreturn]] static void Unexpected() {
        std::fprintf(stderr, "a border handler called the platform\n");
        std::abort();
    }
};

[[noreturn]] void Broken(const char* what, const std::string& text) {
    std::fprintf(stderr, "border field broken: %s; field holds %zu bytes:", what, text.size());
    for (unsigned char c : text) std::fprintf(stderr, " %02X", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

// Character boundaries counted independently of the logic: a well-formed
// UTF-8 sequence is one character, every other byte one character alone.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
    const std::size_t left = text.size() - at;
    const unsigned lead = byte(0);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // allowed range of the second byte
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    if (length == 0 || left < length) return 1;
    if (byte(1) < low || byte(1) > high) return 1;
    for (std::size_t k = 2; k < length; ++k) {
        if ((byte(k) & 0xC0) != 0x80) return 1;
    }
    return length;
}

std::size_t ByteOffset(std::string_view text, int characters) {
    std::size_t at = 0;
    for (int i = 0; i < characters && at < text.size(); ++i) at += SequenceLength(text, at);
    return at;
}

int Count(std::string_view text) {
    int count = 0;
    for (std::size_t at = 0; at < text.size(); at += SequenceLength(text, at)) ++count;
    return count;
}

bool IsBorderDigit(std::string_view text) {
    return text.size() == 1 && text[0] >= '0' && text[0] <= '4';
}

// A field as the user edits it: the caret and selection in characters,
// replaced by whatever is typed or pasted.
struct FieldDriver {
    Form1& form;
    TextBox& field;
    void (Form1::*keyPress)(std::int16_t&);
    void (Form1::*change)();

    void Replace(const std::string& inserted) {
        const std::string& text = field.Text;
        const int count = Count(text);
        const int start =
            field.SelStart < 0 ? 0 : (field.SelStart > count ? count : field.SelStart);
        int length = field.SelLength < 0 ? 0 : field.SelLength;
        if (length > count - start) length = count - start;
        const std::size_t from = ByteOffset(text, start);
        const std::size_t to = ByteOffset(text, start + length);
        field.Text = text.substr(0, from) + inserted + text.substr(to);
        field.SelStart = start + Count(inserted);
        field.SelLength = 0;
        Changed(field.Text);
    }

    // A longer text keeps its last whole character; a shorter one stays.
    // `before` is a copy: the handler rewrites the field.
    void Changed(std::string before) {
        (form.*change)();
        const std::string& after = field.Text;
        if (Count(after) > 1) Broken("more than one character", after);
        std::size_t last = 0;
        for (std::size_t at = 0; at < before.size(); at += SequenceLength(before, at)) last = at;
        if (after != (Count(before) > 1 ? before.substr(last) : before)) {
            Broken("not the last whole character of the text", after);
        }
    }

    void Type(std::int16_t key) {
        const std::string before = field.Text;
        const bool wasDigits = before.empty() || IsBorderDigit(before);
        (form.*keyPress)(key);
        if (key == 0) return;
        if (key < '0' || key > '4') Broken("a key other than 0 to 4 passed the filter", before);
        Replace(std::string(1, static_cast<char>(key)));
        if (wasDigits && !IsBorderDigit(field.Text)) Broken("typing left a non-digit", field.Text);
    }

    void Delete() {
        if (field.SelLength == 0) field.SelLength = 1;
        Replace({});
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static NoPlatform platform;
    FuzzedDataProvider data(bytes, size);
    Form1 form(platform);
    FieldDriver fields[] = {
        {form, form.s.txttblborder, &Form1::txttblborder_KeyPress, &Form1::txttblborder_Change},
        {form, form.s.txtImgBorder, &Form1::txtImgBorder_KeyPress, &Form1::txtImgBorder_Change},
    };
    while (data.remaining_bytes() > 0) {
        FieldDriver& field = fields[data.ConsumeIntegralInRange(0, 1)];
        switch (data.ConsumeIntegralInRange(0, 5)) {
            case 0:  // any key code, double-byte input-method codes included
                field.Type(data.ConsumeIntegral<std::int16_t>());
                break;
            case 1:  // the keys people actually press
                field.Type(data.PickValueInArray<std::int16_t>(
                    {'0', '1', '4', '5', '9', 'a', 8, 13, 3, 22, 24, 26, 127, -32768}));
                break;
            case 2:  // paste through the context menu: no key filter
                field.Replace(data.ConsumeRandomLengthString(16));
                break;
            case 3:
                field.Delete();
                break;
            case 4:  // caret and selection, possibly out of range
                field.field.SelStart = data.ConsumeIntegralInRange(-1, 4);
                field.field.SelLength = data.ConsumeIntegralInRange(-1, 4);
                break;
            default: {  // the program sets the text
                field.field.Text = data.ConsumeRandomLengthString(16);
                field.Changed(field.field.Text);
            }
        }
    }
    return 0;
}
