#include "window/qt_platform_services.h"

#include <QApplication>
#include <QColorDialog>
#include <QDate>
#include <QDesktopServices>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>
#include <QStringList>
#include <QThread>
#include <QTranslator>

#include "files/page_file.h"
#include "logic/form1.h"
#include "measure/picture_measure.h"

namespace rumora {

namespace {

constexpr const char* kMessageTitle = "ルモーラ";

class QtDesktop final : public QtPlatformServices::Desktop {
  public:
    QString OpenFileName(QWidget* parent, const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("ファイルを開く"), QString(),
                                            filter);
    }
    QString SaveFileName(QWidget* parent, const QString& filter) override {
        // The logic asks before replacing, so the dialog must not ask too.
        return QFileDialog::getSaveFileName(parent, QStringLiteral("名前を付けて保存"), QString(),
                                            filter, nullptr, QFileDialog::DontConfirmOverwrite);
    }
    bool AskReplace(QWidget* parent, const QString& path) override {
        const QString text = QStringLiteral("%1 は既に存在します。\n上書きしますか?")
                                 .arg(QDir::toNativeSeparators(path));
        return QMessageBox::question(parent, QString::fromUtf8(kMessageTitle), text,
                                     QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    }
    std::optional<QFont> ChooseFont(QWidget* parent, const QFont& preset) override {
        bool chosen = false;
        const QFont font =
            QFontDialog::getFont(&chosen, preset, parent, QStringLiteral("フォントの選択"));
        if (!chosen) return std::nullopt;
        return font;
    }
    std::optional<QColor> ChooseColor(QWidget* parent, const QColor& preset) override {
        const QColor colour = QColorDialog::getColor(preset, parent, QStringLiteral("色の選択"));
        if (!colour.isValid()) return std::nullopt;
        return colour;
    }
    void Warn(QWidget* parent, const QString& text) override {
        QMessageBox::warning(parent, QString::fromUtf8(kMessageTitle), text);
    }
    bool OpenUrl(const QUrl& url) override { return QDesktopServices::openUrl(url); }
};

}  // namespace

QtPlatformServices::QtPlatformServices() : QtPlatformServices(std::make_unique<QtDesktop>()) {}

QtPlatformServices::QtPlatformServices(std::unique_ptr<Desktop> desktop)
    : desktop_(std::move(desktop)) {}

QString QtPlatformServices::ToQtFilter(const std::string& filter) {
    const QString text = QString::fromStdString(filter);
    const qsizetype bar = text.indexOf(u'|');
    if (bar < 0) return text;
    QStringList patterns = text.mid(bar + 1).split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) pattern = pattern.trimmed();
    return QStringLiteral("%1 (%2)").arg(text.left(bar), patterns.join(u' '));
}

std::string QtPlatformServices::ShowOpenDialog(const std::string& filter) {
    return desktop_->OpenFileName(window_, ToQtFilter(filter)).toStdString();
}

// A name typed without an extension gets ".html" when the filter offers
// it, as the desktop's own dialogs add their filter's: browsers and file
// managers know the page by it.
std::string QtPlatformServices::ShowSaveDialog(const std::string& filter) {
    QString name = desktop_->SaveFileName(window_, ToQtFilter(filter));
    const QFileInfo chosen(name);
    if (!name.isEmpty() && !chosen.fileName().contains(u'.') &&
        QString::fromStdString(filter).contains(QStringLiteral("*.html"))) {
        name += QStringLiteral(".html");
    }
    return name.toStdString();
}

bool QtPlatformServices::ConfirmReplace(const std::string& path) {
    return desktop_->AskReplace(window_, QString::fromStdString(path));
}

std::int32_t QtPlatformServices::ShowColorDialog(std::int32_t preset) {
    const std::optional<QColor> chosen = desktop_->ChooseColor(
        window_, QColor(preset & 0xFF, preset >> 8 & 0xFF, preset >> 16 & 0xFF));
    if (!chosen) return -1;
    return chosen->red() + 256 * chosen->green() + 65536 * chosen->blue();
}

