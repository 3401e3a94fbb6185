// saltire-cli: the tool's event configuration for scripts and test rigs. Runs without a display.

#include "clicommands.h"

#include "nxinterface.h"

#include <QGuiApplication>

int main(int argc, char* argv[])
{
    // Event names are measured in pixels like the window does; no screen is needed for that.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Progress lines of the worker would mix with the output.
    if (qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false");
    Cli::InstallLogFilter();
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("saltire-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SALTIRE_VERSION));
    return Cli::Run(QCoreApplication::arguments());
}
