#include "events/event_reader.h"

#include <fcntl.h>
#include <iconv.h>
#include <libical/ical.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include "core/utf8.h"

namespace rumora::events {

extern const char* const kWindowsZones[][2];
extern const std::size_t kWindowsZoneCount;

std::string_view ZoneForWindowsName(std::string_view windowsName) {
    const auto* end = kWindowsZones + kWindowsZoneCount;
    const auto* found = std::lower_bound(
        kWindowsZones, end, windowsName,
        [](const char* const* row, std::string_view name) { return row[0] < name; });
    return found != end && found[0][0] == windowsName ? found[0][1] : std::string_view{};
}

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kJapanOffset = 9 * 3600;  // no summer time since 1951

std::int64_t FloorDiv(std::int64_t value, std::int64_t by) {
    return value / by - (value % by != 0 && (value < 0) != (by < 0) ? 1 : 0);
}

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    using namespace std::chrono;
    return sys_days{year{static_cast<int>(y)} / month{m} / day{d}}.time_since_epoch().count();
}

icaltimetype CivilFromSeconds(std::int64_t seconds, bool date) {
    using namespace std::chrono;
    const std::int64_t days = FloorDiv(seconds, kDay);
    const year_month_day civil{sys_days{std::chrono::days{days}}};
    icaltimetype t = icaltime_null_time();
    t.year = static_cast<int>(civil.year());
    t.month = static_cast<int>(static_cast<unsigned>(civil.month()));
    t.day = static_cast<int>(static_cast<unsigned>(civil.day()));
    const std::int64_t rest = seconds - days * kDay;
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest / 60 % 60);
    t.second = static_cast<int>(rest % 60);
    t.is_date = date ? 1 : 0;
    return t;
}

// A wall-clock time as seconds since 1970 as if it were UTC.
std::int64_t WallSeconds(const icaltimetype& t) {
    return DaysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day)) *
               kDay +
           (t.is_date ? 0 : t.hour * 3600 + t.minute * 60 + t.second);
}

// Whether BYDAY asks for a weekday past the last of its span: the sixth
// Wednesday of a month, the 60th Monday of a year. No date matches, and
// libical searches for one for a second or more before it gives up.
bool AsksForAMissingWeekday(const icalrecurrencetype& rule) {
    const bool inMonths =
        rule.freq == ICAL_MONTHLY_RECURRENCE ||
        (rule.freq == ICAL_YEARLY_RECURRENCE && rule.by_month[0] != ICAL_RECURRENCE_ARRAY_MAX);
    const int weeks = inMonths ? 5 : 53;
    for (int i = 0; i < ICAL_BY_DAY_SIZE && rule.by_day[i] != ICAL_RECURRENCE_ARRAY_MAX; ++i) {
        if (std::abs(icalrecurrencetype_day_position(rule.by_day[i])) > weeks) return true;
    }
    return false;
}

bool Placeable(const icaltimetype& t) {
    return !icaltime_is_null_time(t) && t.year >= 1 && t.year <= 9999 && t.month >= 1 &&
           t.month <= 12 && t.day >= 1 && t.day <= icaltime_days_in_month(t.month, t.year) &&
           t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 &&
           t.second <= 60;
}

// --- Text as it comes -------------------------------------------------------

int LineOf(std::string_view text, std::size_t at) {
    return 1 +
           static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(at), '\n'));
}

// Where the bytes stop being UTF-8, or npos. A NUL would end libical's text.
std::size_t FirstBadByte(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == '\0') return i;
        const std::size_t length = Utf8SequenceLength(text, i);
        if (length == 0) return i;
        i += length;
    }
    return std::string_view::npos;
}

// Old Japanese exports are code page 932; only a clean decoding counts.
std::optional<std::string> FromCodePage932(std::string_view bytes) {
    const iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string out(bytes.size() * 3 / 2 + 16, '\0');
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) return std::nullopt;
    out.resize(out.size() - outLeft);
    if (FirstBadByte(out) != std::string::npos) return std::nullopt;
    return out;
}

// --- Time zones ---------------------------------------------------------------

struct Zone {
    enum class Kind { Floating, Utc, Named } kind = Kind::Floating;
    icaltimezone* zone = nullptr;
};

