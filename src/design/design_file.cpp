#include "design/design_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <toml++/toml.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <variant>

#include "calendar/closing_days.h"
#include "core/file_descriptor.h"
#include "files/page_file.h"

namespace rumora {

DesignError::DesignError(Kind kind, std::string file, int line, std::string key, std::string reason,
                         std::string japaneseReason)
    : std::runtime_error((line > 0 ? file + ':' + std::to_string(line) : file) +
                         (key.empty() ? std::string() : ": " + key) + ": " + reason),
      kind_(kind),
      file_(std::move(file)),
      line_(line),
      key_(std::move(key)),
      japaneseReason_(std::move(japaneseReason)) {}

std::string DesignError::JapaneseText() const {
    std::string text = file_;
    if (line_ > 0) text += " の " + std::to_string(line_) + " 行目";
    if (!key_.empty()) text += "「" + key_ + "」";
    return text + ": " + japaneseReason_;
}

YearMonth MonthsOn(YearMonth from, int months) {
    const long total = from.year * 12L + (from.month - 1) + months;
    const long year = total >= 0 ? total / 12 : (total - 11) / 12;
    return {static_cast<int>(year), static_cast<int>(total - year * 12) + 1};
}

namespace {

// Designs are a few hundred bytes; anything far larger is not one.
constexpr std::size_t kLargestDesign = 1 << 20;

// Windows paths (D:\..., \\server\...) are kept as written.
bool IsRelativePath(std::string_view path) {
    const bool drive = path.size() >= 2 && path[1] == ':' &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return !path.empty() && !path.starts_with('/') && !path.starts_with("\\\\") && !drive;
}

struct Names {
    const char* text;
    int value;
};

constexpr std::array<Names, 8> kLayouts{{
    {"simple", static_cast<int>(PageLayout::Simple)},
    {"standard1", static_cast<int>(PageLayout::Standard1)},
    {"standard2", static_cast<int>(PageLayout::Standard2)},
    {"progress", static_cast<int>(PageLayout::Progress)},
    {"シンプル", static_cast<int>(PageLayout::Simple)},
    {"スタンダード 1", static_cast<int>(PageLayout::Standard1)},
    {"スタンダード 2", static_cast<int>(PageLayout::Standard2)},
    {"プログレス", static_cast<int>(PageLayout::Progress)},
}};

class Reader {
  public:
    Reader(const std::string& file, const std::string& folder) : file_(file), folder_(folder) {}

    Design Read(std::string_view text) {
        toml::table root;
        try {
            root = toml::parse(text, file_);
        } catch (const toml::parse_error& error) {
            throw DesignError(DesignError::Kind::Invalid, file_,
                              static_cast<int>(error.source().begin.line), "",
                              "not TOML: " + std::string(error.description()),
                              "TOML として読めません (" + std::string(error.description()) + ")");
        }
        ReadVersion(root);
        Design design;
        PageOptions& o = design.options;
        o.fontFace = kWindowFontName;
        ReadTable(
            root, "",
            {{"version", [](const toml::node&, const std::string&) {}},
             {"page", [&](const toml::node& n, const std::string& k) { ReadPage(n, k, design); }},
             {"font", [&](const toml::node& n, const std::string& k) { ReadFont(n, k, o); }},
             {"picture", [&](const toml::node& n, const std::string& k) { ReadPicture(n, k, o); }},
             {"almanac", [&](const toml::node& n, const std::string& k) { ReadAlmanac(n, k, o); }},
             {"closing",
              [&](const toml::node& n, const std::string& k) { ReadClosing(n, k, o); }}});
        return design;
    }

  private:
    using Field = std::function<void(const toml::node&, const std::string&)>;

    [[noreturn]] void Fail(const toml::node& node, const std::string& key,
                           const std::string& reason, const std::string& japanese) const {
        throw DesignError(DesignError::Kind::Invalid, file_,
                          static_cast<int>(node.source().begin.line), key, reason, japanese);
    }

    void ReadVersion(const toml::table& root) const {
        const toml::node* node = root.get("version");
        if (node == nullptr) {
            throw DesignError(DesignError::Kind::Invalid, file_, 0, "version",
                              "a design starts with its format version: version = 1",
                              "形式の版がありません (version = 1)");
        }
        const auto version = node->value_exact<std::int64_t>();
        if (!version || *version < 1) {
            Fail(*node, "version", "expected a whole number from 1", "1 以上の整数が必要です");
        }
        if (*version > kDesignVersion) {
            Fail(*node, "version",
                 "written for format version " + std::to_string(*version) +
                     " by a newer rumora; this one reads version " + std::to_string(kDesignVersion),
                 "新しいルモーラの形式 (版 " + std::to_string(*version) +
                     ") です。この版が読めるのは版 " + std::to_string(kDesignVersion) +
                     " までです");
        }
    }

