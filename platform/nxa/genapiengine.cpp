#include <arv.h>

#include "genapiengine.h"
#include "gentl.h"

#include <algorithm>
#include <cstring>

namespace {

class AravisEngine final : public GenApiEngine
{
public:
    AravisEngine(GenApiNodeMap::ReadFn fnRead, GenApiNodeMap::WriteFn fnWrite)
        : read(std::move(fnRead))
        , write(std::move(fnWrite))
    {
    }
    ~AravisEngine() override;

    bool load(const std::string& strXml) override;
    int32_t getEnum(const char* szName, bool bAvailableOnly, int64_t& nCurrent, std::vector<int64_t>& values) override;
    int32_t setEnum(const char* szName, int64_t nValue) override;
    int32_t getInt(const char* szName, bool bCheckAvailable, int64_t& nValue) override;
    int32_t enumEntries(const char* szName, std::vector<GenApiNodeMap::EntryInfo>& entries) override;
    int32_t categoryOf(const char* szFeature, GenApiNodeMap::NodeInfo& category) override;

    GenApiNodeMap::ReadFn read;
    GenApiNodeMap::WriteFn write;
    ArvDevice* pDevice = nullptr;
    int32_t nPortError = 0; // the producer's code of the last failed port access
};

} // namespace

// An ArvDevice whose memory is a GenTL port (or whatever the two functions reach).
extern "C" {
typedef struct {
    ArvDevice parent;
    AravisEngine* pOwner;
    ArvGc* pGc;
    char* szXml;
    size_t nXmlSize;
} NxaPortDevice;

typedef struct {
    ArvDeviceClass parent_class;
} NxaPortDeviceClass;
}

G_DEFINE_TYPE(NxaPortDevice, nxa_port_device, ARV_TYPE_DEVICE)

#define NXA_PORT_DEVICE(obj) (G_TYPE_CHECK_INSTANCE_CAST((obj), nxa_port_device_get_type(), NxaPortDevice))

namespace {

GQuark portErrorQuark()
{
    return g_quark_from_static_string("nxa-port-error");
}

// The result of one port access as the engine takes it; the producer's code is kept for resultOf.
gboolean PortResult(ArvDevice* device, int32_t rc, const char* szWhat, guint64 address, GError** error)
{
    if (rc == 0)
        return TRUE;
    NXA_PORT_DEVICE(device)->pOwner->nPortError = rc;
    g_set_error(error, portErrorQuark(), rc, "port %s at 0x%" G_GINT64_MODIFIER "x failed (%d)", szWhat, address, rc);
    return FALSE;
}

gboolean portRead(ArvDevice* device, guint64 address, guint32 size, void* buffer, GError** error)
{
    return PortResult(device, NXA_PORT_DEVICE(device)->pOwner->read(address, buffer, size), "read", address, error);
}

gboolean portWrite(ArvDevice* device, guint64 address, guint32 size, void* buffer, GError** error)
{
    return PortResult(device, NXA_PORT_DEVICE(device)->pOwner->write(address, buffer, size), "write", address, error);
}

gboolean registerRead(ArvDevice* device, guint64 address, guint32* value, GError** error)
{
    return portRead(device, address, 4, value, error);
}

gboolean registerWrite(ArvDevice* device, guint64 address, guint32 value, GError** error)
{
    return portWrite(device, address, 4, &value, error);
}

const char* genicamXml(ArvDevice* device, size_t* size)
{
    NxaPortDevice* self = NXA_PORT_DEVICE(device);
    if (size)
        *size = self->nXmlSize;
    return self->szXml;
}

ArvGc* genicam(ArvDevice* device)
{
    return NXA_PORT_DEVICE(device)->pGc;
}

} // namespace

static void nxa_port_device_init(NxaPortDevice* self)
{
    self->pOwner = nullptr;
    self->pGc = nullptr;
    self->szXml = nullptr;
    self->nXmlSize = 0;
}

static void nxa_port_device_finalize(GObject* object)
{
    NxaPortDevice* self = NXA_PORT_DEVICE(object);
    g_clear_object(&self->pGc);
    g_free(self->szXml);
    G_OBJECT_CLASS(nxa_port_device_parent_class)->finalize(object);
}