std::int64_t UtcFromWall(const icaltimetype& wall, const Zone& zone) {
    const std::int64_t seconds = WallSeconds(wall);
    switch (zone.kind) {
        case Zone::Kind::Utc:
            return seconds;
        case Zone::Kind::Floating:
            return seconds - kJapanOffset;  // floating times are Japan time
        case Zone::Kind::Named:
            break;
    }
    icaltimetype asked = wall;
    asked.is_date = 0;
    asked.zone = nullptr;
    int daylight = 0;
    return seconds - icaltimezone_get_utc_offset(zone.zone, &asked, &daylight);
}

std::int64_t WallFromUtc(std::int64_t utc, const Zone& zone) {
    switch (zone.kind) {
        case Zone::Kind::Utc:
            return utc;
        case Zone::Kind::Floating:
            return utc + kJapanOffset;
        case Zone::Kind::Named:
            break;
    }
    // The offset at the wall time near it, twice, which settles on either
    // side of a change.
    std::int64_t wall = utc;
    for (int i = 0; i < 2; ++i)
        wall = utc + (wall - UtcFromWall(CivilFromSeconds(wall, false), zone));
    return wall;
}

class Zones {
  public:
    explicit Zones(icalcomponent* calendar) : calendar_(calendar) {}
    Zones(const Zones&) = delete;
    Zones& operator=(const Zones&) = delete;

    // The zone a time property names: its TZID in the file's VTIMEZONEs
    // (wherever they stand in it), else the system's zone of that name or
    // of the Windows name's zone. A UTC time has none; nothing known: none.
    std::optional<Zone> Of(icalproperty* property, const icaltimetype& time) {
        if (icaltime_is_utc(time)) return Zone{Zone::Kind::Utc, nullptr};
        icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
        const char* name = tzid != nullptr ? icalparameter_get_tzid(tzid) : nullptr;
        if (name == nullptr || *name == '\0') return Zone{};
        const std::string key(name);
        if (const auto found = known_.find(key); found != known_.end()) return found->second;
        icaltimezone* zone = icalcomponent_get_timezone(calendar_, name);
        if (zone == nullptr) zone = icaltimezone_get_builtin_timezone(name);
        if (zone == nullptr) {
            const std::string_view olson = ZoneForWindowsName(key);
            if (!olson.empty())
                zone = icaltimezone_get_builtin_timezone(std::string(olson).c_str());
        }
        if (zone == nullptr && key == "UTC") return known_[key] = Zone{Zone::Kind::Utc, nullptr};
        std::optional<Zone> result;
        if (zone != nullptr) result = Zone{Zone::Kind::Named, zone};
        return known_[key] = result;
    }

  private:
    icalcomponent* calendar_;
    std::map<std::string, std::optional<Zone>> known_;
};

// --- Events -------------------------------------------------------------------

struct Moment {
    icaltimetype time{};  // wall clock in its zone, or a date
    Zone zone;
};

struct Instance {
    std::int64_t wall = 0;       // start, in the series' wall clock
    std::int64_t periodEnd = 0;  // an RDATE period's end, UTC; 0 for none
    bool hasPeriodEnd = false;
};

// Which instances of a series are gone or moved: by UTC start for timed
// series, and by date where the file gives a date.
struct InstanceKeys {
    std::set<std::int64_t> utc;
    std::set<std::int64_t> dates;

    bool Holds(std::int64_t instanceUtc, std::int64_t wall, bool allDay) const {
        if (!allDay && utc.count(instanceUtc) != 0) return true;
        return dates.count(FloorDiv(wall, kDay)) != 0;
    }
};

struct Override {
    icalcomponent* event = nullptr;
    int line = 0;
};