    // Every key of the table must be one of `fields`: a typo is an error,
    // never a choice silently left at its default.
    void ReadTable(const toml::table& table, const std::string& prefix,
                   const std::map<std::string_view, Field>& fields) const {
        for (auto&& [name, node] : table) {
            const std::string key = prefix + std::string(name.str());
            const auto field = fields.find(name.str());
            if (field == fields.end()) {
                throw DesignError(DesignError::Kind::Invalid, file_,
                                  static_cast<int>(name.source().begin.line), key, "unknown key",
                                  "知らないキーです");
            }
            field->second(node, key);
        }
    }

    const toml::table& Table(const toml::node& node, const std::string& key) const {
        if (const toml::table* table = node.as_table()) return *table;
        Fail(node, key, "expected a table ([" + key + "])", "表 ([" + key + "]) が必要です");
    }

    std::string Text(const toml::node& node, const std::string& key) const {
        if (const auto* text = node.as_string()) return text->get();
        Fail(node, key, "expected a text in quotes", "\"…\" で囲んだ文字列が必要です");
    }

    bool Flag(const toml::node& node, const std::string& key) const {
        if (const auto* flag = node.as_boolean()) return flag->get();
        Fail(node, key, "expected true or false", "true か false が必要です");
    }

    int Whole(const toml::node& node, const std::string& key, int low, int high) const {
        const auto* number = node.as_integer();
        if (number == nullptr || number->get() < low || number->get() > high) {
            const std::string range = std::to_string(low) + " to " + std::to_string(high);
            Fail(node, key, "expected a whole number from " + range,
                 std::to_string(low) + "～" + std::to_string(high) + " の整数が必要です");
        }
        return static_cast<int>(number->get());
    }

    RgbColor Colour(const toml::node& node, const std::string& key) const {
        const toml::array* shares = node.as_array();
        if (shares == nullptr || shares->size() != 3) {
            Fail(node, key, "expected [R, G, B] with three whole numbers from 0 to 255",
                 "0～255 の整数三つ [赤, 緑, 青] が必要です");
        }
        std::array<std::uint8_t, 3> rgb{};
        for (std::size_t i = 0; i < 3; ++i) {
            rgb[i] = static_cast<std::uint8_t>(Whole(*shares->get(i), key, 0, 255));
        }
        return {rgb[0], rgb[1], rgb[2]};
    }

    std::vector<std::string> TextList(const toml::node& node, const std::string& key) const {
        const toml::array* items = node.as_array();
        if (items == nullptr) {
            Fail(node, key, "expected a list of texts: [\"...\", ...]",
                 "文字列のリスト [\"…\", …] が必要です");
        }
        std::vector<std::string> texts;
        for (const toml::node& item : *items) texts.push_back(Text(item, key));
        return texts;
    }

    template <typename T>
    T OneOf(const toml::node& node, const std::string& key,
            std::initializer_list<std::pair<const char*, T>> choices) const {
        const std::string text = Text(node, key);
        std::string names;
        for (const auto& [name, value] : choices) {
            if (text == name) return value;
            names += (names.empty() ? "" : ", ") + std::string(name);
        }
        Fail(node, key, "expected one of " + names, names + " のどれかが必要です");
    }

    // The window's border fields take one digit from 0 to 4, or nothing.
    std::string Border(const toml::node& node, const std::string& key) const {
        std::string text = Text(node, key);
        if (text.size() > 1 || (text.size() == 1 && (text[0] < '0' || text[0] > '4'))) {
            Fail(node, key, "expected \"0\" to \"4\" or \"\"", "\"0\"～\"4\" か \"\" が必要です");
        }
        return text;
    }

