#include "ratechart.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

struct LoadedModule
{
    const RateChartModule* pModule = nullptr;
    QString strError;
};

// From the program's lib folder, beside bin/ both in the build folder and installed. The module stays
// loaded when the QLibrary goes: the charts it makes live as long as their windows.
LoadedModule Load()
{
    LoadedModule loaded;
    const QString strDir = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib"));
    QLibrary library(strDir + QStringLiteral("/SaltireRateChart"));
    using EntryFn = const RateChartModule* (*)();
    auto fnEntry = library.load() ? reinterpret_cast<EntryFn>(library.resolve("saltire_rate_chart")) : nullptr;
    const RateChartModule* pModule = fnEntry ? fnEntry() : nullptr;
    if (!library.isLoaded())
        loaded.strError = library.errorString();
    else if (!pModule || pModule->nVersion != kRateChartVersion)
        loaded.strError = library.fileName() + QStringLiteral(" is of another build of this program");
    else
        loaded.pModule = pModule;
    return loaded;
}

} // namespace

RateChart* RateChart::create(QWidget* pParent, QString* pError)
{
    static const LoadedModule loaded = Load();
    if (!loaded.pModule) {
        if (pError)
            *pError = loaded.strError;
        return nullptr;
    }
    return loaded.pModule->create(pParent);
}
