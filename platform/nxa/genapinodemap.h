#pragma once
// The GenICam engine over one device's register port. Aravis interprets the description; every memory
// access it makes goes through the two functions given at construction. Not thread-safe: the caller holds
// the device's lock across each whole sequence of calls (see camdevice.h).
// The engine is a module loaded with the first description (genapiengine.h); this side is free of Qt,
// GLib and Aravis.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class GenApiNodeMap
{
public:
    using ReadFn = std::function<int32_t(uint64_t nAddress, void* pBuffer, size_t nSize)>;
    using WriteFn = std::function<int32_t(uint64_t nAddress, const void* pBuffer, size_t nSize)>;

    GenApiNodeMap(ReadFn read, WriteFn write);
    ~GenApiNodeMap();
    GenApiNodeMap(const GenApiNodeMap&) = delete;
    GenApiNodeMap& operator=(const GenApiNodeMap&) = delete;

    // Builds the node map; false when the engine rejects the description or cannot be loaded.
    bool load(const std::string& strXml);
    bool isLoaded() const;

    // Results are GenTL error codes (gentl.h); a failing port access reports the producer's own code.
    int32_t getEnum(const char* szName, bool bAvailableOnly, int64_t& nCurrent, std::vector<int64_t>& values);
    int32_t setEnum(const char* szName, int64_t nValue);
    int32_t getInt(const char* szName, bool bCheckAvailable, int64_t& nValue);

    // Visibility as GenICam grades it; a node without one counts as Beginner.
    enum Visibility { Beginner = 0, Expert = 1, Guru = 2, Invisible = 3 };
    struct NodeInfo {
        std::string strName, strDisplayName, strToolTip; // the display name falls back to the name
        int nVisibility = Beginner;
    };
    struct EntryInfo : NodeInfo {
        int64_t nValue = 0;
        bool bImplemented = true;
        bool bAvailable = true;
    };
    // Every entry of an enumeration in document order, with what the device says of it now.
    int32_t enumEntries(const char* szName, std::vector<EntryInfo>& entries);
    // The first category in document order that lists the feature, wherever it stands in the description.
    int32_t categoryOf(const char* szFeature, NodeInfo& category);

    // The first file of a zip archive, as cameras store zipped descriptions.
    static bool unzipFirst(const std::string& strZip, std::string& strContent);

    // Why the engine's module cannot be loaded (it is loaded now if it was not yet); empty when it is.
    static std::string engineError();

private:
    ReadFn m_fnRead;
    WriteFn m_fnWrite;
    std::unique_ptr<class GenApiEngine> m_pEngine;
    bool m_bLoaded = false;
};