static void nxa_port_device_class_init(NxaPortDeviceClass* klass)
{
    G_OBJECT_CLASS(klass)->finalize = nxa_port_device_finalize;
    ArvDeviceClass* device = ARV_DEVICE_CLASS(klass);
    device->read_memory = portRead;
    device->write_memory = portWrite;
    device->read_register = registerRead;
    device->write_register = registerWrite;
    device->get_genicam_xml = genicamXml;
    device->get_genicam = genicam;
}

namespace {

// Our port error if one caused the failure, otherwise the engine's reason as a GenTL code.
int32_t resultOf(AravisEngine* d, GError* error)
{
    int32_t rc = GC_ERR_ERROR;
    if (d->nPortError != 0)
        rc = d->nPortError;
    else if (error && error->domain == arv_gc_error_quark()) {
        switch (error->code) {
        case ARV_GC_ERROR_OUT_OF_RANGE: rc = GC_ERR_NOT_AVAILABLE; break;
        case ARV_GC_ERROR_ENUM_ENTRY_NOT_FOUND: rc = GC_ERR_INVALID_VALUE; break;
        case ARV_GC_ERROR_READ_ONLY: rc = GC_ERR_ACCESS_DENIED; break;
        case ARV_GC_ERROR_NODE_NOT_FOUND: rc = GC_ERR_INVALID_ID; break;
        default: rc = GC_ERR_ERROR; break;
        }
    } else if (error && error->domain == portErrorQuark()) {
        rc = error->code;
    }
    if (error)
        g_error_free(error);
    return rc;
}

ArvGc* gcOf(AravisEngine* d)
{
    return d->pDevice ? NXA_PORT_DEVICE(d->pDevice)->pGc : nullptr;
}

// The feature node of a name and type, ready for a new access; rc tells why there is none.
ArvGcNode* findFeature(AravisEngine* d, const char* szName, GType type, int32_t& rc)
{
    ArvGc* gc = gcOf(d);
    ArvGcNode* node = gc && szName ? arv_gc_get_node(gc, szName) : nullptr;
    rc = !gc ? GC_ERR_NOT_INITIALIZED
             : !node ? GC_ERR_INVALID_ID : !G_TYPE_CHECK_INSTANCE_TYPE(node, type) ? GC_ERR_INVALID_PARAMETER : 0;
    if (rc != GC_ERR_SUCCESS)
        return nullptr;
    d->nPortError = 0;
    return node;
}

int32_t checkAvailable(AravisEngine* d, ArvGcNode* node)
{
    GError* error = nullptr;
    const gboolean bAvailable = arv_gc_feature_node_is_available(ARV_GC_FEATURE_NODE(node), &error);
    if (error)
        return resultOf(d, error);
    return bAvailable ? GC_ERR_SUCCESS : GC_ERR_NOT_AVAILABLE;
}

} // namespace

AravisEngine::~AravisEngine()
{
    if (pDevice)
        g_object_unref(pDevice);
}

bool AravisEngine::load(const std::string& strXml)
{
    if (pDevice) {
        g_object_unref(pDevice);
        pDevice = nullptr;
    }
    auto* device = static_cast<NxaPortDevice*>(g_object_new(nxa_port_device_get_type(), nullptr));
    device->pOwner = this;
    device->szXml = static_cast<char*>(g_malloc(strXml.size() + 1));
    std::memcpy(device->szXml, strXml.data(), strXml.size());
    device->szXml[strXml.size()] = '\0';
    device->nXmlSize = strXml.size();
    device->pGc = arv_gc_new(ARV_DEVICE(device), device->szXml, device->nXmlSize);
    if (!device->pGc) {
        g_object_unref(device);
        return false;
    }
    // Writes to read-only features must fail. Registers are cached as the description says (Cachable,
    // pInvalidator): on a network every register read is a round trip, and a description that declares a
    // register NoCache is read every time.
    arv_gc_set_access_check_policy(device->pGc, ARV_ACCESS_CHECK_POLICY_ENABLE);
    arv_gc_set_register_cache_policy(device->pGc, ARV_REGISTER_CACHE_POLICY_ENABLE);
    pDevice = ARV_DEVICE(device);
    return true;
}

