#include "calendar/almanac.h"

#include "calendar/sky_events.h"

namespace rumora::almanac {

namespace {

using sky::Day;

// The 立春, 立夏, 立秋 and 立冬 that end the winter, spring, summer and
// autumn 土用.
constexpr int kDoyoEnd[4] = {2, 8, 14, 20};

// Day 干支 0 (甲子) to 59: 1970-01-01 was 辛巳 (17).
int Sexagenary(Day day) { return ((day + 17) % 60 + 60) % 60; }
constexpr int kTsuchinoe = 4;  // 戊, a 十干
constexpr int kUshi = 1;       // 丑, a 十二支

// The 戊 day nearest the equinox day. When it is a 癸 day the two are five
// days away: the earlier if the instant is before noon, else the later, as
// the observatory has taken it since 1881.
Day Shanichi(const sky::SolarDay& equinox) {
    const int ahead = ((kTsuchinoe - Sexagenary(equinox.day) % 10) + 10) % 10;
    if (ahead < 5 || (ahead == 5 && !equinox.before_noon)) return equinox.day + ahead;
    return equinox.day + ahead - 10;
}

// The events of a whole year, month by month. A page shows a year's months
// one after another, so the year is found in one pass and kept for them.
class Year {
  public:
    explicit Year(int year) {
        for (int month = 1; month <= 12; ++month) starts_[month - 1] = sky::ToDay(year, month, 1);
        starts_[12] = sky::ToDay(year + 1, 1, 1);
    }

    Day first() const { return starts_[0]; }
    Day end() const { return starts_[12]; }

    void Add(Day day, Kind kind, int index) {
        if (day < first() || day >= end()) return;
        std::size_t month = 0;
        while (day >= starts_[month + 1]) ++month;
        MonthAlmanac::Day& d =
            months_[month].days[static_cast<std::size_t>(day - starts_[month] + 1)];
        if (d.count < kMaxEventsPerDay) d.events[d.count++] = {kind, std::uint8_t(index)};
    }

    const std::array<MonthAlmanac, 12>& months() const { return months_; }

  private:
    std::array<Day, 13> starts_{};
    std::array<MonthAlmanac, 12> months_{};
};

void AddSeasonalDays(Year& y, const std::array<sky::SolarDay, sky::kSolarEvents>& sun) {
    const Day risshun = sun[sky::kRisshun].day;
    y.Add(risshun - 1, Kind::SeasonalDay, kSetsubun);
    for (const int equinox : {sky::kShunbun, sky::kShubun}) {
        y.Add(sun[equinox].day - 3, Kind::SeasonalDay, kHiganIri);
        y.Add(sun[equinox].day + 3, Kind::SeasonalDay, kHiganAke);
        y.Add(Shanichi(sun[equinox]), Kind::SeasonalDay, kShanichi);
    }
    y.Add(risshun + 87, Kind::SeasonalDay, kHachijuHachiya);
    y.Add(risshun + 209, Kind::SeasonalDay, kNihyakuToka);
    y.Add(risshun + 219, Kind::SeasonalDay, kNihyakuHatsuka);
    y.Add(sun[sky::kNyubai].day, Kind::SeasonalDay, kNyubai);
    y.Add(sun[sky::kHangesho].day, Kind::SeasonalDay, kHangesho);
    for (int season = 0; season < 4; ++season) {
        const Day start = sun[std::size_t(sky::kFirstDoyo + season)].day;
        y.Add(start, Kind::SeasonalDay, kDoyoIri);
        // 丑 days are 12 apart.
        const Day end = sun[std::size_t(kDoyoEnd[season])].day;
        for (Day day = start + (kUshi - Sexagenary(start) % 12 + 12) % 12; day < end; day += 12) {
            y.Add(day, Kind::SeasonalDay, kDoyoUshi);
        }
    }
}

std::array<MonthAlmanac, 12> YearOf(int year, bool solarTerms, bool seasonalDays, bool moonPhases) {
    Year y(year);
    if (solarTerms || seasonalDays) {
        // Every event of the sun that a day of the year can show lies in the
        // year itself.
        const std::array<sky::SolarDay, sky::kSolarEvents> sun = sky::SolarDaysOf(year);
        if (solarTerms) {
            for (int i = 0; i < sky::kTerms; ++i)
                y.Add(sun[std::size_t(i)].day, Kind::SolarTerm, i);
        }
        if (seasonalDays) AddSeasonalDays(y, sun);
    }
    if (moonPhases) {
        for (int k = sky::LunationOf(y.first()); sky::MoonDayOf(k, 0) < y.end(); ++k) {
            for (int q = 0; q < sky::kQuarters; ++q)
                y.Add(sky::MoonDayOf(k, q), Kind::MoonPhase, q);
        }
    }
    return y.months();
}

}  // namespace

MonthAlmanac AlmanacOfMonth(int year, int month, bool solarTerms, bool seasonalDays,
                            bool moonPhases) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) return {};
    // The last two years asked for on this thread: a page's months lie in
    // at most two.
    struct Kept {
        int year = 0;
        int groups = 0;
        std::array<MonthAlmanac, 12> months{};
    };
    thread_local std::array<Kept, 2> kept;
    thread_local std::size_t older = 0;
    const int groups = (solarTerms ? 1 : 0) | (seasonalDays ? 2 : 0) | (moonPhases ? 4 : 0);
    for (const Kept& k : kept) {
        if (k.year == year && k.groups == groups) return k.months[std::size_t(month - 1)];
    }
    Kept& slot = kept[older];
    older ^= 1;
    slot.months = YearOf(year, solarTerms, seasonalDays, moonPhases);
    slot.year = year;
    slot.groups = groups;
    return slot.months[std::size_t(month - 1)];
}