// libical keeps what it cannot parse as an X-LIC-ERROR property and goes
// on, so errors never fail a parse. An error in a property the event's days
// or name come from (or in one it cannot name) makes the event not what its
// writer meant: it is left out, saying why. Others, such as the empty
// LOCATION that Google writes, change nothing here.
const char* UnreadableBecause(icalcomponent* event) {
    static constexpr std::string_view kUsed[] = {"DTSTART", "DTEND",  "DURATION",      "RRULE",
                                                 "RDATE",   "EXDATE", "RECURRENCE-ID", "STATUS",
                                                 "SUMMARY", "UID"};
    for (icalproperty* error = icalcomponent_get_first_property(event, ICAL_XLICERROR_PROPERTY);
         error != nullptr;
         error = icalcomponent_get_next_property(event, ICAL_XLICERROR_PROPERTY)) {
        const char* why = icalproperty_get_xlicerror(error);
        if (why == nullptr || *why == '\0') return "libical cannot read it";
        const std::string_view text(why);
        const std::size_t named = text.find(" property");
        if (named == std::string_view::npos) return why;
        const std::size_t from = text.rfind(' ', named - 1);
        const std::string_view name =
            text.substr(from == std::string_view::npos ? 0 : from + 1,
                        named - (from == std::string_view::npos ? 0 : from + 1));
        if (std::find(std::begin(kUsed), std::end(kUsed), name) != std::end(kUsed)) return why;
    }
    return nullptr;
}

class Reader {
  public:
    Reader(std::int32_t firstDay, std::int32_t lastDay, const Limits& limits, Calendar& out)
        : firstDay_(firstDay), lastDay_(lastDay), limits_(limits), out_(out) {}

    void ReadCalendarComponent(icalcomponent* calendar, const std::vector<int>& lines,
                               std::size_t& eventIndex) {
        Zones zones(calendar);
        zones_ = &zones;
        std::vector<std::pair<icalcomponent*, int>> masters;
        overrides_.clear();
        cancelledUids_.clear();
        for (icalcomponent* event =
                 icalcomponent_get_first_component(calendar, ICAL_VEVENT_COMPONENT);
             event != nullptr;
             event = icalcomponent_get_next_component(calendar, ICAL_VEVENT_COMPONENT)) {
            const int line = eventIndex < lines.size() ? lines[eventIndex] : 0;
            ++eventIndex;
            if (!Spend(1, line)) return;
            if (const char* why = UnreadableBecause(event)) {
                Warn(line, why);
                continue;
            }
            const char* uid = icalcomponent_get_uid(event);
            const bool cancelled = icalcomponent_get_status(event) == ICAL_STATUS_CANCELLED;
            if (icalcomponent_get_first_property(event, ICAL_RECURRENCEID_PROPERTY) != nullptr &&
                uid != nullptr) {
                overrides_[uid].push_back({event, line});
            } else if (cancelled) {
                if (uid != nullptr) cancelledUids_.insert(uid);
            } else {
                masters.emplace_back(event, line);
            }
        }
        for (const auto& [event, line] : masters) {
            if (stopped_) return;
            ReadMaster(event, line);
        }
        // A moved instance whose series is not in the file stands alone.
        for (const auto& [uid, list] : overrides_) {
            if (seriesSeen_.count(uid) != 0 || cancelledUids_.count(uid) != 0) continue;
            for (const Override& moved : list) ReadOverride(moved, std::nullopt, 0);
        }
        zones_ = nullptr;
    }

    bool Stopped() const { return stopped_; }

  private:
    // Every text from libical is copied into a std::string at once: its
    // functions without _r hand out a shared ring buffer that later calls
    // overwrite.
    void Warn(int line, std::string reason) { out_.warnings.push_back({line, std::move(reason)}); }

    bool Spend(std::int64_t work, int line) {
        fileWork_ += work;
        if (fileWork_ > limits_.workPerFile && !stopped_) {
            stopped_ = true;
            Warn(line, "the file needs more work than the limit of " +
                           std::to_string(limits_.workPerFile) +
                           " steps; its later events are left out");
        }
        return !stopped_;
    }

