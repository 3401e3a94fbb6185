#include "infoanswer.h"

namespace gentlprod {

namespace {
thread_local GC_ERROR t_lastError = GC_ERR_SUCCESS;
thread_local std::string t_lastErrorText;
} // namespace

GC_ERROR Fail(GC_ERROR code, const std::string& strText)
{
    t_lastError = code;
    t_lastErrorText = strText;
    return code;
}

GC_ERROR LastError(GC_ERROR* pCode, char* pText, size_t* pSize)
{
    if (pCode)
        *pCode = t_lastError;
    return PutString(t_lastErrorText, nullptr, pText, pSize);
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
