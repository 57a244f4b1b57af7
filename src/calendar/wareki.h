// The Japanese era year (和暦) of a month, from 明治6年 (1873, Japan's first
// Gregorian year) to 9999.
#pragma once

#include <string>

namespace rumora::wareki {

// "令和9年", year 1 as "令和元年"; a month in which the era changes shows
// both, "昭和64年／平成元年". In English the era is romanised and year 1 is
// a number, as English texts write it: "Reiwa 9", "Showa 64 / Heisei 1".
// Empty before 1873 and after 9999.
std::string EraYearText(int year, int month, bool japanese);

// The same after " ", appended; nothing where the text is empty.
void AppendEraYearText(std::string& out, int year, int month, bool japanese);

}  // namespace rumora::wareki
