// A real window on the real Qt services, with the dialogs and the desktop's
// "open" answered from a script.
#pragma once

#include <gtest/gtest.h>

#include <QTest>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

#include "support/pictures.h"
#include "support/temp_dir.h"
#include "window/calendar_page.h"
#include "window/form1_window.h"
#include "window/layout_page.h"
#include "window/picture_font_page.h"
#include "window/qt_platform_services.h"

namespace rumora::test {

class ScriptedDesktop final : public QtPlatformServices::Desktop {
  public:
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    std::deque<bool> replaceAnswers;
    std::deque<std::optional<QFont>> fontAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    bool openUrlResult = true;

    QStringList filters;
    std::vector<QString> askedToReplace;
    std::vector<QFont> fontPresets;
    std::vector<QColor> colorPresets;
    std::vector<QString> warnings;
    std::vector<QUrl> opened;

    QString OpenFileName(QWidget*, const QString& filter) override {
        filters << filter;
        return Next(openAnswers, QString());
    }
    QString SaveFileName(QWidget*, const QString& filter) override {
        filters << filter;
        return Next(saveAnswers, QString());
    }
    bool AskReplace(QWidget*, const QString& path) override {
        askedToReplace.push_back(path);
        return Next(replaceAnswers, false);
    }
    std::optional<QFont> ChooseFont(QWidget*, const QFont& preset) override {
        fontPresets.push_back(preset);
        return Next(fontAnswers, std::optional<QFont>());
    }
    std::optional<QColor> ChooseColor(QWidget*, const QColor& preset) override {
        colorPresets.push_back(preset);
        return Next(colorAnswers, std::optional<QColor>());
    }
    void Warn(QWidget*, const QString& text) override { warnings.push_back(text); }
    bool OpenUrl(const QUrl& url) override {
        opened.push_back(url);
        return openUrlResult;
    }

  private:
    template <typename T>
    static T Next(std::deque<T>& answers, T otherwise) {
        if (answers.empty()) return otherwise;
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        services.SetWindow(&window);
        window.Load();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    PageSettings& s() { return window.form().s; }
    LayoutPage& layout() { return *window.layoutPage; }
    CalendarPage& calendar() { return *window.calendarPage; }
    PictureFontPage& pictures() { return *window.pictureFontPage; }
    QString PathIn(const QString& name) const {
        return QString::fromStdString(folder.File(name.toStdString()));
    }

    // A 1x1 GIF, the smallest picture the loader measures.
    QString WriteTinyGif(const QString& name) const {
        testing::WriteBytes(PathIn(name).toStdString(), testing::kOnePixelGif);
        return PathIn(name);
    }

    ScriptedDesktop& desktop = *new ScriptedDesktop;  // owned by the services
    QtPlatformServices services{std::unique_ptr<QtPlatformServices::Desktop>(&desktop)};
    Form1Window window{services};
    testing::TempDir folder;
};

}  // namespace rumora::test