int32_t AravisEngine::getEnum(const char* szName, bool bAvailableOnly, int64_t& nCurrent, std::vector<int64_t>& values)
{
    values.clear();
    int32_t rcFind = GC_ERR_SUCCESS;
    ArvGcNode* node = findFeature(this, szName, ARV_TYPE_GC_ENUMERATION, rcFind);
    if (!node)
        return rcFind;
    if (bAvailableOnly) {
        if (const int32_t rc = checkAvailable(this, node))
            return rc;
    }
    GError* error = nullptr;
    auto* enumeration = ARV_GC_ENUMERATION(node);
    nCurrent = arv_gc_enumeration_get_int_value(enumeration, &error);
    if (error)
        return resultOf(this, error);
    if (bAvailableOnly) {
        guint n = 0;
        gint64* available = arv_gc_enumeration_dup_available_int_values(enumeration, &n, &error);
        if (error) {
            g_free(available);
            return resultOf(this, error);
        }
        values.assign(available, available + n);
        g_free(available);
    } else {
        // The engine keeps entries in reverse document order.
        for (const GSList* it = arv_gc_enumeration_get_entries(enumeration); it; it = it->next) {
            const gint64 v = arv_gc_enum_entry_get_value(ARV_GC_ENUM_ENTRY(it->data), &error);
            if (error)
                return resultOf(this, error);
            values.push_back(v);
        }
        std::reverse(values.begin(), values.end());
    }
    return GC_ERR_SUCCESS;
}

int32_t AravisEngine::setEnum(const char* szName, int64_t nValue)
{
    int32_t rcFind = GC_ERR_SUCCESS;
    ArvGcNode* node = findFeature(this, szName, ARV_TYPE_GC_ENUMERATION, rcFind);
    if (!node)
        return rcFind;
    // The engine does not refuse writes to a feature that is itself unavailable.
    if (const int32_t rc = checkAvailable(this, node))
        return rc;
    // Unknown and unavailable entries are told apart here: the engine reports both as out of range.
    GError* error = nullptr;
    bool bKnown = false;
    for (const GSList* it = arv_gc_enumeration_get_entries(ARV_GC_ENUMERATION(node)); it && !bKnown; it = it->next) {
        ArvGcEnumEntry* entry = ARV_GC_ENUM_ENTRY(it->data);
        if (arv_gc_enum_entry_get_value(entry, &error) != nValue || error) {
            g_clear_error(&error);
            continue;
        }
        bKnown = true;
        const gboolean bAvailable = arv_gc_feature_node_is_available(ARV_GC_FEATURE_NODE(entry), &error);
        if (error)
            return resultOf(this, error);
        if (!bAvailable)
            return GC_ERR_NOT_AVAILABLE;
    }
    if (!bKnown)
        return GC_ERR_INVALID_VALUE;
    arv_gc_enumeration_set_int_value(ARV_GC_ENUMERATION(node), nValue, &error);
    if (error)
        return resultOf(this, error);
    return GC_ERR_SUCCESS;
}

int32_t AravisEngine::getInt(const char* szName, bool bCheckAvailable, int64_t& nValue)
{
    int32_t rcFind = GC_ERR_SUCCESS;
    ArvGcNode* node = findFeature(this, szName, ARV_TYPE_GC_INTEGER, rcFind);
    if (!node)
        return rcFind;
    if (bCheckAvailable) {
        if (const int32_t rc = checkAvailable(this, node))
            return rc;
    }
    GError* error = nullptr;
    nValue = arv_gc_integer_get_value(ARV_GC_INTEGER(node), &error);
    if (error)
        return resultOf(this, error);
    return GC_ERR_SUCCESS;
}

namespace {

void describeNode(ArvGcFeatureNode* node, GenApiNodeMap::NodeInfo& info)
{
    const char* name = arv_gc_feature_node_get_name(node);
    const char* display = arv_gc_feature_node_get_display_name(node);
    const char* tooltip = arv_gc_feature_node_get_tooltip(node);
    info.strName = name ? name : "";
    info.strDisplayName = display && *display ? display : info.strName;
    info.strToolTip = tooltip ? tooltip : "";
    switch (arv_gc_feature_node_get_visibility(node)) {
    case ARV_GC_VISIBILITY_EXPERT: info.nVisibility = GenApiNodeMap::Expert; break;
    case ARV_GC_VISIBILITY_GURU: info.nVisibility = GenApiNodeMap::Guru; break;
    case ARV_GC_VISIBILITY_INVISIBLE: info.nVisibility = GenApiNodeMap::Invisible; break;
    default: info.nVisibility = GenApiNodeMap::Beginner; break;
    }
}

// Depth first, in document order; categories may stand inside groups or anywhere else.
ArvGcCategory* findCategoryListing(ArvDomNode* node, const char* szFeature)
{
    for (ArvDomNode* child = arv_dom_node_get_first_child(node); child; child = arv_dom_node_get_next_sibling(child)) {
        if (ARV_IS_GC_CATEGORY(child)) {
            for (const GSList* it = arv_gc_category_get_features(ARV_GC_CATEGORY(child)); it; it = it->next)
                if (it->data && std::strcmp(static_cast<const char*>(it->data), szFeature) == 0)
                    return ARV_GC_CATEGORY(child);
        }
        if (ArvGcCategory* found = findCategoryListing(child, szFeature))
            return found;
    }
    return nullptr;
}

} // namespace

