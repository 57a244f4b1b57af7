#include "calendar/wareki.h"

#include <array>
#include <string_view>

#include "core/decimal.h"

namespace rumora::wareki {

namespace {

struct Era {
    int year, month, day;  // its first day
    std::string_view japanese;
    std::string_view romanised;
};

// 明治 counts here from 1873, when the Gregorian calendar began.
constexpr std::array<Era, 5> kEras{{{1868, 1, 1, "明治", "Meiji"},
                                    {1912, 7, 30, "大正", "Taisho"},
                                    {1926, 12, 25, "昭和", "Showa"},
                                    {1989, 1, 8, "平成", "Heisei"},
                                    {2019, 5, 1, "令和", "Reiwa"}}};

constexpr int Stamp(int year, int month, int day) { return (year * 100 + month) * 100 + day; }

// The era in force on the month's first day.
std::size_t EraOfMonth(int year, int month) {
    std::size_t i = kEras.size() - 1;
    while (i > 0 && Stamp(year, month, 1) < Stamp(kEras[i].year, kEras[i].month, kEras[i].day)) --i;
    return i;
}

void Append(std::string& out, std::size_t era, int year, bool japanese) {
    const int number = year - kEras[era].year + 1;
    if (japanese) {
        out += kEras[era].japanese;
        if (number == 1) {
            out += "元";
        } else {
            AppendDecimal(out, number);
        }
        out += "年";
    } else {
        out += kEras[era].romanised;
        out += ' ';
        AppendDecimal(out, number);
    }
}

}  // namespace

void AppendEraYearText(std::string& out, int year, int month, bool japanese) {
    if (year < 1873 || year > 9999 || month < 1 || month > 12) return;
    const std::size_t era = EraOfMonth(year, month);
    out += ' ';
    Append(out, era, year, japanese);
    const std::size_t next = era + 1;
    if (next < kEras.size() && kEras[next].year == year && kEras[next].month == month &&
        kEras[next].day > 1) {
        out += japanese ? "／" : " / ";
        Append(out, next, year, japanese);
    }
}

std::string EraYearText(int year, int month, bool japanese) {
    std::string text;
    AppendEraYearText(text, year, month, japanese);
    return text.empty() ? text : text.substr(1);
}

}  // namespace rumora::wareki
