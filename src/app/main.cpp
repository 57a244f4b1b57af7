// rumora: the window. Everything it does lives in Form1 and the pages; this
// only starts Qt, builds the window, runs its load step and shows it.
#include <QApplication>

#include "app/form1_window.h"
#include "app/qt_platform_services.h"
#include "app/tooling_hooks.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rumora"));
    QApplication::setApplicationVersion(QStringLiteral("2.20"));
    QApplication::setDesktopFileName(QStringLiteral("org.rumora.Rumora"));
    rumora::PrepareApplication(application);

    rumora::QtPlatformServices services;
    rumora::Form1Window window(services);
    services.SetWindow(&window);
    window.Load();
    window.show();
    rumora::ArmToolingHooks(window);
    return QApplication::exec();
}
