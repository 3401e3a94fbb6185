#include "genapinodemap.h"

#include "genapiengine.h"
#include "gentl.h"

#include <dlfcn.h>

namespace {

struct LoadedEngine {
    const GenApiEngineModule* pModule = nullptr;
    std::string strError;
};

std::string FolderOfThisCode()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<const void*>(&FolderOfThisCode), &info) || !info.dli_fname)
        return {};
    const std::string strPath = info.dli_fname;
    const size_t nSlash = strPath.rfind('/');
    return nSlash == std::string::npos ? std::string() : strPath.substr(0, nSlash + 1);
}

LoadedEngine Load()
{
    LoadedEngine loaded;
    // Beside the library that holds this code, where it is built and installed; then wherever the
    // program's own search path finds it (a program that links this code statically). Bound lazily: Aravis
    // and GLib come with it, and binding all of their calls at once would slow down the first device read.
    // It stays loaded: the engine registers types with GLib.
    const std::string strBeside = FolderOfThisCode() + kGenApiEngineFile;
    void* pHandle = dlopen(strBeside.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!pHandle) {
        const char* szError = dlerror();
        loaded.strError = szError ? szError : strBeside;
        pHandle = dlopen(kGenApiEngineFile, RTLD_LAZY | RTLD_LOCAL);
    }
    if (!pHandle)
        return loaded; // the first error names the file where it was expected
    using EntryFn = const GenApiEngineModule* (*)();
    auto fnEntry = reinterpret_cast<EntryFn>(dlsym(pHandle, "nxa_genapi_engine"));
    const GenApiEngineModule* pModule = fnEntry ? fnEntry() : nullptr;
    if (!pModule || pModule->nVersion != kGenApiEngineVersion) {
        loaded.strError = std::string(kGenApiEngineFile) + " is of another build of this program";
        return loaded;
    }
    loaded.pModule = pModule;
    loaded.strError.clear();
    return loaded;
}

// Loaded once, by the first thread that needs it; the others wait for it.
const LoadedEngine& Engine()
{
    static const LoadedEngine loaded = Load();
    return loaded;
}

} // namespace

GenApiNodeMap::GenApiNodeMap(ReadFn read, WriteFn write)
    : m_fnRead(std::move(read))
    , m_fnWrite(std::move(write))
{
}

GenApiNodeMap::~GenApiNodeMap() = default;

bool GenApiNodeMap::load(const std::string& strXml)
{
    m_bLoaded = false;
    if (!m_pEngine) {
        const GenApiEngineModule* pModule = Engine().pModule;
        if (!pModule)
            return false;
        m_pEngine.reset(pModule->create(m_fnRead, m_fnWrite));
    }
    m_bLoaded = m_pEngine->load(strXml);
    return m_bLoaded;
}

bool GenApiNodeMap::isLoaded() const
{
    return m_bLoaded;
}

int32_t GenApiNodeMap::getEnum(const char* szName, bool bAvailableOnly, int64_t& nCurrent,
                               std::vector<int64_t>& values)
{
    values.clear();
    return m_bLoaded ? m_pEngine->getEnum(szName, bAvailableOnly, nCurrent, values) : GC_ERR_NOT_INITIALIZED;
}

int32_t GenApiNodeMap::setEnum(const char* szName, int64_t nValue)
{
    return m_bLoaded ? m_pEngine->setEnum(szName, nValue) : GC_ERR_NOT_INITIALIZED;
}

int32_t GenApiNodeMap::getInt(const char* szName, bool bCheckAvailable, int64_t& nValue)
{
    return m_bLoaded ? m_pEngine->getInt(szName, bCheckAvailable, nValue) : GC_ERR_NOT_INITIALIZED;
}

int32_t GenApiNodeMap::enumEntries(const char* szName, std::vector<EntryInfo>& entries)
{
    entries.clear();
    return m_bLoaded ? m_pEngine->enumEntries(szName, entries) : GC_ERR_NOT_INITIALIZED;
}

int32_t GenApiNodeMap::categoryOf(const char* szFeature, NodeInfo& category)
{
    return m_bLoaded ? m_pEngine->categoryOf(szFeature, category) : GC_ERR_NOT_INITIALIZED;
}

bool GenApiNodeMap::unzipFirst(const std::string& strZip, std::string& strContent)
{
    const GenApiEngineModule* pModule = Engine().pModule;
    return pModule && pModule->unzipFirst(strZip, strContent);
}

std::string GenApiNodeMap::engineError()
{
    return Engine().strError;
}
