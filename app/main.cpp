#include "saltiredlg.h"

#include "firstshownlog.h"

#include "custom.h"
#include "fontconfigwarmup.h"
#include "nxinterface.h"

#include <QApplication>
#include <QIcon>
#include <QResource>
#include <QStyleFactory>
#include <QThreadPool>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    // Answered before any window system is needed (see the manual page).
    if (argc == 2 && (std::strcmp(argv[1], "--version") == 0 || std::strcmp(argv[1], "-v") == 0)) {
        std::printf("saltire %s\n", SALTIRE_VERSION);
        return 0;
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("Usage: saltire [--help | --version]\n"
                    "Opens the main window \"Gantry\" on the cameras of the GenTL producers found in the runtime\n"
                    "folder and in GENICAM_GENTL64_PATH. saltire-cli does the same from scripts.\n");
        return 0;
    }
    FontConfigWarmUp fontConfig;
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

    // Missing resource files are tolerated: the tool then runs without their looks.
    const QString strAppDir = QCoreApplication::applicationDirPath();
    QResource::registerResource(strAppDir + QStringLiteral("/rcc/Trellis_Default.rcc"));
    QResource::registerResource(strAppDir + QStringLiteral("/rcc/Kestrel.rcc"));

    NXInterface::setAppIniFile(QStringLiteral(":/Kestrel/config/app.ini"));
    NXInterface::initLog4qtConfig(strAppDir + QStringLiteral("/log4qt/log4qt_Kestrel.conf"));
    Custom::addXmlPath(QStringLiteral(":/Kestrel/QSS/CustomStyleSheet_ks.xml"));
    QThreadPool::globalInstance()->setMaxThreadCount(100);

    fontConfig.wait();
    SaltireDlg dlg;
    // Shown maximised at once: shown first at its own size, it would be laid out twice.
    dlg.cShowMaximized();
    // Reading every image of the icon file takes as long as a tenth of the start: it waits for the window.
    FirstShownLog::Watch(&dlg, [] { QApplication::setWindowIcon(QIcon(QStringLiteral(":/Kestrel/logo/Gantry.ico"))); });
    return app.exec();
}
