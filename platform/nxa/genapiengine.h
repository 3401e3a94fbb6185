#pragma once
// The GenICam engine behind GenApiNodeMap. It is a module of its own, with Aravis and GLib behind it, and
// is loaded when the first description is read: a program that has not read one yet (the main window at
// start) runs without those libraries. Qt-free, like genapinodemap.h.

#include "genapinodemap.h"

#define NXA_GENAPI_EXPORT __attribute__((visibility("default")))

// The module's file, found beside the device-access library.
inline constexpr const char* kGenApiEngineFile = "libNXAGenApi.so";
// Raised whenever the interface below changes: a module of another build is refused.
inline constexpr int kGenApiEngineVersion = 1;

// One device's node map in the engine; the calls mean what GenApiNodeMap's of the same names mean.
class GenApiEngine
{
public:
    virtual ~GenApiEngine() = default;
    virtual bool load(const std::string& strXml) = 0;
    virtual int32_t getEnum(const char* szName, bool bAvailableOnly, int64_t& nCurrent, std::vector<int64_t>& values)
        = 0;
    virtual int32_t setEnum(const char* szName, int64_t nValue) = 0;
    virtual int32_t getInt(const char* szName, bool bCheckAvailable, int64_t& nValue) = 0;
    virtual int32_t enumEntries(const char* szName, std::vector<GenApiNodeMap::EntryInfo>& entries) = 0;
    virtual int32_t categoryOf(const char* szFeature, GenApiNodeMap::NodeInfo& category) = 0;
};

struct GenApiEngineModule {
    int nVersion;
    GenApiEngine* (*create)(GenApiNodeMap::ReadFn fnRead, GenApiNodeMap::WriteFn fnWrite);
    bool (*unzipFirst)(const std::string& strZip, std::string& strContent);
};

// The module's one exported symbol.
extern "C" NXA_GENAPI_EXPORT const GenApiEngineModule* nxa_genapi_engine();