    std::optional<Moment> MomentOf(icalproperty* property, int line, const char* what) {
        if (property == nullptr) return std::nullopt;
        icalvalue* value = icalproperty_get_value(property);
        if (value == nullptr) return std::nullopt;
        icaltimetype time = icaltime_null_time();
        const icalvalue_kind kind = icalvalue_isa(value);
        if (kind == ICAL_DATETIME_VALUE || kind == ICAL_DATE_VALUE) {
            time = icalvalue_get_datetime(value);
        } else if (kind == ICAL_DATETIMEPERIOD_VALUE) {
            time = icalvalue_get_datetimeperiod(value).time;
        } else {
            return std::nullopt;
        }
        if (!Placeable(time)) {
            Warn(line, std::string(what) + " is no real date and time of the years 1 to 9999");
            return std::nullopt;
        }
        Moment moment;
        moment.time = time;
        moment.time.zone = nullptr;
        // A date is a day in any zone: a TZID on it changes nothing.
        if (!time.is_date) {
            const std::optional<Zone> zone = zones_->Of(property, time);
            if (!zone) {
                icalparameter* tzid =
                    icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
                Warn(line, std::string(what) + ": unknown time zone \"" +
                               icalparameter_get_tzid(tzid) + "\", taken as Japan time");
            } else {
                moment.zone = *zone;
            }
        }
        return moment;
    }

    // Adds the instance if it touches the page's days; false once the
    // event has as many as it may keep.
    bool Keep(std::int64_t startUtc, std::int64_t endUtc, bool allDay, std::int64_t startWall,
              std::int32_t dayCount, const char* summary, int line, int& kept) {
        Occurrence occurrence;
        if (allDay) {
            occurrence.firstDay = static_cast<std::int32_t>(FloorDiv(startWall, kDay));
            occurrence.lastDay = occurrence.firstDay + std::max(dayCount, 1) - 1;
            occurrence.startSecond = startWall;
        } else {
            const std::int64_t start = startUtc + kJapanOffset;
            const std::int64_t end = std::max(endUtc, startUtc) + kJapanOffset;
            occurrence.firstDay = static_cast<std::int32_t>(FloorDiv(start, kDay));
            // The end is not covered: an event to 00:00 stops the day before.
            occurrence.lastDay = end > start ? static_cast<std::int32_t>(FloorDiv(end - 1, kDay))
                                             : occurrence.firstDay;
            occurrence.startMinute =
                static_cast<std::int32_t>((start - std::int64_t{occurrence.firstDay} * kDay) / 60);
            occurrence.startSecond = start;
        }
        if (occurrence.lastDay < firstDay_ || occurrence.firstDay > lastDay_) return true;
        if (out_.occurrences.size() >= kOccurrencesPerPage) {
            if (!stopped_) {
                stopped_ = true;
                Warn(line, "more than " + std::to_string(kOccurrencesPerPage) +
                               " occurrences on the page; the file's later events are left out");
            }
            return false;
        }
        if (kept >= limits_.occurrencesPerEvent) {
            Warn(line, "more than " + std::to_string(limits_.occurrencesPerEvent) +
                           " occurrences on the page; the rest are left out");
            return false;
        }
        ++kept;
        occurrence.summary = summary != nullptr ? summary : "";
        out_.occurrences.push_back(std::move(occurrence));
        return true;
    }

    // Seconds from start to end as the event gives them: DTEND (read in the
    // start's zone when it has none of its own) or DURATION; none, or an end
    // before the start, is no length.
    struct Length {
        std::int64_t seconds = 0;
        std::int32_t days = 1;  // for all-day events
        bool given = false;
    };
    Length LengthOf(icalcomponent* event, const Moment& start, int line) {
        Length length;
        if (icalproperty* end = icalcomponent_get_first_property(event, ICAL_DTEND_PROPERTY)) {
            std::optional<Moment> until = MomentOf(end, line, "DTEND");
            if (!until) return length;
            length.given = true;
            if (start.time.is_date) {
                // Computed here from the dates: libical's spans of all-day
                // events are a day off in some cases. The end is exclusive.
                length.days = static_cast<std::int32_t>(FloorDiv(WallSeconds(until->time), kDay) -
                                                        FloorDiv(WallSeconds(start.time), kDay));
            } else {
                // An end without a zone belongs to the start's.
                if (until->zone.kind == Zone::Kind::Floating && !until->time.is_date &&
                    icalproperty_get_first_parameter(end, ICAL_TZID_PARAMETER) == nullptr) {
                    until->zone = start.zone;
                }
                if (until->time.is_date) until->zone = start.zone;
                length.seconds =
                    UtcFromWall(until->time, until->zone) - UtcFromWall(start.time, start.zone);
            }
        } else if (icalproperty* duration =
                       icalcomponent_get_first_property(event, ICAL_DURATION_PROPERTY)) {
            const icaldurationtype d = icalproperty_get_duration(duration);
            const std::int64_t seconds =
                ((std::int64_t{d.weeks} * 7 + d.days) * 24 + d.hours) * 3600 +
                std::int64_t{d.minutes} * 60 + d.seconds;
            length.given = true;
            length.seconds = d.is_neg ? 0 : seconds;
            length.days = static_cast<std::int32_t>(
                std::min<std::int64_t>(FloorDiv(length.seconds, kDay), 100000));
        }
        length.seconds = std::clamp<std::int64_t>(length.seconds, 0, 1000 * 366 * kDay);
        length.days = std::clamp(length.days, 1, 366 * 1000);
        return length;
    }

