// Builds the same twelve-month page N times, for bench/page-instructions to
// count what one page costs under callgrind: instruction counts do not
// depend on what else the machine runs.
// Usage: rumora_page_count N [holidays] [rokuyo] [almanac] [wareki]
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "page/page_composer.h"

int main(int argc, char** argv) {
    using namespace rumora;
    if (argc < 2) {
        std::fprintf(stderr, "usage: rumora_page_count N [holidays|rokuyo|almanac|wareki]...\n");
        return 2;
    }
    PageOptions options;
    options.layout = PageLayout::Simple;
    options.fontFace = kWindowFontName;
    options.firstMonth = {2026, 12};
    for (int i = 2; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "holidays") {
            options.holidays = true;
        } else if (option == "rokuyo") {
            options.rokuyo = true;
        } else if (option == "almanac") {
            options.solarTerms = options.seasonalDays = options.moonPhases = true;
        } else if (option == "wareki") {
            options.eraYear = true;
        } else {
            std::fprintf(stderr, "rumora_page_count: unknown option %s\n", argv[i]);
            return 2;
        }
    }
    std::size_t bytes = 0;
    for (int n = std::atoi(argv[1]); n > 0; --n) bytes += MakeHtmlPage(options, {}).size();
    std::printf("%zu\n", bytes);
    return 0;
}