int32_t AravisEngine::enumEntries(const char* szName, std::vector<GenApiNodeMap::EntryInfo>& entries)
{
    entries.clear();
    int32_t rcFind = GC_ERR_SUCCESS;
    ArvGcNode* node = findFeature(this, szName, ARV_TYPE_GC_ENUMERATION, rcFind);
    if (!node)
        return rcFind;
    // An entry whose value or availability cannot be had counts as unavailable; only when no entry can be
    // had at all is the enumeration unreadable.
    GError* error = nullptr;
    int32_t rcFirst = GC_ERR_SUCCESS;
    size_t nFailed = 0;
    for (const GSList* it = arv_gc_enumeration_get_entries(ARV_GC_ENUMERATION(node)); it; it = it->next) {
        auto* entry = ARV_GC_FEATURE_NODE(it->data);
        GenApiNodeMap::EntryInfo info;
        describeNode(entry, info);
        info.nValue = arv_gc_enum_entry_get_value(ARV_GC_ENUM_ENTRY(entry), &error);
        if (!error)
            info.bImplemented = arv_gc_feature_node_is_implemented(entry, &error);
        if (!error)
            info.bAvailable = info.bImplemented && arv_gc_feature_node_is_available(entry, &error);
        if (error) {
            const int32_t rc = resultOf(this, error);
            error = nullptr;
            rcFirst = rcFirst ? rcFirst : rc;
            ++nFailed;
            info.bAvailable = false;
        }
        entries.push_back(std::move(info));
    }
    if (nFailed && nFailed == entries.size()) {
        entries.clear();
        return rcFirst;
    }
    std::reverse(entries.begin(), entries.end()); // the engine keeps them in reverse document order
    return GC_ERR_SUCCESS;
}

int32_t AravisEngine::categoryOf(const char* szFeature, GenApiNodeMap::NodeInfo& category)
{
    ArvGc* gc = gcOf(this);
    if (!gc)
        return GC_ERR_NOT_INITIALIZED;
    if (!szFeature || !arv_gc_get_node(gc, szFeature))
        return GC_ERR_INVALID_ID;
    ArvGcCategory* found = findCategoryListing(ARV_DOM_NODE(gc), szFeature);
    if (!found)
        return GC_ERR_NOT_AVAILABLE;
    describeNode(ARV_GC_FEATURE_NODE(found), category);
    return GC_ERR_SUCCESS;
}

namespace {

bool UnzipFirst(const std::string& strZip, std::string& strContent)
{
    ArvZip* zip = arv_zip_new(strZip.data(), strZip.size());
    if (!zip)
        return false;
    bool bOk = false;
    const GSList* files = arv_zip_get_file_list(zip);
    if (files) {
        size_t size = 0;
        void* data = arv_zip_get_file(zip, arv_zip_file_get_name(static_cast<ArvZipFile*>(files->data)), &size);
        if (data) {
            strContent.assign(static_cast<const char*>(data), size);
            g_free(data);
            bOk = true;
        }
    }
    arv_zip_free(zip);
    return bOk;
}

GenApiEngine* Create(GenApiNodeMap::ReadFn fnRead, GenApiNodeMap::WriteFn fnWrite)
{
    return new AravisEngine(std::move(fnRead), std::move(fnWrite));
}

} // namespace

extern "C" NXA_GENAPI_EXPORT const GenApiEngineModule* nxa_genapi_engine()
{
    static const GenApiEngineModule module{kGenApiEngineVersion, &Create, &UnzipFirst};
    return &module;
}
