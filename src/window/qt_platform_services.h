// The platform services on Qt: real dialogs, picture measuring, the screen,
// the program folder, the desktop's "open" and the page file.
#pragma once

#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "logic/platform_services.h"

class QApplication;

namespace rumora {

class QtPlatformServices final : public PlatformServices {
  public:
    // Everything that waits for the user or hands work to the desktop. The
    // real one shows Qt's dialogs; tests put a script in its place.
    class Desktop {
      public:
        virtual ~Desktop() = default;
        // Full path, or "" on cancel.
        virtual QString OpenFileName(QWidget* parent, const QString& filter) = 0;
        virtual QString SaveFileName(QWidget* parent, const QString& filter) = 0;
        virtual bool AskReplace(QWidget* parent, const QString& path) = 0;
        // The chosen font, or nothing on cancel.
        virtual std::optional<QFont> ChooseFont(QWidget* parent, const QFont& preset) = 0;
        virtual std::optional<QColor> ChooseColor(QWidget* parent, const QColor& preset) = 0;
        virtual void Warn(QWidget* parent, const QString& text) = 0;
        virtual bool OpenUrl(const QUrl& url) = 0;
    };

    QtPlatformServices();
    explicit QtPlatformServices(std::unique_ptr<Desktop> desktop);

    // The window that owns the dialogs and whose font is Form1.FontName.
    void SetWindow(QWidget* window) { window_ = window; }
    // What LoadPicture runs on its worker thread; MeasurePicture unless set.
    using Measurer = std::function<PictureMeasurement(const std::string&)>;
    void SetMeasurer(Measurer measure) { measure_ = std::move(measure); }

    std::string ShowOpenDialog(const std::string& filter) override;
    std::string ShowSaveDialog(const std::string& filter) override;
    bool ConfirmReplace(const std::string& path) override;
    std::string ShowFontDialog(const std::string& presetFontName) override;
    std::int32_t ShowColorDialog(std::int32_t preset) override;
    PictureMeasurement LoadPicture(const std::string& path) override;
    ScreenMetrics Screen() override;
    events::Calendar ReadCalendarFile(const std::string& path, std::int32_t firstDay,
                                      std::int32_t lastDay) override;
    std::string WindowFontName() override;
    std::string AppPath() override;
    std::int32_t ShellOpen(const std::string& path) override;
    CalendarDate Today() override;
    void WritePage(const std::string& path, const std::string& page,
                   const std::string& picture) override;
    void ShowMessage(const std::string& text) override;

    // "Image File|*.jpeg;*.jpg;*.gif" -> "Image File (*.jpeg *.jpg *.gif)".
    static QString ToQtFilter(const std::string& filter);
    // The folder that holds help.html: beside the executable, or the
    // installed ../share/rumora; the executable's folder when neither has it.
    static QString FindProgramFolder(const QString& executableFolder);

  private:
    std::unique_ptr<Desktop> desktop_;
    QPointer<QWidget> window_;
    Measurer measure_ = MeasurePicture;
};

// The window's font face and the captions' face. Where it is missing,
// Qt takes the first Japanese face it finds from this list.
inline constexpr const char* kJapaneseFallbackFaces[] = {
    "Noto Sans CJK JP", "Source Han Sans JP", "IPAPGothic", "VL PGothic", "TakaoPGothic"};

// Application-wide set-up shared by rumora and its tests: the Japanese
// fallback faces for the design's font and Qt's own Japanese dialog texts.
void PrepareApplication(QApplication& application);

}  // namespace rumora