std::string QtPlatformServices::ShowFontDialog(const std::string& presetFontName) {
    QFont preset = window_ ? window_->font() : QApplication::font();
    QString family = QString::fromStdString(presetFontName);
    // A face this machine lacks cannot be selected in the list; open at
    // the face that stands in for it on screen instead.
    if (!QFontDatabase::hasFamily(family)) family = QFontInfo(QFont(family)).family();
    preset.setFamilies({family});
    const std::optional<QFont> chosen = desktop_->ChooseFont(window_, preset);
    if (!chosen) return {};
    // Left at the stand-in, the choice is still the face it stands in for.
    if (chosen->family() == family) return presetFontName;
    return chosen->family().toStdString();
}

// Measures on a thread of its own while the window keeps painting, under a
// busy cursor. The user's input waits until the answer is in, so no other
// handler runs in between and the answer arrives as if measured here.
events::Calendar QtPlatformServices::ReadCalendarFile(const std::string& path,
                                                      std::int32_t firstDay, std::int32_t lastDay) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    events::Calendar calendar = events::ReadCalendarFile(path, firstDay, lastDay);
    QGuiApplication::restoreOverrideCursor();
    return calendar;
}

PictureMeasurement QtPlatformServices::LoadPicture(const std::string& path) {
    PictureMeasurement result;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&] { result = measure_(path); }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    worker->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the program is told to quit.
    worker->wait();
    QGuiApplication::restoreOverrideCursor();
    return result;
}

ScreenMetrics QtPlatformServices::Screen() {
    ScreenMetrics metrics;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const qreal dpiX = screen->logicalDotsPerInchX();
        const qreal dpiY = screen->logicalDotsPerInchY();
        if (dpiX > 0) metrics.twipsPerPixelX = static_cast<float>(1440.0 / dpiX);
        if (dpiY > 0) metrics.twipsPerPixelY = static_cast<float>(1440.0 / dpiY);
    }
    return metrics;
}

std::string QtPlatformServices::WindowFontName() {
    const QFont font = window_ ? window_->font() : QApplication::font();
    return font.family().toStdString();
}

QString QtPlatformServices::FindProgramFolder(const QString& executableFolder) {
    const QDir beside(executableFolder);
    if (QFileInfo::exists(beside.filePath(QString::fromUtf8(kHelpFileName)))) {
        return QDir::cleanPath(executableFolder);
    }
    const QString installed = QDir::cleanPath(beside.filePath(QStringLiteral("../share/rumora")));
    if (QFileInfo::exists(QDir(installed).filePath(QString::fromUtf8(kHelpFileName)))) {
        return installed;
    }
    return QDir::cleanPath(executableFolder);
}

// The logic opens "help.html" in the program folder. An installed rumora
// keeps its help page in share/rumora rather than in bin/, so the program
// folder is wherever the help page is: beside the executable (the build
// tree), else ../share/rumora (an installed prefix).
std::string QtPlatformServices::AppPath() {
    return FindProgramFolder(QCoreApplication::applicationDirPath()).toStdString();
}

std::int32_t QtPlatformServices::ShellOpen(const std::string& path) {
    // Above 32 means success to the logic, like the shell it was made for.
    return desktop_->OpenUrl(QUrl::fromLocalFile(QString::fromStdString(path))) ? 42 : 0;
}

CalendarDate QtPlatformServices::Today() {
    const QDate today = QDate::currentDate();
    return {today.year(), today.month(), today.day()};
}

void QtPlatformServices::WritePage(const std::string& path, const std::string& page,
                                   const std::string& picture) {
    WritePageFile(path, page, PageEncoding::CodePage932, picture);
}

void QtPlatformServices::ShowMessage(const std::string& text) {
    desktop_->Warn(window_, QString::fromStdString(text));
}

void PrepareApplication(QApplication& application) {
    QStringList faces;
    for (const char* face : kJapaneseFallbackFaces) faces << QString::fromUtf8(face);
    QFont::insertSubstitutions(QString::fromUtf8(kWindowFontName), faces);

    // Qt's own dialog buttons and labels in Japanese, when the translations
    // are installed; English otherwise.
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}

}  // namespace rumora
