// Build step: writes the table of Unicode characters that code page 932
// holds, as this system's iconv converts them, so that a page is converted
// without loading iconv's code page module at run time. Characters outside
// the table (none of them in the code page) still go through iconv.
#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/utf8.h"

namespace {

using rumora::AppendUtf8;
using Block = std::array<std::uint16_t, 256>;

// The code page's bytes for one character below U+10000 as one number: a
// single byte as itself, a pair as lead * 256 + trail; 0 when iconv has no
// exact conversion of one or two bytes.
std::uint16_t CodeOf(iconv_t cd, unsigned codePoint) {
    std::string in;
    AppendUtf8(in, codePoint);
    std::size_t inLeft = in.size();
    unsigned char out[8];
    char* inPtr = in.data();
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
        inLeft != 0 ||
        iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
        return 0;
    }
    const std::size_t length = sizeof out - outLeft;
    if (length == 1) return out[0];
    if (length == 2 && out[0] != 0) return static_cast<std::uint16_t>(out[0] << 8 | out[1]);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_code_page_table OUTPUT.cpp\n");
        return 2;
    }
    const iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::fprintf(stderr, "this system's iconv cannot convert to code page 932\n");
        return 1;
    }
    // Block 0 stays empty: every block of 256 characters without one in the
    // code page shares it.
    std::vector<Block> blocks(1, Block{});
    std::array<unsigned, 256> blockIndex{};
    for (unsigned high = 0; high < 256; ++high) {
        Block block{};
        bool any = false;
        for (unsigned low = 0; low < 256; ++low) {
            const unsigned codePoint = high << 8 | low;
            if (codePoint < 0x80 || (codePoint >= 0xD800 && codePoint < 0xE000)) continue;
            block[low] = CodeOf(cd, codePoint);
            any = any || block[low] != 0;
        }
        if (!any) continue;
        if (blocks.size() > 255) {
            std::fprintf(stderr, "code page 932 spreads over too many blocks\n");
            return 1;
        }
        blockIndex[high] = static_cast<unsigned>(blocks.size());
        blocks.push_back(block);
    }
    iconv_close(cd);

    std::FILE* file = std::fopen(argv[1], "w");
    if (file == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    std::fprintf(file,
                 "// Made by make_code_page_table from this system's iconv.\n"
                 "#include <cstdint>\n"
                 "namespace rumora {\n"
                 "extern const std::uint8_t kCodePage932Block[256];\n"
                 "extern const std::uint16_t kCodePage932[][256];\n"
                 "const std::uint8_t kCodePage932Block[256] = {");
    for (unsigned high = 0; high < 256; ++high) {
        std::fprintf(file, "%s%u,", high % 32 == 0 ? "\n" : "", blockIndex[high]);
    }
    std::fprintf(file, "};\nconst std::uint16_t kCodePage932[][256] = {\n");
    for (const Block& block : blocks) {
        std::fprintf(file, "{");
        for (unsigned low = 0; low < 256; ++low) {
            std::fprintf(file, "%s0x%x,", low % 16 == 0 ? "\n" : "", block[low]);
        }
        std::fprintf(file, "},\n");
    }
    std::fprintf(file, "};\n}  // namespace rumora\n");
    return std::fclose(file) == 0 ? 0 : 1;
}
