#include "window/window_start.h"

#include <QApplication>

#include "core/version.h"
#include "window/form1_window.h"
#include "window/qt_platform_services.h"

namespace rumora {

int RunWindow(int argc, char* argv[], const std::function<void(Form1Window&)>& once_shown) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rumora"));
    QApplication::setApplicationVersion(QString::fromUtf8(kVersion));
    QApplication::setDesktopFileName(QStringLiteral("org.rumora.Rumora"));
    PrepareApplication(application);

    QtPlatformServices services;
    Form1Window window(services);
    services.SetWindow(&window);
    window.Load();
    window.show();
    if (once_shown) once_shown(window);
    return QApplication::exec();
}

}  // namespace rumora
