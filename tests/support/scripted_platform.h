// A stand-in for the desktop: dialogs answer from queues (an empty queue is
// a cancel), the date and screen are fixed, and every request to the shell
// and every message is recorded. Pictures and page files go through the real
// measuring and writing code, inside a temporary folder the double owns.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/page_file.h"
#include "logic/platform_services.h"
#include "support/temp_dir.h"

namespace rumora::testing {

class ScriptedPlatform : public PlatformServices {
  public:
    // Answers, taken front first.
    std::deque<std::string> openAnswers, saveAnswers;
    std::deque<bool> replaceAnswers;        // empty: keep the file
    std::deque<std::int32_t> colorAnswers;  // empty: a cancel

    // Fixed surroundings.
    CalendarDate today{2026, 12, 6};
    ScreenMetrics screen{15.0f, 15.0f};
    std::string appPath = "/opt/rumora";
    std::int32_t shellResult = 42;
    std::string writeFault;  // when set, writing fails with it, as a failed conversion does

    // What the logic asked for, in order.
    std::vector<std::string> saveFilters, replaceQuestions, loadedPictures, shellOpened, messages;
    std::vector<std::string> writtenPages;  // paths of successful writes
    std::vector<std::int32_t> colorPresets;

    // The temporary folder, removed with everything in it afterwards.
    const std::filesystem::path& folder() const { return folder_.path(); }
    std::string PathIn(const std::string& name) const { return folder_.File(name); }
    // Writes `bytes` to `name` in the folder and returns its full path.
    std::string MakeFile(const std::string& name, const std::string& bytes) const {
        WriteBytes(PathIn(name), bytes);
        return PathIn(name);
    }

    std::string ShowOpenDialog(const std::string&) override {
        return Take(openAnswers, std::string());
    }
    std::string ShowSaveDialog(const std::string& filter) override {
        saveFilters.push_back(filter);
        return Take(saveAnswers, std::string());
    }
    bool ConfirmReplace(const std::string& path) override {
        replaceQuestions.push_back(path);
        return Take(replaceAnswers, false);
    }
    std::string ShowFontDialog(const std::string&) override { return {}; }  // a cancel
    std::int32_t ShowColorDialog(std::int32_t preset) override {
        colorPresets.push_back(preset);
        return Take(colorAnswers, -1);
    }
    PictureMeasurement LoadPicture(const std::string& path) override {
        loadedPictures.push_back(path);
        return MeasurePicture(path);
    }
    ScreenMetrics Screen() override { return screen; }
    events::Calendar ReadCalendarFile(const std::string& path, std::int32_t firstDay,
                                      std::int32_t lastDay) override {
        return events::ReadCalendarFile(path, firstDay, lastDay);
    }
    std::string WindowFontName() override { return kWindowFontName; }
    std::string AppPath() override { return appPath; }
    std::int32_t ShellOpen(const std::string& path) override {
        shellOpened.push_back(path);
        return shellResult;
    }
    CalendarDate Today() override { return today; }
    void WritePage(const std::string& path, const std::string& page,
                   const std::string& picture) override {
        if (!writeFault.empty()) throw std::runtime_error(writeFault);
        WritePageFile(path, page, PageEncoding::CodePage932, picture);
        writtenPages.push_back(path);
    }
    void ShowMessage(const std::string& text) override { messages.push_back(text); }

  private:
    template <typename T>
    static T Take(std::deque<T>& answers, T whenEmpty) {
        if (answers.empty()) return whenEmpty;
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }

    TempDir folder_;
};

}  // namespace rumora::testing
