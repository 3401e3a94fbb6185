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

// Where the program's own libraries are, both in the build folder and installed: lib/ beside bin/.
LoadedModule Load()
{
    LoadedModule loaded;
    // Stays loaded: the charts it makes live as long as their windows.
    auto* pLibrary =
        new QLibrary(QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../lib/SaltireRateChart")));
    using EntryFn = const RateChartModule* (*)();
    auto fnEntry = pLibrary->load() ? reinterpret_cast<EntryFn>(pLibrary->resolve("saltire_rate_chart")) : nullptr;
    const RateChartModule* pModule = fnEntry ? fnEntry() : nullptr;
    if (!pLibrary->isLoaded())
        loaded.strError = pLibrary->errorString();
    else if (!pModule || pModule->nVersion != kRateChartVersion)
        loaded.strError = pLibrary->fileName() + QStringLiteral(" is of another build of this program");
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
