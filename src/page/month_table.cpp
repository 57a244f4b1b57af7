#include "page/month_table.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>
#include <stdexcept>
#include <vector>

#include "calendar/almanac.h"
#include "calendar/holidays.h"
#include "calendar/old_calendar.h"
#include "calendar/wareki.h"
#include "page/markup.h"
#include "page/page_error.h"

namespace rumora {

void AppendColour(std::string& out, const RgbColor& colour);

namespace {

constexpr std::string_view kCrLf = "\r\n";

void ThrowIfUnformable(int year, int month) {
    if (year > 9999) {
        throw PageBuildError(PageBuildError::Kind::PastLastMonth,
                             "the page would need a month after December 9999");
    }
    if (year < 1 || month < 1 || month > 12) {
        throw PageBuildError(PageBuildError::Kind::MonthOutOfRange,
                             "the calendar cannot form month " + std::to_string(month) +
                                 " of year " + std::to_string(year));
    }
}

// 1 = Sunday ... 7 = Saturday, proleptic Gregorian.
int WeekdayOfFirst(const std::chrono::year_month& month) {
    const std::chrono::weekday day{std::chrono::sys_days{month / 1}};
    return static_cast<int>(day.c_encoding()) + 1;
}

// A short piece of a day's cell made once, kept at a fixed width so that a
// cell takes it with one fixed-size copy.
template <std::size_t Width>
struct FixedPiece {
    static constexpr std::size_t kWidth = Width;
    std::array<char, Width> bytes{};
    std::size_t size = 0;

    FixedPiece() = default;
    FixedPiece(std::initializer_list<std::string_view> parts) {
        for (const std::string_view part : parts) {
            if (part.size() > kWidth - size) throw std::logic_error("a cell piece is too long");
            std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
            size += part.size();
        }
    }
    std::string_view view() const { return {bytes.data(), size}; }
};
using Piece = FixedPiece<48>;
using ShortPiece = FixedPiece<32>;

// Copies a piece whole into a cell being written, which has room for it.
template <std::size_t Width>
[[gnu::always_inline]] inline char* CopyPiece(char* to, const FixedPiece<Width>& piece) {
    std::memcpy(to, piece.bytes.data(), Width);
    return to + piece.size;
}

// Copies `size` bytes of `text` a chunk at a time, so that the short texts
// of most days take one copy whatever their length. `text` stays readable,
// and `to` writable, a chunk past them.
template <std::size_t Chunk>
[[gnu::always_inline]] inline char* CopyPadded(char* to, const char* text, std::size_t size) {
    char* const stop = to + size;
    do {
        std::memcpy(to, text, Chunk);
        to += Chunk;
        text += Chunk;
    } while (to < stop);
    return stop;
}

// "<br><font size=-2>仏滅</font>": a line under the day's number.
Piece SmallLine(std::string_view name) { return {"<br><font size=-2>", name, "</font>"}; }

// What follows a day's number when it has no marks or names: its 六曜 line,
// or nothing. Each is kept in a slot of its own, for CopyPadded.
struct RokuyoTails {
    static constexpr std::size_t kSlot = Piece::kWidth;
    static constexpr std::uint32_t kNone = 6;  // the empty slot
    std::array<char, kSlot * 7> bytes{};
    std::array<std::uint32_t, 7> sizes{};

