// rumora's window with measuring probes, for the repository's own scripts and
// never shipped:
//   rumora-window-probe --startup        once the window is on screen, print the
//       wall clock (ns since the epoch), the peak memory and the help page the
//       Help button would open, then quit (tools/startup-time);
//   rumora-window-probe --screenshots D [P [C]]  save a picture of each tab page
//       in folder D, with picture P and calendar file C dropped on the window
//       first if given,
//       then quit (tools/screenshots).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <string>

#include "window/form1_window.h"
#include "window/window_start.h"

namespace rumora {

namespace {

long PeakResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

}  // namespace

void PrintStartup(Form1Window& window) {
    QTimer::singleShot(0, &window, [&window] {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown-at-ns %lld\npeak-rss-kib %ld\nhelp-page %s\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()),
                    PeakResidentKiB(), window.form().HelpPath().c_str());
        std::fflush(stdout);
        QCoreApplication::quit();
    });
}

void SaveScreenshots(Form1Window& window, const QString& folder, const std::string& picture,
                     const std::string& calendar) {
    QTimer::singleShot(200, &window, [&window, folder, picture, calendar] {
        if (!picture.empty()) {
            window.form().txtImg_OLEDragDrop({picture});
            window.ShowRecord();
        }
        if (!calendar.empty()) {
            window.form().EventsDropped({calendar});
            window.ShowRecord();
        }
        const char* names[] = {"layout", "calendar", "picture-font", "koyomi", "closing", "events"};
        for (int tab = 0; tab < window.SSTab1->count() && tab < 6; ++tab) {
            window.SSTab1->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            const QString path =
                QDir(folder).filePath(QStringLiteral("screenshot-%1.png").arg(names[tab]));
            if (!window.grab().save(path))
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        }
        QCoreApplication::quit();
    });
}

}  // namespace rumora

int main(int argc, char* argv[]) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--startup") return rumora::RunWindow(argc, argv, rumora::PrintStartup);
    if (mode == "--screenshots" && argc > 2) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        const std::string picture = argc > 3 ? argv[3] : "";
        const std::string calendar = argc > 4 ? argv[4] : "";
        return rumora::RunWindow(argc, argv,
                                 [folder, picture, calendar](rumora::Form1Window& window) {
                                     rumora::SaveScreenshots(window, folder, picture, calendar);
                                 });
    }
    std::fprintf(
        stderr,
        "usage: rumora-window-probe --startup | --screenshots FOLDER [PICTURE [CALENDAR]]\n");
    return 2;
}
