// The border fields under arbitrary typing, pasting and caret moves: a typed
// key only ever gets "0" to "4" in, and after every change a field holds the
// last whole character of what it held.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/form1.h"

namespace {

using namespace rumora;

// The border handlers need no desktop: any call aborts.
struct NoPlatform : PlatformServices {
    std::string ShowOpenDialog(const std::string&) override { std::abort(); }
    std::string ShowSaveDialog(const std::string&) override { std::abort(); }
    bool ConfirmReplace(const std::string&) override { std::abort(); }
    std::string ShowFontDialog(const std::string&) override { std::abort(); }
    PictureMeasurement LoadPicture(const std::string&) override { std::abort(); }
    ScreenMetrics Screen() override { std::abort(); }
    std::string WindowFontName() override { std::abort(); }
    std::string AppPath() override { std::abort(); }
    std::int32_t ShellOpen(const std::string&) override { std::abort(); }
    CalendarDate Today() override { std::abort(); }
    void WritePage(const std::string&, const std::string&, const std::string&) override {
        std::abort();
    }
    void ShowMessage(const std::string&) override { std::abort(); }
};

void Check(bool holds, const char* fault, const std::string& text) {
    if (holds) return;
    std::fprintf(stderr, "border field: %s; it holds", fault);
    for (unsigned char c : text) std::fprintf(stderr, " %02X", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

// Where the characters start, counted apart from the logic: a well-formed
// UTF-8 sequence is one character, any other byte one alone.
std::vector<std::size_t> Starts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0, n = 1; at < text.size(); at += n) {
        starts.push_back(at);
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[at + k]); };
        const unsigned lead = byte(0);
        n = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 1;
        if (lead > 0xF4 || text.size() - at < n) n = 1;
        if (n == 1) continue;
        // No overlong forms, surrogates, or code points past U+10FFFF.
        const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
        bool whole = byte(1) >= low && byte(1) <= high;
        for (std::size_t k = 2; k < n; ++k) whole = whole && (byte(k) & 0xC0) == 0x80;
        if (!whole) n = 1;
    }
    return starts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static NoPlatform platform;
    FuzzedDataProvider data(bytes, size);
    Form1 form(platform);
    while (data.remaining_bytes() > 0) {
        const bool picture = data.ConsumeBool();
        TextBox& field = picture ? form.s.txtImgBorder : form.s.txttblborder;
        const auto keyPress =
            picture ? &Form1::txtImgBorder_KeyPress : &Form1::txttblborder_KeyPress;
        const auto change = picture ? &Form1::txtImgBorder_Change : &Form1::txttblborder_Change;
        std::string inserted;
        switch (data.ConsumeIntegralInRange(0, 3)) {
            case 0: {  // a key: any code, input-method ones included, or a common one
                std::int16_t key = data.ConsumeBool()
                                       ? data.ConsumeIntegral<std::int16_t>()
                                       : data.PickValueInArray<std::int16_t>(
                                             {'0', '4', '5', '/', 'a', 8, 13, 22, 127, -32768});
                (form.*keyPress)(key);
                if (key == 0) continue;
                Check(key >= '0' && key <= '4', "a key other than 0 to 4 passed", field.Text);
                inserted.assign(1, static_cast<char>(key));
                break;
            }
            case 1:  // pasted past the filter; an empty paste deletes the selection
                inserted = data.ConsumeRandomLengthString(16);
                break;
            case 2:  // caret and selection, possibly out of range
                field.SelStart = data.ConsumeIntegralInRange(-1, 4);
                field.SelLength = data.ConsumeIntegralInRange(-1, 4);
                continue;
            default:  // the program sets the text
                field.Text = data.ConsumeRandomLengthString(16);
                field.SelStart = field.SelLength = 0;
        }
        if (!inserted.empty() || field.SelLength > 0) {  // replaces the selection
            const std::vector<std::size_t> starts = Starts(field.Text);
            const int count = static_cast<int>(starts.size());
            const int from = std::clamp(field.SelStart, 0, count);
            const int to = std::clamp(from + std::max(field.SelLength, 0), from, count);
            const auto at = [&](int i) { return i < count ? starts[i] : field.Text.size(); };
            field.Text = field.Text.substr(0, at(from)) + inserted + field.Text.substr(at(to));
            field.SelStart = from + static_cast<int>(Starts(inserted).size());
            field.SelLength = 0;
        }
        const std::string before = field.Text;
        const std::vector<std::size_t> starts = Starts(before);
        (form.*change)();
        Check(field.Text == (starts.size() > 1 ? before.substr(starts.back()) : before),
              "not the last whole character of its text", field.Text);
    }
    return 0;
}