    std::uint32_t At(std::uint32_t slot) const { return slot * std::uint32_t{kSlot}; }
};

const RokuyoTails& RokuyoTailsIn(bool japanese) {
    static const auto kTails = [] {
        std::array<RokuyoTails, 2> tails;
        for (int language = 0; language < 2; ++language) {
            for (int i = 0; i < 6; ++i) {
                const Piece line = SmallLine(old_calendar::RokuyoName(i, language == 1));
                RokuyoTails& t = tails[std::size_t(language)];
                std::copy_n(line.bytes.begin(), line.size,
                            t.bytes.begin() + std::ptrdiff_t(t.At(std::uint32_t(i))));
                t.sizes[std::size_t(i)] = std::uint32_t(line.size);
            }
        }
        return tails;
    }();
    return kTails[japanese];
}

// An almanac event's name for the tip, and its line or mark in the cell.
struct EventPieces {
    Piece name;
    Piece inCell;
};

constexpr std::size_t kSeasonalFirst = 24;
constexpr std::size_t kPhaseFirst = kSeasonalFirst + almanac::kSeasonalDays;
constexpr std::size_t kEvents = kPhaseFirst + 4;
using EventPieceTable = std::array<EventPieces, kEvents>;

const EventPieces& PiecesOf(const EventPieceTable& table, almanac::Event event) {
    using almanac::Kind;
    const std::size_t first = event.kind == Kind::SolarTerm     ? 0
                              : event.kind == Kind::SeasonalDay ? kSeasonalFirst
                                                                : kPhaseFirst;
    return table[first + event.index];
}

EventPieceTable MakeEventPieces(bool japanese) {
    using almanac::Kind;
    // The moon's phase as a small mark after the day's number: ● new, ◐
    // first quarter, ○ full, ◑ last quarter. Character references, as code
    // page 932 lacks the half moons.
    static constexpr std::array<std::string_view, 4> kMarks{"&#9679;", "&#9680;", "&#9675;",
                                                            "&#9681;"};
    EventPieceTable pieces;
    const auto fill = [&](std::size_t slot, almanac::Event e) {
        const std::string_view name = almanac::EventName(e, japanese);
        pieces[slot].name = {name};
        pieces[slot].inCell = e.kind == Kind::MoonPhase
                                  ? Piece{"<font size=-2>", kMarks[e.index], "</font>"}
                                  : SmallLine(name);
    };
    for (std::uint8_t i = 0; i < 24; ++i) fill(i, {Kind::SolarTerm, i});
    for (std::uint8_t i = 0; i < almanac::kSeasonalDays; ++i)
        fill(kSeasonalFirst + i, {Kind::SeasonalDay, i});
    for (std::uint8_t i = 0; i < 4; ++i) fill(kPhaseFirst + i, {Kind::MoonPhase, i});
    return pieces;
}

// Each language's pieces are made when a page first needs them.
const EventPieceTable& EventPiecesIn(bool japanese) {
    if (japanese) {
        static const EventPieceTable kJapanese = MakeEventPieces(true);
        return kJapanese;
    }
    static const EventPieceTable kOther = MakeEventPieces(false);
    return kOther;
}

// A day's tip names this many events, a month's list this many; the rest
// are counted ("+3"), so a file's many events cannot make a page huge.
constexpr std::size_t kEventsShown = 10;
constexpr std::size_t kEventsListed = 60;

void AppendMore(std::string& out, std::size_t more) {
    out += '+';
    AppendDecimal(out, static_cast<std::int64_t>(more));
}

// "15:00", Japan time.
void AppendClock(std::string& out, std::int32_t minute) {
    const auto two = [&](std::int32_t value) {
        out += static_cast<char>('0' + value / 10);
        out += static_cast<char>('0' + value % 10);
    };
    two(minute / 60);
    out += ':';
    two(minute % 60);
}

// The events that cover any day of the month, in start order: none when the
// page has none, so a page without calendar files costs nothing more.
std::vector<const PageEvent*> EventsOfMonth(const PageOptions& options, std::int32_t firstDay,
                                            std::int32_t lastDay) {
    std::vector<const PageEvent*> events;
    for (const PageEvent& event : options.events) {
        if (event.firstDay <= lastDay && event.lastDay >= firstDay) events.push_back(&event);
    }
    return events;
}

// Under the month: one line an event, in date order, with its days within
// the month ("14 歯医者 15:00", "20–22 旅行"), so a printed page says what
// the marks are.
void AppendEventList(std::string& out, std::vector<const PageEvent*> events, std::int32_t firstDay,
                     std::int32_t lastDay) {
    const auto shownFirst = [&](const PageEvent* event) {
        return std::max(event->firstDay, firstDay);
    };
    std::stable_sort(events.begin(), events.end(), [&](const PageEvent* a, const PageEvent* b) {
        return shownFirst(a) < shownFirst(b);
    });
    out += kCrLf;
    out += "<table><tr><td align=left><font size=-1>";
    bool first = true;
    std::size_t shown = 0;
    for (const PageEvent* event : events) {
        if (!first) out += "<br>";
        first = false;
        if (shown++ == kEventsListed) {
            AppendMore(out, events.size() - kEventsListed);
            break;
        }
        const std::int32_t from = shownFirst(event);
        const std::int32_t to = std::min(event->lastDay, lastDay);
        AppendDecimal(out, from - firstDay + 1);
        if (to > from) {
            out += "&#8211;";
            AppendDecimal(out, to - firstDay + 1);
        }
        out += ' ';
        out += event->name;
        if (event->startMinute != PageEvent::kAllDay) {
            out += ' ';
            AppendClock(out, event->startMinute);
        }
    }
    out += "</font></td></tr></table>";
}

// The day's number as the cell shows it: plain, red (Sundays and holidays)
// or blue (Saturdays).
using NumberPieces = std::array<std::array<ShortPiece, 32>, 3>;
constexpr std::size_t kPlainNumber = 0;
constexpr std::size_t kRedNumber = 1;
constexpr std::size_t kBlueNumber = 2;

const NumberPieces& TheNumberPieces() {
    static const NumberPieces kPieces = [] {
        NumberPieces pieces;
        for (int day = 1; day <= 31; ++day) {
            const std::string number = std::to_string(day);
            const auto d = static_cast<std::size_t>(day);
            pieces[kPlainNumber][d] = {number};
            pieces[kRedNumber][d] = {"<font color=#ff0000>", number, "</font>"};
            pieces[kBlueNumber][d] = {"<font color=#0000ff>", number, "</font>"};
        }
        return pieces;
    }();
    return kPieces;
}

// What a day adds to the plain cell "<td>N</td>": the cell's opening with
// its tip, as a range of its month's text; its tail after the number (the
// phase mark, ◆, the 六曜 line and the names under the number), either a
// range of the month's text or a 六曜 slot; and whether a holiday makes
// the number red.
struct DayParts {
    std::uint32_t open = 0;
    std::uint32_t openSize = 4;
    std::uint32_t tail = RokuyoTails::kNone * RokuyoTails::kSlot;
    std::uint32_t tailSize = 0;
    bool tailInText = false;
    bool holiday = false;
};

// The parts of a month's days, worked out before its cells are written:
// most days have none, and the cells then take every day's parts alike,
// without asking what the day has. The text starts with the "<td>" that
// plain days share and ends in padding for CopyPadded.
struct MonthParts {
    static constexpr std::size_t kPadding = RokuyoTails::kSlot;
    std::array<DayParts, 32> days{};  // by day of the month, 1 to 31
    std::string text = "<td>";
    const RokuyoTails* rokuyo = &RokuyoTailsIn(true);
    bool anyTail = false;  // some day has one

