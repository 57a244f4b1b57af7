// Build step: computes the sun's and moon's events of the table years with
// ERFA and writes them as a table, so that a page with 六曜 or the almanac
// costs no ephemeris at run time.
#include <cstdio>

#include "calendar/sky_table.h"

int main(int argc, char** argv) {
    using namespace rumora::sky;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_almanac_table OUTPUT.cpp\n");
        return 2;
    }
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(out,
                 "// Made by make_almanac_table from the ephemeris; do not edit.\n"
                 "#include \"calendar/sky_table.h\"\n\n"
                 "namespace rumora::sky::table {\n\n"
                 "const std::uint16_t kSolar[kYears][kSolarEvents] = {\n");
    for (int year = table::kFirstYear; year <= table::kLastYear; ++year) {
        const Day january1 = ToDay(year, 1, 1);
        std::fprintf(out, "    {");
        for (int i = 0; i < kSolarEvents; ++i) {
            const SolarDay s = ComputeSolarDay(year, i);
            const int day = s.day - january1;
            if (day < 0 || day > 365) {
                std::fprintf(stderr, "event %d of %d falls outside its year\n", i, year);
                return 1;
            }
            std::fprintf(out, "%s%d", i == 0 ? "" : ",",
                         day | (s.before_noon ? table::kBeforeNoon : 0));
        }
        std::fprintf(out, "},\n");
    }
    std::fprintf(out, "};\n\nconst Lunation kLunation[kLunations] = {\n");
    for (int k = table::kFirstLunation; k <= table::kLastLunation; ++k) {
        const Day new_moon = ComputeMoonDay(k, 0);
        const int offset = new_moon - table::MeanNewMoonDay(k);
        std::fprintf(out, "    {%d", offset);
        bool fits = offset >= -128 && offset <= 127;
        for (int q = 1; q < kQuarters; ++q) {
            const int after = ComputeMoonDay(k, q) - new_moon;
            fits = fits && after >= 0 && after <= 255;
            std::fprintf(out, ",%d", after);
        }
        std::fprintf(out, "},\n");
        if (!fits) {
            std::fprintf(stderr, "lunation %d does not fit the table\n", k);
            return 1;
        }
    }
    std::fprintf(out, "};\n\n}  // namespace rumora::sky::table\n");
    return std::fclose(out) == 0 ? 0 : 1;
}