    // EXDATE and RECURRENCE-ID values as keys of the series: without a
    // zone a time is the series' wall clock, as the programs that write
    // them mean; a date names that date.
    void AddKey(InstanceKeys& keys, icalproperty* property, const Moment& series, int line,
                const char* what) {
        std::optional<Moment> moment = MomentOf(property, line, what);
        if (!moment) return;
        if (moment->time.is_date || series.time.is_date) {
            std::int64_t wall = WallSeconds(moment->time);
            if (!moment->time.is_date && moment->zone.kind != Zone::Kind::Floating) {
                wall = WallFromUtc(UtcFromWall(moment->time, moment->zone), series.zone);
            }
            keys.dates.insert(FloorDiv(wall, kDay));
            return;
        }
        if (moment->zone.kind == Zone::Kind::Floating &&
            icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER) == nullptr) {
            moment->zone = series.zone;
        }
        keys.utc.insert(UtcFromWall(moment->time, moment->zone));
    }

    void ReadMaster(icalcomponent* event, int line) {
        const char* uid = icalcomponent_get_uid(event);
        if (uid != nullptr) seriesSeen_.insert(uid);
        const std::optional<Moment> start = MomentOf(
            icalcomponent_get_first_property(event, ICAL_DTSTART_PROPERTY), line, "DTSTART");
        if (!start) {
            Warn(line, "the event has no DTSTART that can be read; left out");
            return;
        }
        const bool allDay = start->time.is_date != 0;
        const Length length = LengthOf(event, *start, line);
        const std::int64_t startWall = WallSeconds(start->time);
        const char* summary = icalcomponent_get_summary(event);

        // libical's iterator does not drop the instances that RECURRENCE-ID
        // components replace, nor does it read EXDATE: both are kept here.
        InstanceKeys gone;
        for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_EXDATE_PROPERTY);
             p != nullptr; p = icalcomponent_get_next_property(event, ICAL_EXDATE_PROPERTY)) {
            AddKey(gone, p, *start, line, "EXDATE");
        }
        std::vector<std::pair<InstanceKeys, const Override*>> moved;
        if (uid != nullptr) {
            if (const auto found = overrides_.find(uid); found != overrides_.end()) {
                for (const Override& o : found->second) {
                    InstanceKeys keys;
                    AddKey(keys,
                           icalcomponent_get_first_property(o.event, ICAL_RECURRENCEID_PROPERTY),
                           *start, o.line, "RECURRENCE-ID");
                    gone.utc.insert(keys.utc.begin(), keys.utc.end());
                    gone.dates.insert(keys.dates.begin(), keys.dates.end());
                    moved.emplace_back(std::move(keys), &o);
                }
            }
        }

        std::set<std::int64_t> starts{startWall};
        std::map<std::int64_t, std::int64_t> periodEnds;
        const std::int64_t pageStartWall =
            std::int64_t{firstDay_} * kDay - 2 * kDay -
            (allDay ? std::int64_t{length.days} * kDay : length.seconds);
        const std::int64_t pageEndWall = (std::int64_t{lastDay_} + 3) * kDay;
        std::int64_t eventWork = 0;
        bool cut = false;
        for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RRULE_PROPERTY);
             p != nullptr && !cut;
             p = icalcomponent_get_next_property(event, ICAL_RRULE_PROPERTY)) {
            cut = !Expand(icalproperty_get_rrule(p), *start, pageStartWall, pageEndWall, starts,
                          eventWork, line);
        }
        for (icalproperty* p = icalcomponent_get_first_property(event, ICAL_RDATE_PROPERTY);
             p != nullptr; p = icalcomponent_get_next_property(event, ICAL_RDATE_PROPERTY)) {
            if (!Spend(1, line)) return;
            const icaldatetimeperiodtype rdate = icalproperty_get_rdate(p);
            std::optional<Moment> at = MomentOf(p, line, "RDATE");
            icaltimetype periodEnd = icaltime_null_time();
            if (!at && !icalperiodtype_is_null_period(rdate.period)) {
                // A period: the instance ends at its end.
                if (!Placeable(rdate.period.start)) continue;
                at = Moment{rdate.period.start, zones_->Of(p, rdate.period.start).value_or(Zone{})};
                at->time.zone = nullptr;
                periodEnd = rdate.period.end;
                if (icaltime_is_null_time(periodEnd)) {
                    const icaldurationtype d = rdate.period.duration;
                    periodEnd =
                        CivilFromSeconds(WallSeconds(at->time) + icaldurationtype_as_int(d), false);
                }
                periodEnd.zone = nullptr;
            }
            if (!at) continue;
            if (at->zone.kind == Zone::Kind::Floating &&
                icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER) == nullptr &&
                !icaltime_is_utc(rdate.time)) {
                at->zone = start->zone;
            }
            at->time.is_date = start->time.is_date;
            const std::int64_t wall =
                at->zone.kind == start->zone.kind && at->zone.zone == start->zone.zone
                    ? WallSeconds(at->time)
                    : WallFromUtc(UtcFromWall(at->time, at->zone), start->zone);
            starts.insert(allDay ? FloorDiv(wall, kDay) * kDay : wall);
            if (Placeable(periodEnd) && !allDay)
                periodEnds[wall] = UtcFromWall(periodEnd, at->zone);
        }

        int kept = 0;
        for (const std::int64_t wall : starts) {
            if (wall > pageEndWall) break;
            if (wall < pageStartWall) continue;
            const std::int64_t utc =
                allDay ? wall : UtcFromWall(CivilFromSeconds(wall, false), start->zone);
            if (gone.Holds(utc, wall, allDay)) continue;
            const auto period = periodEnds.find(wall);
            const std::int64_t end =
                period != periodEnds.end() ? period->second : utc + length.seconds;
            if (!Keep(utc, end, allDay, wall, length.days, summary, line, kept)) break;
        }
        for (const auto& [keys, o] : moved) {
            (void)keys;
            ReadOverride(*o, length, kept);
        }
        (void)cut;
    }

    // A moved instance: its own start, end and name; the series' length
    // and name where it gives none. A cancelled one shows nowhere.
    void ReadOverride(const Override& moved, std::optional<Length> seriesLength, int kept) {
        if (icalcomponent_get_status(moved.event) == ICAL_STATUS_CANCELLED) return;
        const std::optional<Moment> start =
            MomentOf(icalcomponent_get_first_property(moved.event, ICAL_DTSTART_PROPERTY),
                     moved.line, "DTSTART");
        if (!start) return;
        Length length = LengthOf(moved.event, *start, moved.line);
        if (!length.given && seriesLength) length = *seriesLength;
        const bool allDay = start->time.is_date != 0;
        const std::int64_t wall = WallSeconds(start->time);
        const std::int64_t utc = allDay ? wall : UtcFromWall(start->time, start->zone);
        const char* summary = icalcomponent_get_summary(moved.event);
        (void)Keep(utc, utc + length.seconds, allDay, wall, length.days, summary, moved.line, kept);
    }

    // The rule's instance starts within the page (and a margin), in the
    // series' wall clock. False when the event's work ran out.
    bool Expand(icalrecurrencetype rule, const Moment& start, std::int64_t pageStartWall,
                std::int64_t pageEndWall, std::set<std::int64_t>& starts, std::int64_t& eventWork,
                int line) {
        // UNTIL is compared here, in the series' wall clock and inclusive.
        // The iterator runs on the wall clock without a zone, where libical
        // would compare a UTC UNTIL as if it were local time, across a
        // summer-time change too, and a DATE UNTIL as midnight, cutting off
        // that day's timed instance.
        std::optional<std::int64_t> until;
        if (!icaltime_is_null_time(rule.until)) {
            icaltimetype u = rule.until;
            if (!Placeable(u)) {
                Warn(line, "UNTIL is no real date and time of the years 1 to 9999");
                return true;
            }
            if (u.is_date) {
                until = WallSeconds(u) + (start.time.is_date ? 0 : kDay - 1);
            } else if (icaltime_is_utc(u)) {
                u.zone = nullptr;
                until = start.time.is_date
                            ? FloorDiv(WallFromUtc(WallSeconds(u), start.zone), kDay) * kDay
                            : WallFromUtc(WallSeconds(u), start.zone);
            } else {
                u.zone = nullptr;
                until = WallSeconds(u);
            }
            rule.until = icaltime_null_time();
        }
        if (AsksForAMissingWeekday(rule)) {
            Warn(line,
                 "BYDAY asks for a weekday that no month or year has so many of; only its "
                 "first date is shown");
            return true;
        }
        icaltimetype first = start.time;
        first.zone = nullptr;
        icalrecur_iterator* iterator = icalrecur_iterator_new(rule, first);
        if (iterator == nullptr) {
            Warn(line, "a repeat rule libical cannot expand; only its first date is shown");
            return true;
        }
        std::unique_ptr<icalrecur_iterator, decltype(&icalrecur_iterator_free)> owner(
            iterator, &icalrecur_iterator_free);
        // Each step costs libical an ICU calendar's work: a rule of days or
        // longer without COUNT starts near the page. Not for hours, minutes
        // and seconds, where libical's jump loses the rule's alignment with
        // DTSTART in 3.0.16.
        if (rule.count == 0 && rule.freq >= ICAL_DAILY_RECURRENCE &&
            rule.freq <= ICAL_YEARLY_RECURRENCE && pageStartWall > WallSeconds(first)) {
            icaltimetype from = CivilFromSeconds(pageStartWall, first.is_date != 0);
            if (!first.is_date) {
                from.hour = 0;
                from.minute = 0;
                from.second = 0;
            }
            (void)icalrecur_iterator_set_start(iterator, from);
        }
        int onPage = 0;
        while (true) {
            if (++eventWork > limits_.workPerEvent) {
                Warn(line, "the repeat rule needs more than " +
                               std::to_string(limits_.workPerEvent) +
                               " steps to reach the page; its later instances are left out");
                return false;
            }
            if (!Spend(1, line)) return false;
            const icaltimetype next = icalrecur_iterator_next(iterator);
            if (icaltime_is_null_time(next) || !Placeable(next)) break;
            const std::int64_t wall = WallSeconds(next);
            if ((until && wall > *until) || wall > pageEndWall) break;
            if (wall < pageStartWall) continue;
            starts.insert(wall);
            // More than the event may keep is never needed.
            if (++onPage > limits_.occurrencesPerEvent) break;
        }
        return true;
    }

    std::int32_t firstDay_;
    std::int32_t lastDay_;
    const Limits& limits_;
    Calendar& out_;
    Zones* zones_ = nullptr;
    std::map<std::string, std::vector<Override>> overrides_;
    std::set<std::string> cancelledUids_;
    std::set<std::string> seriesSeen_;
    std::int64_t fileWork_ = 0;
    bool stopped_ = false;
};