    void ReadStart(const toml::node& node, const std::string& key, Design& design) const {
        const std::string text = Text(node, key);
        const auto whole = [](std::string_view digits, int& value) {
            const auto [end, error] =
                std::from_chars(digits.data(), digits.data() + digits.size(), value);
            return !digits.empty() && digits[0] != '-' && digits[0] != '+' &&
                   error == std::errc{} && end == digits.data() + digits.size();
        };
        int months = 0;
        if ((text.starts_with('+') || text.starts_with('-')) && text.size() <= 6 &&
            whole(std::string_view(text).substr(1), months)) {
            design.monthsOn = text[0] == '-' ? -months : months;
            return;
        }
        int year = 0;
        int month = 0;
        if (text.size() == 7 && text[4] == '-' &&
            whole(std::string_view(text).substr(0, 4), year) &&
            whole(std::string_view(text).substr(5), month) && year >= kFirstYear &&
            year <= kLastYear && month >= 1 && month <= 12) {
            design.options.firstMonth = {year, month};
            design.monthsOn.reset();
            return;
        }
        Fail(node, key,
             "expected \"YYYY-MM\" (years " + std::to_string(kFirstYear) + " to " +
                 std::to_string(kLastYear) + "), or \"+N\" / \"-N\" months from the current one",
             "\"2027-04\" のような年月 (" + std::to_string(kFirstYear) + "～" +
                 std::to_string(kLastYear) +
                 " 年) か、今月からの月数 \"+0\"、\"+1\"、\"-1\" が必要です");
    }

    void ReadPage(const toml::node& node, const std::string& key, Design& design) const {
        PageOptions& o = design.options;
        ReadTable(
            Table(node, key), key + '.',
            {{"layout",
              [&](const toml::node& n, const std::string& k) {
                  const std::string text = Text(n, k);
                  for (const Names& layout : kLayouts) {
                      if (text == layout.text) {
                          o.layout = static_cast<PageLayout>(layout.value);
                          return;
                      }
                  }
                  Fail(n, k, "expected simple, standard1, standard2 or progress",
                       "simple、standard1、standard2、progress のどれかが必要です");
              }},
             {"grid",
              [&](const toml::node& n, const std::string& k) {
                  o.grid = OneOf<SimpleGrid>(
                      n, k,
                      {{"3x4", SimpleGrid::ThreeRowsOfFour}, {"4x3", SimpleGrid::FourRowsOfThree}});
              }},
             {"start", [&](const toml::node& n, const std::string& k) { ReadStart(n, k, design); }},
             {"language",
              [&](const toml::node& n, const std::string& k) {
                  std::string text = Text(n, k);
                  if (text == "ja") text = kJapaneseLanguageName;
                  if (text == "en") text = kEnglishLanguageName;
                  o.language = LanguageNamed(text);
                  design.languageText = std::move(text);
              }},
             {"header_color",
              [&](const toml::node& n, const std::string& k) { o.headerColor = Colour(n, k); }},
             {"table_border",
              [&](const toml::node& n, const std::string& k) { o.tableBorder = Border(n, k); }},
             {"week_start",
              [&](const toml::node& n, const std::string& k) {
                  o.weekStart = OneOf<WeekStart>(
                      n, k, {{"sunday", WeekStart::Sunday}, {"monday", WeekStart::Monday}});
              }},
             {"encoding", [&](const toml::node& n, const std::string& k) {
                  o.encoding = OneOf<PageEncoding>(
                      n, k, {{"cp932", PageEncoding::CodePage932}, {"utf-8", PageEncoding::Utf8}});
              }}});
    }

    void ReadFont(const toml::node& node, const std::string& key, PageOptions& o) const {
        ReadTable(
            Table(node, key), key + '.',
            {{"face", [&](const toml::node& n, const std::string& k) { o.fontFace = Text(n, k); }},
             {"bold", [&](const toml::node& n, const std::string& k) {
                  o.weight = Flag(n, k) ? FontWeight::Bold : FontWeight::Regular;
              }}});
    }

    void ReadPicture(const toml::node& node, const std::string& key, PageOptions& o) const {
        ReadTable(Table(node, key), key + '.',
                  {{"path",
                    [&](const toml::node& n, const std::string& k) {
                        std::string path = Text(n, k);
                        if (path.find('\0') != std::string::npos) {
                            Fail(n, k, "a file name holds no NUL", "ファイル名に NUL は使えません");
                        }
                        if (IsRelativePath(path) && !folder_.empty()) {
                            path = (std::filesystem::path(folder_) / path).lexically_normal();
                        }
                        o.picturePath = std::move(path);
                    }},
                   {"border", [&](const toml::node& n,
                                  const std::string& k) { o.pictureBorder = Border(n, k); }},
                   {"scale", [&](const toml::node& n, const std::string& k) {
                        o.pictureScalePercent = Whole(n, k, 10, 200);
                    }}});
    }

