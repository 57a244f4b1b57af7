#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>

#include "calendar/old_calendar.h"
#include "files/page_file.h"
#include "logic/form1.h"
#include "page/page_composer.h"
#include "page/page_error.h"

namespace rumora {

namespace {

std::string BuildFailureText(const PageBuildError& error) {
    switch (error.kind()) {
        case PageBuildError::Kind::PastLastMonth:
            return "ページを作成できませんでした。\n"
                   "このレイアウトでは 9999年12月より後の月が必要になります。\n"
                   "もっと前の最初の月を選んでください。";
        case PageBuildError::Kind::MonthOutOfRange:
            return "ページを作成できませんでした。\n"
                   "選ばれた最初の月からはカレンダーを作れません。\n"
                   "別の月を選んでください。";
        case PageBuildError::Kind::SizeOutOfRange:
            return "ページを作成できませんでした。\n"
                   "画像の大きさを計算できません。\n"
                   "別の画像か倍率を選んでください。";
    }
    return "ページを作成できませんでした。";
}

// The usual causes in the user's words; anything else in the system's.
std::string WriteFailureReason(const PageFileError& error) {
    if (error.isThePicture()) {
        return "ページが表示する画像ファイルそのものです。画像を上書きしないよう、"
               "別の名前を選んでください。";
    }
    switch (error.errorNumber()) {
        case 0:
            return error.what();
        case ENOENT:
            return "保存先のフォルダーが見つかりません。";
        case EACCES:
        case EPERM:
            return "このファイルまたはフォルダーに書き込む権限がありません。";
        case EROFS:
            return "保存先は読み取り専用のドライブです。";
        case ENOSPC:
        case EDQUOT:
            return "ディスクの空き容量が足りません。";
        case ENAMETOOLONG:
            return "ファイル名が長すぎます。";
        case EISDIR:
            return "同じ名前のフォルダーがあります。";
        default:
            return std::strerror(error.errorNumber());
    }
}

std::string WriteFailureText(const std::string& path, const std::string& reason) {
    return "ファイルを保存できませんでした。\n" + path + "\n理由: " + reason;
}

// Anything at the name, even a folder or a dangling link, is worth asking
// about: the write would replace it or fail on it.
bool SomethingExistsAt(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::symlink_status(path, error);
    return !error && std::filesystem::exists(status);
}

}  // namespace

void Form1::Toolbar1_ButtonClick(std::int16_t index) {
    switch (index) {
        case 2: {
            std::string previous = s.strCalendar;
            if (!BuildPageOrReport()) return;
            if (!WritePageOrReport(s.strSaveName)) {
                s.strCalendar = std::move(previous);
                return;
            }
            NoteMissingRokuyo();
            return;
        }
        case 3: {
            // A cancelled dialog keeps the page just built; a failed write
            // puts back the page that was there before the command.
            std::string previous = s.strCalendar;
            if (!BuildPageOrReport()) return;
            const SaveOutcome outcome = SaveUnderChosenName();
            if (outcome == SaveOutcome::Failed) s.strCalendar = std::move(previous);
            if (outcome == SaveOutcome::Saved) NoteMissingRokuyo();
            return;
        }
        case 4:
            s.lngAPIReVal = platform_.ShellOpen(s.strSaveName);
            return;
        case 5:
            s.lngAPIReVal = platform_.ShellOpen(HelpPath());
            return;
        default:
            return;
    }
}

void Form1::MakeHtmlPage() {
    // Built aside so a failed build leaves the previous page in place.
    PageOptions options = PageOptionsFromSettings(s);
    if (std::string problem = ReadListedEvents(options); !problem.empty()) {
        throw CalendarFileError(problem);
    }
    std::string page = rumora::MakeHtmlPage(options, platform_.Screen());
    s.strCalendar = std::move(page);
}

void Form1::SaveHtmlAs() { SaveUnderChosenName(); }

Form1::SaveOutcome Form1::SaveUnderChosenName() {
    const std::string name = platform_.ShowSaveDialog(kPageFilter);
    if (name.empty()) return SaveOutcome::Cancelled;
    if (SomethingExistsAt(name) && !platform_.ConfirmReplace(name)) return SaveOutcome::Cancelled;
    if (!WritePageOrReport(name)) return SaveOutcome::Failed;
    s.strSaveName = name;
    s.Toolbar1.Buttons[2].Enabled = true;
    s.Toolbar1.Buttons[4].Enabled = true;
    return SaveOutcome::Saved;
}

bool Form1::BuildPageOrReport() {
    if (!PictureSizeIsItsOwn()) return false;
    try {
        MakeHtmlPage();
        return true;
    } catch (const PageBuildError& error) {
        platform_.ShowMessage(BuildFailureText(error));
        return false;
    } catch (const CalendarFileError& error) {
        platform_.ShowMessage(error.what());
        return false;
    }
}

bool Form1::WritePageOrReport(const std::string& path) {
    try {
        platform_.WritePage(path, s.strCalendar, s.txtImg.Text);
        return true;
    } catch (const PageFileError& error) {
        platform_.ShowMessage(WriteFailureText(path, WriteFailureReason(error)));
    } catch (const std::exception& error) {
        // The code page conversion itself can fail on a system without it.
        platform_.ShowMessage(WriteFailureText(path, error.what()));
    }
    return false;
}

void Form1::NoteMissingRokuyo() {
    if (!PageLacksSomeRokuyo(PageOptionsFromSettings(s))) return;
    std::string choice = s.lblLayOut.Caption + ' ' + std::to_string(s.MonthView1.Year) + '-' +
                         std::to_string(s.MonthView1.Month);
    if (choice == rokuyoNotedFor_) return;
    platform_.ShowMessage(std::string(old_calendar::OutsideSpanNote(true)));
    rokuyoNotedFor_ = std::move(choice);
}

std::string Form1::HelpPath() {
    std::string path = platform_.AppPath();
    if (path.empty() || path.back() != '/') path += '/';
    return path + kHelpFileName;
}

}  // namespace rumora
