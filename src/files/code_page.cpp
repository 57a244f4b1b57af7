#include "files/code_page.h"

#include <iconv.h>
#include <locale.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <unordered_map>

#include "core/decimal.h"
#include "core/utf8.h"

namespace rumora {

extern const std::uint8_t kCodePage932Block[256];
extern const std::uint16_t kCodePage932[][256];

namespace {

bool IsMarkupByte(char c) { return c == '<' || c == '>' || c == '&' || c == '"' || c == '\''; }

// A similar character must not bring back what the page escaped: markup, or
// a blank, parenthesis or other character that the picture address writes as
// %XX (glibc turns U+00A0 into a blank and U+FE59 into "(", which end an
// unquoted address or break url(...)).
constexpr std::string_view kNotFromSimilar = "<>&\"' #%()`{}\t\r\n";

// The characters the table lacks: iconv's exact conversion, else a similar
// character where glibc knows one. Opened on first need, as most pages hold
// only characters the table has.
class Fallback {
  public:
    Fallback() {
        exact_ = iconv_open("CP932", "UTF-8");
        similar_ = iconv_open("CP932//TRANSLIT", "UTF-8");
        if (exact_ == reinterpret_cast<iconv_t>(-1) || similar_ == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("this system's iconv cannot convert to code page 932");
        }
    }
    Fallback(const Fallback&) = delete;
    Fallback& operator=(const Fallback&) = delete;
    ~Fallback() {
        iconv_close(exact_);
        iconv_close(similar_);
        if (locale_ != static_cast<locale_t>(nullptr)) freelocale(locale_);
    }

    std::string Convert(std::string_view character) {
        std::lock_guard lock(mutex_);
        return ConvertCharacter(character);
    }

  private:
    static bool Run(iconv_t cd, std::string_view in, std::string& result) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[64];
        char* inPtr = const_cast<char*>(in.data());
        std::size_t inLeft = in.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t irreversible = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        if (irreversible == static_cast<std::size_t>(-1) || inLeft != 0) return false;
        if (iconv(cd, nullptr, nullptr, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            return false;
        }
        result.assign(buffer, outPtr);
        return true;
    }

    // Transliteration follows the thread's LC_CTYPE; pin it so the page
    // file never depends on the user's environment.
    bool RunSimilar(std::string_view character, std::string& result) {
        if (locale_ == static_cast<locale_t>(nullptr)) {
            locale_ = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
            if (locale_ == static_cast<locale_t>(nullptr)) {
                locale_ = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
            }
        }
        const locale_t previous = uselocale(locale_);
        const bool done = Run(similar_, character, result);
        uselocale(previous);
        return done;
    }

    const std::string& ConvertCharacter(std::string_view character) {
        const std::string key(character);
        auto found = cache_.find(key);
        if (found != cache_.end()) return found->second;
        std::string bytes;
        if (!Run(exact_, character, bytes)) {
            if (!RunSimilar(character, bytes) || bytes.empty() ||
                bytes.find_first_of(kNotFromSimilar) != std::string::npos) {
                bytes = "?";
            }
        } else if (bytes.empty() || (bytes.size() == 1 && IsMarkupByte(bytes[0]))) {
            bytes = "?";
        }
        // Pages use few distinct characters; a bound keeps hostile text
        // from growing the cache without end.
        if (cache_.size() >= kCacheLimit) cache_.clear();
        return cache_.emplace(key, std::move(bytes)).first->second;
    }

    std::mutex mutex_;
    locale_t locale_ = static_cast<locale_t>(nullptr);
    iconv_t exact_;
    iconv_t similar_;
    static constexpr std::size_t kCacheLimit = 4096;
    std::unordered_map<std::string, std::string> cache_;
};

// The code page's bytes for the character of `length` bytes at text[i]
// from the table made at build time (see make_code_page_table.cpp), or 0
// when it has none. The table covers the characters below U+10000.
std::uint16_t TableCode(std::string_view text, std::size_t i, std::size_t length) {
    if (length > 3) return 0;
    const char32_t codePoint = DecodeUtf8(text, i, length);
    return kCodePage932[kCodePage932Block[codePoint >> 8]][codePoint & 0xFF];
}

}  // namespace

std::string ToCodePage932(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        // ASCII is the same in code page 932: the markup is copied a run at
        // a time.
        std::size_t end = i;
        // Eight bytes at a time while none has its high bit set.
        for (std::uint64_t eight = 0; end + 8 <= utf8.size(); end += 8) {
            std::memcpy(&eight, utf8.data() + end, sizeof eight);
            if ((eight & 0x8080808080808080U) != 0) break;
        }
        while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) < 0x80) ++end;
        if (end > i) {
            out.append(utf8.substr(i, end - i));
            i = end;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(utf8, i);
        if (length == 0) {
            out.push_back('?');
            ++i;
            continue;
        }
        const std::uint16_t code = TableCode(utf8, i, length);
        if (code > 0xFF) {
            out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
        } else if (code != 0) {
            // iconv writes a few characters as one ASCII byte (U+00A5 as a
            // backslash); none may become markup.
            out.push_back(IsMarkupByte(static_cast<char>(code)) ? '?' : static_cast<char>(code));
        } else {
            static Fallback fallback;
            out += fallback.Convert(utf8.substr(i, length));
        }
        i += length;
    }
    return out;
}

std::string EventNameMarkup(std::string_view utf8, PageEncoding encoding) {
    std::string out;
    out.reserve(utf8.size() + 8);
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::size_t length = Utf8SequenceLength(utf8, i);
        const char c = utf8[i];
        if (length == 0) {
            out += '?';
            ++i;
            continue;
        }
        if (length == 1) {
            switch (c) {
                case '&':
                    out += "&amp;";
                    break;
                case '<':
                    out += "&lt;";
                    break;
                case '>':
                    out += "&gt;";
                    break;
                case '"':
                    out += "&quot;";
                    break;
                case '\'':
                    out += "&#39;";
                    break;
                default:
                    out += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
            }
        } else {
            const std::uint16_t code = TableCode(utf8, i, length);
            // A character the table gives as a markup byte is not the same
            // character either.
            const bool kept = code > 0xFF || (code != 0 && !IsMarkupByte(static_cast<char>(code)));
            if (encoding == PageEncoding::Utf8 || kept) {
                out.append(utf8.substr(i, length));
            } else {
                out += "&#";
                AppendDecimal(out, std::int64_t{DecodeUtf8(utf8, i, length)});
                out += ';';
            }
        }
        i += length;
    }
    return out;
}

}  // namespace rumora