    void ReadAlmanac(const toml::node& node, const std::string& key, PageOptions& o) const {
        const auto flag = [&](bool PageOptions::*mark) {
            return [this, &o, mark](const toml::node& n, const std::string& k) {
                o.*mark = Flag(n, k);
            };
        };
        ReadTable(Table(node, key), key + '.',
                  {{"holidays", flag(&PageOptions::holidays)},
                   {"rokuyo", flag(&PageOptions::rokuyo)},
                   {"sekki", flag(&PageOptions::solarTerms)},
                   {"zassetsu", flag(&PageOptions::seasonalDays)},
                   {"moon", flag(&PageOptions::moonPhases)},
                   {"wareki", flag(&PageOptions::eraYear)}});
    }

    // The rules in the same words as the batch tool's --closed, --closed-on
    // and --open-on, one item a text.
    void ReadClosing(const toml::node& node, const std::string& key, PageOptions& o) const {
        ClosingRules& rules = o.closing;
        const auto check = [&](const toml::node& n, const std::string& k,
                               const std::optional<ClosingParseError>& error) {
            if (error) {
                Fail(n, k, "\"" + error->item + "\": " + error->reason,
                     "「" + error->item + "」は読めません (" + error->reason + ")");
            }
        };
        const auto spans = [&](std::vector<DateSpan>& into) {
            return [&, into = &into](const toml::node& n, const std::string& k) {
                into->clear();
                const std::vector<std::string> texts = TextList(n, k);
                for (std::size_t i = 0; i < texts.size(); ++i) {
                    auto span = ParseDateSpan(texts[i]);
                    if (auto* error = std::get_if<ClosingParseError>(&span)) {
                        check(*n.as_array()->get(i), k, *error);
                    }
                    into->push_back(std::get<DateSpan>(span));
                }
            };
        };
        ReadTable(Table(node, key), key + '.',
                  {{"closed",
                    [&](const toml::node& n, const std::string& k) {
                        const std::vector<std::string> texts = TextList(n, k);
                        for (std::size_t i = 0; i < texts.size(); ++i) {
                            check(*n.as_array()->get(i), k, AddClosingRule(rules, texts[i]));
                        }
                    }},
                   {"closed_on", spans(rules.closedOn)},
                   {"open_on", spans(rules.openOn)},
                   {"moves_after_holiday",
                    [&](const toml::node& n, const std::string& k) {
                        rules.movesAfterHoliday = Flag(n, k);
                    }},
                   {"color", [&](const toml::node& n,
                                 const std::string& k) { o.closingColor = Colour(n, k); }},
                   {"label", [&](const toml::node& n, const std::string& k) {
                        o.closingLabel = Text(n, k);
                    }}});
    }

    const std::string& file_;
    const std::string& folder_;
};

// A TOML basic string: quotes, backslashes and control characters escaped.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out + '"';
}

std::string ColourText(RgbColor colour) {
    return "[" + std::to_string(colour.red) + ", " + std::to_string(colour.green) + ", " +
           std::to_string(colour.blue) + "]";
}

std::string ListText(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items) out += (out.size() > 1 ? ", " : "") + Quoted(item);
    return out + "]";
}

std::vector<std::string> Items(std::string_view list) {
    std::vector<std::string> items;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        items.emplace_back(list.substr(0, comma));
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
    }
    return items;
}

std::vector<std::string> SpanTexts(const std::vector<DateSpan>& spans) {
    std::vector<std::string> texts;
    for (const DateSpan& span : spans) texts.push_back(DateSpanText(span));
    return texts;
}

std::string PicturePathText(const std::string& path, const std::string& folder) {
    if (folder.empty() || !path.starts_with('/')) return path;
    const std::filesystem::path relative =
        std::filesystem::path(path).lexically_normal().lexically_relative(
            std::filesystem::path(folder).lexically_normal());
    if (relative.empty() || *relative.begin() == "..") return path;
    return relative.string();
}

}  // namespace

Design ParseDesign(std::string_view text, const std::string& fileName, const std::string& folder) {
    return Reader(fileName, folder).Read(text);
}

Design ReadDesignFile(const std::string& path) {
    const auto unreadable = [&](int error, const std::string& japanese) {
        return DesignError(DesignError::Kind::Unreadable, path, 0, "",
                           std::string("cannot read the design: ") +
                               (error == EINVAL ? "not a regular file" : std::strerror(error)),
                           japanese);
    };
    // Non-blocking, so a FIFO under the name cannot stall the open.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (fd.get() < 0)
        throw unreadable(errno, std::string("読み込めません (") + std::strerror(errno) + ")");
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) throw unreadable(errno, "読み込めません");
    if (!S_ISREG(info.st_mode)) throw unreadable(EINVAL, "普通のファイルではありません");
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
            throw unreadable(errno, std::string("読み込めません (") + std::strerror(errno) + ")");
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        if (text.size() > kLargestDesign) {
            throw DesignError(DesignError::Kind::Invalid, path, 0, "",
                              "larger than a design can be (1 MiB)",
                              "デザインとしては大きすぎます (1 MiB まで)");
        }
    }
    return ParseDesign(text, path, std::filesystem::path(path).parent_path().string());
}

