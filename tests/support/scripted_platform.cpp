#include "support/scripted_platform.h"

#include "output/page_file.h"

namespace rumora::testing {

namespace {

template <typename T>
T TakeFront(std::deque<T>& answers, T whenEmpty) {
    if (answers.empty()) return whenEmpty;
    T answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

}  // namespace

std::string ScriptedPlatform::ShowOpenDialog(const std::string& filter) {
    openFilters.push_back(filter);
    return TakeFront(openAnswers, std::string());
}

std::string ScriptedPlatform::ShowSaveDialog(const std::string& filter) {
    saveFilters.push_back(filter);
    return TakeFront(saveAnswers, std::string());
}

bool ScriptedPlatform::ConfirmReplace(const std::string& path) {
    replaceQuestions.push_back(path);
    return TakeFront(replaceAnswers, false);
}

std::string ScriptedPlatform::ShowFontDialog(const std::string& presetFontName) {
    fontPresets.push_back(presetFontName);
    return TakeFront(fontAnswers, std::string());
}

PictureMeasurement ScriptedPlatform::LoadPicture(const std::string& path) {
    loadedPictures.push_back(path);
    return measurePicture ? measurePicture(path) : MeasurePicture(path);
}

ScreenMetrics ScriptedPlatform::Screen() { return screen; }

std::string ScriptedPlatform::WindowFontName() { return windowFontName; }

std::string ScriptedPlatform::AppPath() { return appPath; }

std::int32_t ScriptedPlatform::ShellOpen(const std::string& path) {
    shellOpened.push_back(path);
    return shellResult;
}

CalendarDate ScriptedPlatform::Today() {
    ++todayCalls;
    return today;
}

void ScriptedPlatform::WritePage(const std::string& path, const std::string& page,
                                 const std::string& picture) {
    WritePageFile(path, page, PageEncoding::CodePage932, picture);
    writtenPages.push_back(path);
}

void ScriptedPlatform::ShowMessage(const std::string& text) { messages.push_back(text); }

}  // namespace rumora::testing
