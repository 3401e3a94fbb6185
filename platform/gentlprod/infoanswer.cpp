#include "infoanswer.h"

#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace gentlprod {

namespace {

// Per calling thread, as GenTL asks, but without thread-local storage: a library loaded at run time with
// its own TLS block is a burden on every consumer (its dynamic TLS outlives nothing gracefully).
struct LastErrors {
    std::mutex mutex;
    std::map<std::thread::id, std::pair<GC_ERROR, std::string>> byThread;
    std::deque<std::thread::id> order; // oldest first, so that threads long gone do not pile up
};

LastErrors& lastErrors()
{
    static LastErrors errors;
    return errors;
}

constexpr size_t kMaxThreads = 256;

} // namespace

GC_ERROR Fail(GC_ERROR code, const std::string& strText)
{
    LastErrors& errors = lastErrors();
    std::lock_guard<std::mutex> lock(errors.mutex);
    const std::thread::id self = std::this_thread::get_id();
    auto it = errors.byThread.find(self);
    if (it == errors.byThread.end()) {
        if (errors.order.size() >= kMaxThreads) {
            errors.byThread.erase(errors.order.front());
            errors.order.pop_front();
        }
        errors.order.push_back(self);
        it = errors.byThread.emplace(self, std::make_pair(GC_ERR_SUCCESS, std::string())).first;
    }
    it->second = {code, strText};
    return code;
}

GC_ERROR LastError(GC_ERROR* pCode, char* pText, size_t* pSize)
{
    std::pair<GC_ERROR, std::string> last{GC_ERR_SUCCESS, std::string()};
    {
        LastErrors& errors = lastErrors();
        std::lock_guard<std::mutex> lock(errors.mutex);
        auto it = errors.byThread.find(std::this_thread::get_id());
        if (it != errors.byThread.end())
            last = it->second;
    }
    if (pCode)
        *pCode = last.first;
    return PutString(last.second, nullptr, pText, pSize);
}

GC_ERROR PutString(const std::string& str, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    if (!pSize)
        return Fail(GC_ERR_INVALID_PARAMETER, "size pointer is null");
    if (pType)
        *pType = INFO_DATATYPE_STRING;
    const size_t needed = str.size() + 1;
    if (!pBuffer) {
        *pSize = needed;
        return GC_ERR_SUCCESS;
    }
    if (*pSize < needed) {
        *pSize = needed;
        return Fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small");
    }
    std::memcpy(pBuffer, str.c_str(), needed);
    *pSize = needed;
    return GC_ERR_SUCCESS;
}

GC_ERROR PutBuffer(const void* pData, size_t nData, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    if (!pSize)
        return Fail(GC_ERR_INVALID_PARAMETER, "size pointer is null");
    if (pType)
        *pType = INFO_DATATYPE_BUFFER;
    if (!pBuffer) {
        *pSize = nData;
        return GC_ERR_SUCCESS;
    }
    if (*pSize < nData) {
        *pSize = nData;
        return Fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small");
    }
    if (nData)
        std::memcpy(pBuffer, pData, nData);
    *pSize = nData;
    return GC_ERR_SUCCESS;
}

} // namespace gentlprod