std::string DesignText(const Design& design, const std::string& folder) {
    const PageOptions& o = design.options;
    std::string layout = "simple";
    for (const Names& name : kLayouts) {
        if (name.value == static_cast<int>(o.layout)) {
            layout = name.text;
            break;
        }
    }
    std::string start;
    if (design.monthsOn) {
        start = (*design.monthsOn < 0 ? "-" : "+") + std::to_string(std::abs(*design.monthsOn));
    } else {
        start = std::to_string(o.firstMonth.year) + (o.firstMonth.month < 10 ? "-0" : "-") +
                std::to_string(o.firstMonth.month);
    }
    const std::string language = o.language == TitleLanguage::Japanese  ? "ja"
                                 : o.language == TitleLanguage::English ? "en"
                                                                        : design.languageText;
    const auto flag = [](bool value) { return value ? "true" : "false"; };
    const ClosingRules& c = o.closing;

    std::string out =
        "# A rumora design: every choice of a calendar page. Made again each month with\n"
        "#   rumora-page --design THIS-FILE -o PAGE.html\n"
        "version = " +
        std::to_string(kDesignVersion) + "\n";
    out += "\n[page]\n";
    out += "layout = " + Quoted(layout) + "  # simple, standard1, standard2, progress\n";
    out += "grid = " + Quoted(o.grid == SimpleGrid::ThreeRowsOfFour ? "3x4" : "4x3") + "\n";
    out += "start = " + Quoted(start) + "  # \"YYYY-MM\", or \"+N\" months from the current one\n";
    out += "language = " + Quoted(language) + "\n";
    out += "header_color = " + ColourText(o.headerColor) + "\n";
    out += "table_border = " + Quoted(o.tableBorder) + "\n";
    out += "week_start = " + Quoted(o.weekStart == WeekStart::Monday ? "monday" : "sunday") + "\n";
    if (o.encoding == PageEncoding::Utf8) out += "encoding = \"utf-8\"\n";
    out += "\n[font]\nface = " + Quoted(o.fontFace) +
           "\nbold = " + flag(o.weight == FontWeight::Bold) + "\n";
    out += "\n[picture]\npath = " + Quoted(PicturePathText(o.picturePath, folder)) +
           "\nborder = " + Quoted(o.pictureBorder) +
           "\nscale = " + std::to_string(o.pictureScalePercent) + "\n";
    out += "\n[almanac]\nholidays = " + std::string(flag(o.holidays)) +
           "\nrokuyo = " + flag(o.rokuyo) + "\nsekki = " + flag(o.solarTerms) +
           "\nzassetsu = " + flag(o.seasonalDays) + "\nmoon = " + flag(o.moonPhases) +
           "\nwareki = " + flag(o.eraYear) + "\n";
    out += "\n[closing]\nclosed = " + ListText(Items(ClosingRuleText(c))) +
           "\nclosed_on = " + ListText(SpanTexts(c.closedOn)) +
           "\nopen_on = " + ListText(SpanTexts(c.openOn)) +
           "\nmoves_after_holiday = " + flag(c.movesAfterHoliday) +
           "\ncolor = " + ColourText(o.closingColor) + "\nlabel = " + Quoted(o.closingLabel) + "\n";
    return out;
}

void WriteDesignFile(const std::string& path, const Design& design) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    const std::string folder = error ? std::string() : absolute.parent_path().string();
    const std::string text = DesignText(design, folder);
    // What cannot be read back is not written: a design fails when it is
    // made, not a month later in a job nobody watches.
    ParseDesign(text, path, folder);
    try {
        ReplaceFileContents(path, text, design.options.picturePath);
    } catch (const PageFileError& failure) {
        throw DesignError(DesignError::Kind::Unreadable, path, 0, "",
                          std::string("cannot write the design: ") + failure.what(),
                          std::string("書き込めません (") +
                              (failure.errorNumber() != 0 ? std::strerror(failure.errorNumber())
                                                          : failure.what()) +
                              ")");
    }
}

}  // namespace rumora
