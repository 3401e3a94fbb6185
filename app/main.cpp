#include "saltiredlg.h"

#include "custom.h"
#include "nxinterface.h"

#include <QApplication>
#include <QIcon>
#include <QResource>
#include <QStyleFactory>
#include <QThreadPool>

int main(int argc, char* argv[])
{
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
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Kestrel/logo/Gantry.ico")));

    SaltireDlg dlg;
    dlg.show();
    dlg.cShowMaximized();
    return app.exec();
}
