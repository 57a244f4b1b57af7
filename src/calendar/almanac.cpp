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

class Month {
  public:
    Month(int year, int month)
        : first_(sky::ToDay(year, month, 1)), length_(sky::DaysInMonth(year, month)) {}

    Day first() const { return first_; }
    Day end() const { return first_ + length_; }

    void Add(Day day, Kind kind, int index) {
        if (day < first_ || day >= end()) return;
        MonthAlmanac::Day& d = result_.days[static_cast<std::size_t>(day - first_ + 1)];
        if (d.count < kMaxEventsPerDay) d.events[d.count++] = {kind, std::uint8_t(index)};
    }

    const MonthAlmanac& result() const { return result_; }

  private:
    Day first_;
    int length_;
    MonthAlmanac result_;
};

void AddSeasonalDays(Month& m, const std::array<sky::SolarDay, sky::kSolarEvents>& sun) {
    const Day risshun = sun[sky::kRisshun].day;
    m.Add(risshun - 1, Kind::SeasonalDay, kSetsubun);
    for (const int equinox : {sky::kShunbun, sky::kShubun}) {
        m.Add(sun[equinox].day - 3, Kind::SeasonalDay, kHiganIri);
        m.Add(sun[equinox].day + 3, Kind::SeasonalDay, kHiganAke);
        m.Add(Shanichi(sun[equinox]), Kind::SeasonalDay, kShanichi);
    }
    m.Add(risshun + 87, Kind::SeasonalDay, kHachijuHachiya);
    m.Add(risshun + 209, Kind::SeasonalDay, kNihyakuToka);
    m.Add(risshun + 219, Kind::SeasonalDay, kNihyakuHatsuka);
    m.Add(sun[sky::kNyubai].day, Kind::SeasonalDay, kNyubai);
    m.Add(sun[sky::kHangesho].day, Kind::SeasonalDay, kHangesho);
    for (int season = 0; season < 4; ++season) {
        const Day start = sun[std::size_t(sky::kFirstDoyo + season)].day;
        m.Add(start, Kind::SeasonalDay, kDoyoIri);
        for (Day day = start; day < sun[std::size_t(kDoyoEnd[season])].day; ++day) {
            if (Sexagenary(day) % 12 == kUshi) m.Add(day, Kind::SeasonalDay, kDoyoUshi);
        }
    }
}

}  // namespace

MonthAlmanac AlmanacOfMonth(int year, int month, bool solarTerms, bool seasonalDays,
                            bool moonPhases) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) return {};
    Month m(year, month);
    if (solarTerms || seasonalDays) {
        // Every event of the sun that a day of the year can show lies in the
        // year itself.
        std::array<sky::SolarDay, sky::kSolarEvents> sun{};
        for (int i = 0; i < sky::kSolarEvents; ++i) sun[std::size_t(i)] = sky::SolarDayOf(year, i);
        if (solarTerms) {
            for (int i = 0; i < sky::kTerms; ++i)
                m.Add(sun[std::size_t(i)].day, Kind::SolarTerm, i);
        }
        if (seasonalDays) AddSeasonalDays(m, sun);
    }
    if (moonPhases) {
        for (int k = sky::LunationOf(m.first()); sky::MoonDayOf(k, 0) < m.end(); ++k) {
            for (int q = 0; q < sky::kQuarters; ++q)
                m.Add(sky::MoonDayOf(k, q), Kind::MoonPhase, q);
        }
    }
    return m.result();
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
