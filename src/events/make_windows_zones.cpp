// Writes the Windows zone names and the IANA zone each stands for, from
// CLDR's windowZones mapping as this system's ICU carries it, into a sorted
// C++ table. Run at build time: the reader needs no ICU of its own.
#include <unicode/strenum.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_windows_zones OUTPUT.cpp\n");
        return 2;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::StringEnumeration> zones(icu::TimeZone::createTimeZoneIDEnumeration(
        UCAL_ZONE_TYPE_CANONICAL, nullptr, nullptr, status));
    if (U_FAILURE(status)) return 1;
    std::map<std::string, std::string> table;
    while (const icu::UnicodeString* zone = zones->snext(status)) {
        icu::UnicodeString windows;
        icu::TimeZone::getWindowsID(*zone, windows, status);
        if (U_FAILURE(status) || windows.isEmpty()) continue;
        // The zone CLDR names for the whole world ("001"), not this one.
        icu::UnicodeString main;
        icu::TimeZone::getIDForWindowsID(windows, nullptr, main, status);
        if (U_FAILURE(status) || main.isEmpty()) continue;
        std::string windowsName;
        std::string mainName;
        windows.toUTF8String(windowsName);
        main.toUTF8String(mainName);
        table[windowsName] = mainName;
    }
    if (U_FAILURE(status) || table.empty()) return 1;
    std::FILE* out = std::fopen(argv[1], "w");
    if (out == nullptr) return 1;
    std::fprintf(out,
                 "// Made by make_windows_zones from ICU's copy of CLDR's windowZones.\n"
                 "#include <cstddef>\n\nnamespace rumora::events {\n\n"
                 "extern const char* const kWindowsZones[][2];\n"
                 "extern const std::size_t kWindowsZoneCount;\n\n"
                 "const char* const kWindowsZones[][2] = {\n");
    for (const auto& [windows, zone] : table) {
        std::fprintf(out, "    {\"%s\", \"%s\"},\n", windows.c_str(), zone.c_str());
    }
    std::fprintf(out,
                 "};\nconst std::size_t kWindowsZoneCount = %zu;\n\n}  // namespace "
                 "rumora::events\n",
                 table.size());
    return std::fclose(out) == 0 ? 0 : 1;
}