    void Finish() { text.append(kPadding, '\0'); }
};

const MonthParts& PlainMonthParts() {
    static const MonthParts kPlain = [] {
        MonthParts parts;
        parts.Finish();
        return parts;
    }();
    return kPlain;
}

// Works out the parts of each day of one month that has something to show:
// holidays, closing days, 六曜, the almanac's events or the user's own.
void MakeMonthParts(MonthParts& parts, const PageOptions& options, int year, int month,
                    int monthLength, const MonthClosings* closings,
                    const std::vector<const PageEvent*>& ownEvents, std::int32_t monthStart) {
    const bool japanese = options.language == TitleLanguage::Japanese;
    std::array<std::int8_t, 31> rokuyo{};
    const bool withRokuyo = options.rokuyo && old_calendar::MonthRokuyo(year, month, rokuyo);
    parts.rokuyo = &RokuyoTailsIn(japanese);
    if (withRokuyo) {
        for (std::size_t day = 1; day <= 31; ++day) {
            const auto slot = static_cast<std::uint32_t>(rokuyo[day - 1]);
            parts.days[day].tail = parts.rokuyo->At(slot);
            parts.days[day].tailSize = parts.rokuyo->sizes[slot];
        }
        parts.anyTail = true;
    }
    MonthHolidayNames holidays{};
    if (options.holidays) {
        holidays = HolidaysOfMonth(year, month,
                                   japanese ? HolidayLanguage::Japanese : HolidayLanguage::English);
    }
    const bool withAlmanac = options.solarTerms || options.seasonalDays || options.moonPhases;
    almanac::MonthAlmanac sky;
    if (withAlmanac) {
        sky = almanac::AlmanacOfMonth(year, month, options.solarTerms, options.seasonalDays,
                                      options.moonPhases);
    }
    static const EventPieceTable kNoEvents{};
    const EventPieceTable& eventPieces = withAlmanac ? EventPiecesIn(japanese) : kNoEvents;

    // A closed day's tag opening and label, made once for the month.
    std::string closedTag;
    std::string closedLabel;
    if (closings != nullptr) {
        closedTag = "<td bgcolor=";
        AppendColour(closedTag, options.closingColor);
        AppendHtmlEscaped(closedLabel, ClosedLabel(options));
    }
    std::string& text = parts.text;
    text.reserve(1024);
    const auto since = [&](std::uint32_t start) {
        return static_cast<std::uint32_t>(text.size()) - start;
    };
    std::vector<const PageEvent*> dayEvents;
    for (int day = 1; day <= monthLength; ++day) {
        const bool closed = closings != nullptr && (*closings)[day] != ClosingReason::Open;
        const std::span<const almanac::Event> events =
            withAlmanac ? sky.On(day) : std::span<const almanac::Event>{};
        const char* const holiday = holidays[day];
        dayEvents.clear();
        for (const PageEvent* event : ownEvents) {
            const std::int32_t date = monthStart + day - 1;
            if (event->firstDay <= date && event->lastDay >= date) dayEvents.push_back(event);
        }
        if (!closed && holiday == nullptr && events.empty() && dayEvents.empty()) continue;

        DayParts& part = parts.days[static_cast<std::size_t>(day)];
        part.holiday = holiday != nullptr;
        part.open = static_cast<std::uint32_t>(text.size());
        text += closed ? std::string_view(closedTag) : std::string_view("<td");
        // One name a line: the holiday's, the closing label, then the
        // almanac's in their order.
        text += " title=\"";
        bool first = true;
        const auto line = [&] {
            if (!first) text += "&#10;";
            first = false;
        };
        if (holiday != nullptr) {
            line();
            AppendHtmlEscaped(text, holiday);
        }
        if (closed) {
            line();
            text += closedLabel;
        }
        for (const almanac::Event event : events) {
            line();
            text += PiecesOf(eventPieces, event).name.view();
        }
        // The user's own events last, timed ones with their start.
        for (std::size_t i = 0; i < dayEvents.size(); ++i) {
            line();
            if (i == kEventsShown) {
                AppendMore(text, dayEvents.size() - i);
                break;
            }
            if (dayEvents[i]->startMinute != PageEvent::kAllDay) {
                AppendClock(text, dayEvents[i]->startMinute);
                text += ' ';
            }
            text += dayEvents[i]->name;
        }
        text += "\">";
        part.openSize = since(part.open);

        // The phase, when the day has one, comes last: its mark follows the
        // number, the other names go under the 六曜.
        if (events.empty() && dayEvents.empty()) continue;
        const auto tail = static_cast<std::uint32_t>(text.size());
        std::span<const almanac::Event> named = events;
        if (!events.empty() && events.back().kind == almanac::Kind::MoonPhase) {
            text += PiecesOf(eventPieces, events.back()).inCell.view();
            named = events.first(events.size() - 1);
        }
        // A mark that prints: the day has events of the user's own.
        if (!dayEvents.empty()) text += "<font size=-2>◆</font>";
        text += std::string_view(parts.rokuyo->bytes.data() + part.tail, part.tailSize);
        for (const almanac::Event event : named) text += PiecesOf(eventPieces, event).inCell.view();
        part.tail = tail;
        part.tailSize = since(tail);
        part.tailInText = true;
        parts.anyTail = true;
    }
    parts.Finish();
}

// The parts of a month that shows only holidays, 六曜 and the almanac, which
// are the same on every page: the months of the last two years asked for on this
// thread are kept, as the almanac keeps its years, for the page's other
// months and for the next page the window makes.
const MonthParts& KeptMonthParts(const PageOptions& options, int year, int month, int monthLength) {
    struct Kept {
        int year = 0;
        unsigned choices = 0;
        std::array<std::unique_ptr<MonthParts>, 12> months;
    };
    thread_local std::unique_ptr<std::array<Kept, 2>> kept;
    thread_local std::size_t older = 0;
    if (kept == nullptr) kept = std::make_unique<std::array<Kept, 2>>();
    const unsigned choices = (options.language == TitleLanguage::Japanese ? 1u : 0u) |
                             (options.holidays ? 2u : 0u) | (options.solarTerms ? 4u : 0u) |
                             (options.seasonalDays ? 8u : 0u) | (options.moonPhases ? 16u : 0u) |
                             (options.rokuyo ? 32u : 0u);
    Kept* slot = nullptr;
    for (Kept& k : *kept) {
        if (k.year == year && k.choices == choices) slot = &k;
    }
    if (slot == nullptr) {
        slot = &(*kept)[older];
        older ^= 1;
        slot->year = year;
        slot->choices = choices;
        slot->months = {};
    }
    std::unique_ptr<MonthParts>& parts = slot->months[static_cast<std::size_t>(month - 1)];
    if (parts == nullptr) {
        parts = std::make_unique<MonthParts>();
        MakeMonthParts(*parts, options, year, month, monthLength, nullptr, {}, 0);
    }
    return *parts;
}

// Where a month's days fall in its weeks.
struct DayCellStyle {
    int monthLength = 0;
    int firstWeekday = 1;  // 1 = Sunday ... 7 = Saturday
    int lastWeekday = 7;   // the week's last column, Saturday or Sunday
};

// Writes the month's day cells. They are put together in a kilobyte on the
// stack, and only the write position moves from copy to copy: a page has
// thousands of short pieces.
void AppendDayCells(std::string& out, const MonthParts& parts, const DayCellStyle& style) {
    const NumberPieces& numbers = TheNumberPieces();
    static const std::array<ShortPiece, 2> kCellEnds{ShortPiece{"</td>"},
                                                     ShortPiece{"</td></tr>\r\n<tr align=right>"}};
    constexpr std::size_t kTailChunk = RokuyoTails::kSlot;
    // What a cell's copies may write past its own parts.
    constexpr std::size_t kCellMost = 16 + ShortPiece::kWidth + kTailChunk + ShortPiece::kWidth;
    const bool withTails = parts.anyTail;
    const char* const text = parts.text.data();
    // A day's tail is a 六曜 slot, or in the month's text.
    const std::array<const char*, 2> tails{parts.rokuyo->bytes.data(), text};

    std::array<char, 1024> buffer;
    char* at = buffer.data();
    int weekday = style.firstWeekday;
    for (int day = 1; day <= style.monthLength; ++day) {
        const DayParts& part = parts.days[static_cast<std::size_t>(day)];
        const std::size_t colour = part.holiday || weekday == 1 ? kRedNumber
                                   : weekday == 7               ? kBlueNumber
                                                                : kPlainNumber;
        const ShortPiece& number = numbers[colour][static_cast<std::size_t>(day)];
        const ShortPiece& end = kCellEnds[weekday == style.lastWeekday];
        const char* const tail = tails[part.tailInText] + part.tail;
        const std::size_t most = std::size_t{part.openSize} + part.tailSize + kCellMost;
        if (most > static_cast<std::size_t>(buffer.data() + buffer.size() - at)) {
            out.append(buffer.data(), static_cast<std::size_t>(at - buffer.data()));
            at = buffer.data();
            if (most > buffer.size()) {
                // A day whose tip outgrows the buffer goes to the page itself.
                out.append(text + part.open, part.openSize);
                out += number.view();
                out.append(tail, part.tailSize);
                out += end.view();
                weekday = weekday % 7 + 1;
                continue;
            }
        }
        at = CopyPadded<16>(at, text + part.open, part.openSize);
        at = CopyPiece(at, number);
        if (withTails) at = CopyPadded<kTailChunk>(at, tail, part.tailSize);
        at = CopyPiece(at, end);
        weekday = weekday % 7 + 1;
    }
    out.append(buffer.data(), static_cast<std::size_t>(at - buffer.data()));
}

}  // namespace

std::string_view MonthName(int month, bool japanese) {
    static constexpr std::array<std::string_view, 12> kEnglish{
        "January", "February", "March",     "April",   "May",      "June",
        "July",    "August",   "September", "October", "November", "December"};
    static constexpr std::array<std::string_view, 12> kJapanese{"睦月", "如月",   "弥生", "卯月",
                                                                "皐月", "水無月", "文月", "葉月",
                                                                "長月", "神無月", "霜月", "師走"};
    return (japanese ? kJapanese : kEnglish)[static_cast<std::size_t>(month - 1)];
}

// "#RRGGBB", red first, upper-case.
void AppendColour(std::string& out, const RgbColor& colour) {
    out += '#';
    AppendHexByte(out, colour.red);
    AppendHexByte(out, colour.green);
    AppendHexByte(out, colour.blue);
}

void AppendCalendarTable(std::string& out, const PageOptions& options, int year, int month,
                         const MonthClosings* closings) {
    ThrowIfUnformable(year, month);
    const std::int32_t monthStart = static_cast<std::int32_t>(
        std::chrono::sys_days{std::chrono::year{year} / month / 1}.time_since_epoch().count());
    MonthClosings ownClosings;
    if (closings == nullptr && !options.closing.Empty()) {
        ownClosings = ClosingsOfMonth(options.closing, year, month);
        closings = &ownClosings;
    }

    const std::chrono::year_month yearMonth{std::chrono::year{year},
                                            std::chrono::month{static_cast<unsigned>(month)}};
    const int monthLength = static_cast<int>(unsigned{(yearMonth / std::chrono::last).day()});
    const int firstWeekday = WeekdayOfFirst(yearMonth);

    out += "<table border=";
    AppendHtmlEscaped(out, options.tableBorder);
    out += ">";
    out += kCrLf;

    const bool japanese = options.language == TitleLanguage::Japanese;
    const bool english = options.language == TitleLanguage::English;

    out += "<tr><td colspan=7 align=right><font size=-1>";
    AppendDecimal(out, year);
    out += '.';
    AppendDecimal(out, month);
    out += "  - ";
    out += MonthName(month, japanese);
    out += " -";
    if (options.eraYear) wareki::AppendEraYearText(out, year, month, japanese);
    out += "</font></td></tr>";

    const bool mondayFirst = options.weekStart == WeekStart::Monday;
    if (japanese || english) {
        out += "<tr align=center bgcolor=";
        AppendColour(out, options.headerColor);
        out += '>';
        out += kCrLf;
        const std::string_view sunday = japanese ? "<td><font color=#ff0000> 日 </font></td>"
                                                 : "<td><font color=#ff0000>Sun</font></td>";
        const std::string_view rest =
            japanese ? "<td>月</td><td>火</td><td>水</td><td>木</td><td>金</td><td><font "
                       "color=#0000ff>土</font></td>"
                     : "<td>Mon</td><td>Tue</td><td>Wed</td><td>Thu</td><td> Fri </td><td><font "
                       "color=#0000ff>Sat</font></td>";
        if (!mondayFirst) out += sunday;
        out += rest;
        if (mondayFirst) out += sunday;
        out += "</tr>";
    }
    // Other languages have no weekday row; the first week opens as every
    // other week does.
    out += kCrLf;
    out += "<tr align=right>";

    DayCellStyle style;
    style.monthLength = monthLength;
    style.firstWeekday = firstWeekday;
    // Weekdays 1 = Sunday ... 7 = Saturday; a week's row closes after its
    // last column, Saturday or Sunday.
    style.lastWeekday = mondayFirst ? 1 : 7;
    const int blanks = mondayFirst ? (firstWeekday + 5) % 7 : firstWeekday - 1;
    for (int i = 0; i < blanks; ++i) out += "<td></td>";

    const std::int32_t monthEnd = monthStart + monthLength - 1;
    const std::vector<const PageEvent*> ownEvents =
        options.events.empty() ? std::vector<const PageEvent*>{}
                               : EventsOfMonth(options, monthStart, monthEnd);
    if (closings != nullptr || !ownEvents.empty()) {
        MonthParts parts;
        MakeMonthParts(parts, options, year, month, monthLength, closings, ownEvents, monthStart);
        AppendDayCells(out, parts, style);
    } else if (options.holidays || options.rokuyo || options.solarTerms || options.seasonalDays ||
               options.moonPhases) {
        AppendDayCells(out, KeptMonthParts(options, year, month, monthLength), style);
    } else {
        AppendDayCells(out, PlainMonthParts(), style);
    }
    out += "</tr></table>";
    if (!ownEvents.empty()) AppendEventList(out, ownEvents, monthStart, monthEnd);
}

std::string MakeCalendarTable(const PageOptions& options, int year, int month) {
    std::string table;
    table.reserve(1536);
    AppendCalendarTable(table, options, year, month);
    return table;
}

}  // namespace rumora