// The line of each BEGIN:VEVENT, in order, for the warnings: libical keeps
// no line numbers.
std::vector<int> EventLines(std::string_view text) {
    std::vector<int> lines;
    int line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view row = text.substr(at, end - at);
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);
        if (row.size() == 12) {
            std::string upper(row);
            for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            if (upper == "BEGIN:VEVENT") lines.push_back(line);
        }
        ++line;
        at = end + 1;
    }
    return lines;
}

// Folded lines joined: writers fold inside a UTF-8 or code page 932
// character, so the text is checked only once they are whole. `folds` holds
// where each fold was, for the lines of messages.
std::string Unfold(std::string_view bytes, std::vector<std::size_t>& folds) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\n', at);
        if (end == std::string_view::npos) {
            text.append(bytes.substr(at));
            break;
        }
        const std::size_t next = end + 1;
        if (next < bytes.size() && (bytes[next] == ' ' || bytes[next] == '\t')) {
            std::size_t kept = end;
            if (kept > at && bytes[kept - 1] == '\r') --kept;
            text.append(bytes.substr(at, kept - at));
            folds.push_back(text.size());
            at = next + 1;
        } else {
            text.append(bytes.substr(at, next - at));
            at = next;
        }
    }
    return text;
}

// Some of libical's warnings go straight to standard error (icalerror_warn,
// "Encountered END before BEGIN"): what matters of them reaches the user as
// the reader's own warnings, so libical's lines are kept from the terminal
// while it reads.
class QuietStandardError {
  public:
    QuietStandardError() {
        std::fflush(stderr);
        saved_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
        const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (saved_ >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
        if (null >= 0) ::close(null);
    }
    ~QuietStandardError() {
        std::fflush(stderr);
        if (saved_ < 0) return;
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
    }
    QuietStandardError(const QuietStandardError&) = delete;
    QuietStandardError& operator=(const QuietStandardError&) = delete;

  private:
    int saved_ = -1;
};

}  // namespace

