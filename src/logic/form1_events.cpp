#include <algorithm>

#include "events/page_event_list.h"
#include "files/code_page.h"
#include "logic/form1.h"

namespace rumora {

std::string CalendarFileProblemText(const std::string& path, const std::string& reason) {
    return "カレンダーファイルを使えません。\n" + path + "\n理由: " + reason;
}

bool Form1::IsCalendarFileName(const std::string& path) {
    std::string lower =
        path.substr(path.rfind('.') == std::string::npos ? path.size() : path.rfind('.'));
    for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return lower == ".ics" || lower == ".ical" || lower == ".ifb" || lower == ".icalendar";
}

void Form1::cmdEventsAdd_Click() {
    const std::string path = platform_.ShowOpenDialog(kCalendarFilter);
    if (!path.empty()) AddCalendarFile(path);
}

void Form1::cmdEventsRemove_Click() {
    ListBox& list = s.lstEvents;
    if (list.ListIndex < 0 || list.ListIndex >= static_cast<int>(list.List.size())) return;
    list.List.erase(list.List.begin() + list.ListIndex);
    list.ListIndex = std::min(list.ListIndex, static_cast<int>(list.List.size()) - 1);
    s.lblEventsProblem.Caption.clear();
}

void Form1::EventsDropped(const std::vector<std::string>& files) {
    for (const std::string& path : files) {
        if (IsCalendarFileName(path)) AddCalendarFile(path);
    }
}

void Form1::AddCalendarFile(const std::string& path) {
    ListBox& list = s.lstEvents;
    if (std::find(list.List.begin(), list.List.end(), path) != list.List.end()) return;
    const auto [firstDay, lastDay] = PageDays(PageOptionsFromSettings(s));
    const events::Calendar calendar = platform_.ReadCalendarFile(path, firstDay, lastDay);
    if (!calendar.problem.empty()) {
        platform_.ShowMessage(CalendarFileProblemText(path, calendar.problem));
        return;
    }
    list.List.push_back(path);
    list.ListIndex = static_cast<int>(list.List.size()) - 1;
    std::string problems;
    for (const events::Warning& warning : calendar.warnings) {
        if (!problems.empty()) problems += '\n';
        problems += std::to_string(warning.line) + " 行目: " + warning.reason;
    }
    s.lblEventsProblem.Caption = std::move(problems);
}

std::string Form1::ReadListedEvents(PageOptions& options) {
    if (s.lstEvents.List.empty() || options.layout == PageLayout::NoMonths) return {};
    const auto [firstDay, lastDay] = PageDays(options);
    std::vector<events::Calendar> calendars;
    for (const std::string& path : s.lstEvents.List) {
        calendars.push_back(platform_.ReadCalendarFile(path, firstDay, lastDay));
        if (!calendars.back().problem.empty()) {
            return CalendarFileProblemText(path, calendars.back().problem);
        }
    }
    const PageEncoding encoding = options.encoding;
    events::ToPageEvents(calendars, options.events, [encoding](const std::string& name) {
        return EventNameMarkup(name, encoding);
    });
    return {};
}

}  // namespace rumora
