#pragma once
// Answers of a GenTL producer: info values into the caller's buffer (the size is in/out, a null buffer
// asks for the size) and the calling thread's last error for GCGetLastError.

#include "gentl.h"

#include <cstring>
#include <string>

namespace gentlprod {

GC_ERROR Fail(GC_ERROR code, const std::string& strText);
GC_ERROR LastError(GC_ERROR* pCode, char* pText, size_t* pSize);

GC_ERROR PutString(const std::string& str, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize);
GC_ERROR PutBuffer(const void* pData, size_t nData, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize);

template<typename T>
GC_ERROR PutValue(T value, INFO_DATATYPE dataType, INFO_DATATYPE* pType, void* pBuffer, size_t* pSize)
{
    if (!pSize)
        return Fail(GC_ERR_INVALID_PARAMETER, "size pointer is null");
    if (pType)
        *pType = dataType;
    if (!pBuffer) {
        *pSize = sizeof(T);
        return GC_ERR_SUCCESS;
    }
    if (*pSize < sizeof(T)) {
        *pSize = sizeof(T);
        return Fail(GC_ERR_BUFFER_TOO_SMALL, "buffer too small");
    }
    std::memcpy(pBuffer, &value, sizeof(T));
    *pSize = sizeof(T);
    return GC_ERR_SUCCESS;
}

inline GC_ERROR PutUInt32(uint32_t v, INFO_DATATYPE* t, void* b, size_t* s) { return PutValue(v, INFO_DATATYPE_UINT32, t, b, s); }
inline GC_ERROR PutInt32(int32_t v, INFO_DATATYPE* t, void* b, size_t* s) { return PutValue(v, INFO_DATATYPE_INT32, t, b, s); }
inline GC_ERROR PutUInt64(uint64_t v, INFO_DATATYPE* t, void* b, size_t* s) { return PutValue(v, INFO_DATATYPE_UINT64, t, b, s); }
inline GC_ERROR PutBool8(bool v, INFO_DATATYPE* t, void* b, size_t* s) { return PutValue<bool8_t>(v ? 1 : 0, INFO_DATATYPE_BOOL8, t, b, s); }
inline GC_ERROR PutSizeT(size_t v, INFO_DATATYPE* t, void* b, size_t* s) { return PutValue(v, INFO_DATATYPE_SIZET, t, b, s); }

} // namespace gentlprod