Calendar ReadCalendar(std::string_view bytes, std::int32_t firstDay, std::int32_t lastDay,
                      const Limits& limits) {
    Calendar result;
    if (bytes.size() > limits.fileBytes) {
        result.problem =
            "larger than the limit of " + std::to_string(limits.fileBytes >> 20) + " MiB";
        return result;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const std::vector<int> lines = EventLines(bytes);
    std::vector<std::size_t> folds;
    std::string text = Unfold(bytes, folds);
    if (const std::size_t bad = FirstBadByte(text); bad != std::string_view::npos) {
        std::optional<std::string> decoded = FromCodePage932(text);
        if (!decoded) {
            const auto folded = std::upper_bound(folds.begin(), folds.end(), bad) - folds.begin();
            result.problem = "neither UTF-8 nor code page 932, from line " +
                             std::to_string(LineOf(text, bad) + folded);
            return result;
        }
        text = std::move(*decoded);
    }

    // libical reports through icalerrno and, built so, could abort on an
    // error: a file is input, never a reason to stop.
    icalerror_set_errors_are_fatal(0);
    const QuietStandardError quiet;
    std::unique_ptr<icalcomponent, decltype(&icalcomponent_free)> root(
        icalparser_parse_string(text.c_str()), &icalcomponent_free);
    std::vector<icalcomponent*> calendars;
    if (root != nullptr) {
        if (icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT) {
            calendars.push_back(root.get());
        } else if (icalcomponent_isa(root.get()) == ICAL_XROOT_COMPONENT) {
            for (icalcomponent* c =
                     icalcomponent_get_first_component(root.get(), ICAL_VCALENDAR_COMPONENT);
                 c != nullptr;
                 c = icalcomponent_get_next_component(root.get(), ICAL_VCALENDAR_COMPONENT)) {
                calendars.push_back(c);
            }
        }
    }
    if (calendars.empty()) {
        result.problem = "holds no VCALENDAR";
        return result;
    }
    Reader reader(firstDay, lastDay, limits, result);
    std::size_t eventIndex = 0;
    for (icalcomponent* calendar : calendars) {
        reader.ReadCalendarComponent(calendar, lines, eventIndex);
        if (reader.Stopped()) break;
    }
    icalerror_clear_errno();
    return result;
}

Calendar ReadCalendarFile(const std::string& path, std::int32_t firstDay, std::int32_t lastDay,
                          const Limits& limits) {
    Calendar result;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (file == nullptr) {
        result.problem = std::strerror(errno);
        return result;
    }
    std::string bytes;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        bytes.append(buffer, got);
        if (bytes.size() > limits.fileBytes) {
            result.problem =
                "larger than the limit of " + std::to_string(limits.fileBytes >> 20) + " MiB";
            return result;
        }
    }
    if (std::ferror(file.get())) {
        result.problem = std::strerror(errno);
        return result;
    }
    return ReadCalendar(bytes, firstDay, lastDay, limits);
}

}  // namespace rumora::events