std::string_view EventName(Event event, bool japanese) {
    static constexpr std::array<std::string_view, 24> kTerms{
        "小寒", "大寒", "立春", "雨水", "啓蟄", "春分", "清明", "穀雨",
        "立夏", "小満", "芒種", "夏至", "小暑", "大暑", "立秋", "処暑",
        "白露", "秋分", "寒露", "霜降", "立冬", "小雪", "大雪", "冬至"};
    // Hepburn without macrons, which the page's code page lacks; 小暑 keeps
    // its long vowel as "ou" so as not to read as 処暑.
    static constexpr std::array<std::string_view, 24> kRomanisedTerms{
        "Shokan", "Daikan", "Risshun", "Usui",  "Keichitsu", "Shunbun",  "Seimei",   "Kokuu",
        "Rikka",  "Shoman", "Boshu",   "Geshi", "Shousho",   "Taisho",   "Risshu",   "Shosho",
        "Hakuro", "Shubun", "Kanro",   "Soko",  "Ritto",     "Shosetsu", "Taisetsu", "Toji"};
    static constexpr std::array<std::string_view, kSeasonalDays> kSeasonal{
        "節分",       "彼岸入り", "彼岸明け", "社日",     "八十八夜", "二百十日",
        "二百二十日", "入梅",     "半夏生",   "土用入り", "土用の丑"};
    static constexpr std::array<std::string_view, kSeasonalDays> kRomanisedSeasonal{
        "Setsubun",        "Higan-iri", "Higan-ake", "Shanichi", "Hachiju-hachiya", "Nihyaku-toka",
        "Nihyaku-hatsuka", "Nyubai",    "Hangesho",  "Doyo-iri", "Doyo no Ushi"};
    static constexpr std::array<std::string_view, 4> kPhases{"新月", "上弦", "満月", "下弦"};
    static constexpr std::array<std::string_view, 4> kEnglishPhases{"New moon", "First quarter",
                                                                    "Full moon", "Last quarter"};
    switch (event.kind) {
        case Kind::SolarTerm:
            return (japanese ? kTerms : kRomanisedTerms).at(event.index);
        case Kind::SeasonalDay:
            return (japanese ? kSeasonal : kRomanisedSeasonal).at(event.index);
        case Kind::MoonPhase:
            return (japanese ? kPhases : kEnglishPhases).at(event.index);
    }
    return {};
}

}  // namespace rumora::almanac
