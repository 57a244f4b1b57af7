#include "page/month_table.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "calendar/almanac.h"
#include "calendar/holidays.h"
#include "calendar/old_calendar.h"
#include "calendar/wareki.h"
#include "page/markup.h"
#include "page/page_error.h"

namespace rumora {

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
struct Piece {
    static constexpr std::size_t kWidth = 48;
    std::array<char, kWidth> bytes{};
    std::size_t size = 0;

    Piece() = default;
    Piece(std::initializer_list<std::string_view> parts) {
        for (const std::string_view part : parts) {
            if (part.size() > kWidth - size) throw std::logic_error("a cell piece is too long");
            std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
            size += part.size();
        }
    }
};

// The month's cells are put together here and reach the page a kilobyte at
// a time: a page has thousands of short pieces, and each append to the page
// itself would cost a call. Page() hands the page over with all of them.
class CellText {
  public:
    explicit CellText(std::string& page) : page_(page) {}
    CellText(const CellText&) = delete;
    CellText& operator=(const CellText&) = delete;

    // Inlined, so that a literal's copy has its size known.
    [[gnu::always_inline]] void Put(std::string_view text) {
        if (text.size() > Room()) {
            Flush();
            if (text.size() > kSize) {
                page_ += text;
                return;
            }
        }
        std::memcpy(end_, text.data(), text.size());
        end_ += text.size();
    }
    [[gnu::always_inline]] void Put(const Piece& piece) {
        if (Piece::kWidth > Room()) Flush();
        std::memcpy(end_, piece.bytes.data(), Piece::kWidth);
        end_ += piece.size;
    }
    // A day of the month, 1 to 31.
    [[gnu::always_inline]] void PutDay(int day) {
        if (Room() < 2) Flush();
        if (day >= 10) *end_++ = static_cast<char>('0' + day / 10);
        *end_++ = static_cast<char>('0' + day % 10);
    }
    // Text placed inside markup, as AppendHtmlEscaped writes it.
    void PutEscaped(std::string_view text) {
        if (NeedsHtmlEscaping(text)) {
            AppendHtmlEscaped(Page(), text);
        } else {
            Put(text);
        }
    }
    // The page itself, for the appenders that write there.
    std::string& Page() {
        Flush();
        return page_;
    }

  private:
    static constexpr std::size_t kSize = 1024;
    std::size_t Room() const { return static_cast<std::size_t>(buffer_.data() + kSize - end_); }
    void Flush() {
        page_.append(buffer_.data(), static_cast<std::size_t>(end_ - buffer_.data()));
        end_ = buffer_.data();
    }

    std::string& page_;
    std::array<char, kSize> buffer_;
    char* end_ = buffer_.data();
};

// "<br><font size=-2>仏滅</font>": a line under the day's number.
Piece SmallLine(std::string_view name) { return {"<br><font size=-2>", name, "</font>"}; }

using RokuyoLines = std::array<Piece, 6>;

const RokuyoLines& RokuyoLinesIn(bool japanese) {
    static const auto kLines = [] {
        std::array<RokuyoLines, 2> lines;
        for (int i = 0; i < 6; ++i) {
            lines[0][std::size_t(i)] = SmallLine(old_calendar::RokuyoName(i, false));
            lines[1][std::size_t(i)] = SmallLine(old_calendar::RokuyoName(i, true));
        }
        return lines;
    }();
    return kLines[japanese];
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

    std::array<std::int8_t, 31> rokuyo{};
    const bool withRokuyo = options.rokuyo && old_calendar::MonthRokuyo(year, month, rokuyo);

    // Weekdays 1 = Sunday ... 7 = Saturday; a week's row closes after its
    // last column, Saturday or Sunday.
    const int lastWeekday = mondayFirst ? 1 : 7;
    const int blanks = mondayFirst ? (firstWeekday + 5) % 7 : firstWeekday - 1;
    for (int i = 0; i < blanks; ++i) out += "<td></td>";

    // A closed day's tag opening and label, made once for the month.
    std::string closedTag;
    std::string closedLabel;
    if (closings != nullptr) {
        closedTag = "<td bgcolor=";
        AppendColour(closedTag, options.closingColor);
        AppendHtmlEscaped(closedLabel, ClosedLabel(options));
    }
    const std::int32_t monthEnd = monthStart + monthLength - 1;
    const std::vector<const PageEvent*> ownEvents =
        options.events.empty() ? std::vector<const PageEvent*>{}
                               : EventsOfMonth(options, monthStart, monthEnd);
    std::vector<const PageEvent*> dayEvents;
    static const EventPieceTable kNoEvents{};
    const EventPieceTable& eventPieces = withAlmanac ? EventPiecesIn(japanese) : kNoEvents;
    static const RokuyoLines kNoRokuyo{};
    const RokuyoLines& rokuyoLines = withRokuyo ? RokuyoLinesIn(japanese) : kNoRokuyo;
    CellText cell(out);
    int weekday = firstWeekday;
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
        if (!closed && holiday == nullptr && events.empty() && dayEvents.empty()) {
            cell.Put("<td>");
        } else {
            cell.Put(closed ? std::string_view(closedTag) : std::string_view("<td"));
            // One name a line: the holiday's, the closing label, then the
            // almanac's in their order.
            cell.Put(" title=\"");
            bool first = true;
            const auto line = [&] {
                if (!first) cell.Put("&#10;");
                first = false;
            };
            if (holiday != nullptr) {
                line();
                cell.PutEscaped(holiday);
            }
            if (closed) {
                line();
                cell.Put(closedLabel);
            }
            for (const almanac::Event event : events) {
                line();
                cell.Put(PiecesOf(eventPieces, event).name);
            }
            // The user's own events last, timed ones with their start.
            for (std::size_t i = 0; i < dayEvents.size(); ++i) {
                line();
                if (i == kEventsShown) {
                    AppendMore(cell.Page(), dayEvents.size() - i);
                    break;
                }
                if (dayEvents[i]->startMinute != PageEvent::kAllDay) {
                    AppendClock(cell.Page(), dayEvents[i]->startMinute);
                    cell.Put(" ");
                }
                cell.Put(dayEvents[i]->name);
            }
            cell.Put("\">");
        }
        if (holiday != nullptr || weekday == 1) {
            cell.Put("<font color=#ff0000>");
            cell.PutDay(day);
            cell.Put("</font>");
        } else if (weekday == 7) {
            cell.Put("<font color=#0000ff>");
            cell.PutDay(day);
            cell.Put("</font>");
        } else {
            cell.PutDay(day);
        }
        // The phase, when the day has one, comes last: its mark follows the
        // number, the other names go under it.
        std::span<const almanac::Event> named = events;
        if (!events.empty() && events.back().kind == almanac::Kind::MoonPhase) {
            cell.Put(PiecesOf(eventPieces, events.back()).inCell);
            named = events.first(events.size() - 1);
        }
        // A mark that prints: the day has events of the user's own.
        if (!dayEvents.empty()) cell.Put("<font size=-2>◆</font>");
        if (withRokuyo) cell.Put(rokuyoLines[static_cast<std::size_t>(rokuyo[day - 1])]);
        for (const almanac::Event event : named) cell.Put(PiecesOf(eventPieces, event).inCell);
        cell.Put("</td>");
        if (weekday == lastWeekday) {
            cell.Put("</tr>\r\n<tr align=right>");
        }
        weekday = weekday % 7 + 1;
    }
    cell.Page();
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
