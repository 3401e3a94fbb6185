#include "simdevicedef.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>

namespace dovisim {

namespace {

std::string trimmed(const std::string& s)
{
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1])))
        --e;
    return s.substr(b, e - b);
}

std::string lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

std::vector<std::string> split(const std::string& s, char sep)
{
    std::vector<std::string> parts;
    std::string cur;
    std::istringstream in(s);
    while (std::getline(in, cur, sep))
        parts.push_back(trimmed(cur));
    if (!s.empty() && s.back() == sep)
        parts.emplace_back();
    return parts;
}

// Decimal, 0x-hexadecimal or negative decimal.
constexpr double kMinRateHz = 0.001;
constexpr double kMaxRateHz = 100000;

bool parseNumber(const std::string& text, long long& value)
{
    const std::string t = trimmed(text);
    if (t.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
        value = static_cast<long long>(std::strtoull(t.c_str() + 2, &end, 16));
    else
        value = std::strtoll(t.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0';
}

bool parseContext(const std::string& text, std::vector<ContextCondition>& out)
{
    out.clear();
    const std::string t = trimmed(text);
    if (t.empty() || t == "*")
        return true;
    for (const std::string& part : split(t, ';')) {
        if (part.empty())
            continue;
        const size_t eq = part.find('=');
        long long v = 0;
        if (eq == std::string::npos || !parseNumber(part.substr(eq + 1), v))
            return false;
        out.push_back({trimmed(part.substr(0, eq)), static_cast<uint32_t>(v)});
    }
    return true;
}

} // namespace

bool readWholeFile(const std::string& strFile, std::string& strContent)
{
    std::ifstream in(strFile, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buf;
    buf << in.rdbuf();
    strContent = buf.str();
    return true;
}

bool loadDeviceDef(const std::string& strFile, SimDeviceDef& def, std::string& strError)
{
    std::string text;
    if (!readWholeFile(strFile, text)) {
        strError = "cannot read " + strFile;
        return false;
    }
    return parseDeviceDef(text, strFile, def, strError);
}

bool parseDeviceDef(const std::string& text, const std::string& strFile, SimDeviceDef& def, std::string& strError)
{
    def = SimDeviceDef();
    def.strFile = strFile;
    def.strInterface = "DoVISim0";
    std::istringstream in(text);
    std::string line, section;
    int nLine = 0;
    auto fail = [&](const std::string& why) {
        strError = strFile + ":" + std::to_string(nLine) + ": " + why;
        return false;
    };
    while (std::getline(in, line)) {
        ++nLine;
        line = trimmed(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = lower(trimmed(line.substr(1, line.size() - 2)));
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            return fail("expected key = value");
        const std::string key = trimmed(line.substr(0, eq));
        const std::string value = trimmed(line.substr(eq + 1));
        const std::string lkey = lower(key);
        long long n = 0;
        if (section == "device") {
            if (lkey == "id") def.strId = value;
            else if (lkey == "vendor") def.strVendor = value;
            else if (lkey == "model") def.strModel = value;
            else if (lkey == "serial") def.strSerial = value;
            else if (lkey == "username") def.strUserName = value;
            else if (lkey == "version") def.strVersion = value;
            else if (lkey == "interface") def.strInterface = value;
            else if (lkey == "description") def.strDescriptionFile = value;
            else if (lkey == "translation") def.strTranslationFile = value;
            else if (lkey == "descriptionurl") {
                const std::string v = lower(value);
                if (v == "local") def.urlForm = UrlForm::Local;
                else if (v == "zip") def.urlForm = UrlForm::Zip;
                else if (v == "file") def.urlForm = UrlForm::File;
                else return fail("DescriptionUrl must be local, zip or file");
            } else if (lkey == "tickfrequency") {
                if (!parseNumber(value, n) || n <= 0)
                    return fail("TickFrequency must be a positive number");
                def.nTickFrequency = static_cast<uint64_t>(n);
            } else if (lkey == "portlatency") {
                if (!parseNumber(value, n) || n < 0 || n > 1000000)
                    return fail("PortLatency must be 0 to 1000000 microseconds");
                def.nPortLatencyUs = uint32_t(n);
            } else if (lkey == "eventdatainfo") {
                const auto parts = split(value, ',');
                long long id = 0, ticks = 0, valueSize = -1;
                if ((parts.size() != 2 && parts.size() != 3) || !parseNumber(parts[0], id)
                    || !parseNumber(parts[1], ticks) || id < 0 || id > 0xffff || ticks < 0
                    || (parts.size() == 3 && (!parseNumber(parts[2], valueSize) || valueSize < 0)))
                    return fail("EventDataInfo must be <id>, <time stamp>[, <value size>]");
                def.bEventInfoOverride = true;
                def.nEventInfoId = uint16_t(id);
                def.nEventInfoTimestamp = uint64_t(ticks);
                def.nEventInfoValueSize = valueSize;
            }
        } else if (section == "poke") {
            long long addr = 0, size = 4;
            const auto parts = split(value, ':');
            if (!parseNumber(key, addr) || addr < 0 || parts.empty() || !parseNumber(parts[0], n)
                || (parts.size() > 1 && !parseNumber(parts[1], size)) || size < 1 || size > 8)
                return fail("poke entry must be <address> = <value>[:<size 1-8>]");
            def.pokes.push_back({static_cast<uint64_t>(addr), {static_cast<uint64_t>(n), uint32_t(size)}});
        } else if (section == "registers") {
            const auto parts = split(value, ':');
            RegisterRange r;
            long long size = 4;
            if (parts.empty() || !parseNumber(parts[0], n) || (parts.size() > 1 && !parseNumber(parts[1], size)))
                return fail("register address expected");
            if (n < 0 || size < 1)
                return fail("register address must not be negative, its size at least 1");
            r.nAddress = static_cast<uint64_t>(n);
            r.nSize = static_cast<uint64_t>(size);
            def.registers[key] = r;
        } else if (section == "memory") {
            long long addr = 0, size = 4;
            const auto parts = split(value, ':');
            if (!parseNumber(key, addr) || addr < 0 || parts.empty() || !parseNumber(parts[0], n)
                || (parts.size() > 1 && !parseNumber(parts[1], size)) || size < 1 || size > 8)
                return fail("memory entry must be <address> = <value>[:<size 1-8>]");
            def.memory.push_back({static_cast<uint64_t>(addr), {static_cast<uint64_t>(n), uint32_t(size)}});
        } else if (section == "events") {
            const auto parts = split(value, ',');
            long long slot = 0, id = 0;
            if (parts.size() != 3 || !parseNumber(parts[0], slot) || !parseNumber(parts[1], id))
                return fail("event must be <slot>, <id>, <rate>");
            char* end = nullptr;
            const double rate = std::strtod(parts[2].c_str(), &end);
            // 0 sends nothing; otherwise a period the generator's clock can hold (no nan, no overflow).
            if (!end || *end != '\0' || !std::isfinite(rate) || rate < 0 || (rate > 0 && rate < kMinRateHz)
                || rate > kMaxRateHz)
                return fail("event rate must be 0 or 0.001 to 100000 events per second");
            def.events.push_back({uint32_t(slot), uint16_t(id), rate});
        } else if (section == "faults") {
            if (lkey == "open") {
                if (!parseNumber(value, n))
                    return fail("Open fault needs an error code");
                def.nOpenFault = int32_t(n);
            } else if (lkey.rfind("setenum", 0) == 0) {
                const auto parts = split(value, ',');
                long long v = 0;
                SetFault f;
                if (parts.size() != 4 || !parseNumber(parts[1], v) || !parseContext(parts[2], f.context)
                    || !parseNumber(parts[3], n))
                    return fail("SetEnum fault must be <feature>, <value>, <context>, <code>");
                f.strFeature = parts[0];
                f.nValue = uint32_t(v);
                f.nCode = int32_t(n);
                def.setFaults.push_back(f);
            } else if (lkey.rfind("getenum", 0) == 0) {
                const auto parts = split(value, ',');
                GetFault f;
                if (parts.size() != 3 || !parseContext(parts[1], f.context) || !parseNumber(parts[2], n))
                    return fail("GetEnum fault must be <feature>, <context>, <code>");
                f.strFeature = parts[0];
                f.nCode = int32_t(n);
                def.getFaults.push_back(f);
            } else if (lkey == "description") {
                def.bDescriptionUnloadable = lower(value) == "unloadable";
            } else if (lkey == "translation") {
                def.bTranslationAbsent = lower(value) == "absent";
            }
        }
    }
    if (def.strId.empty())
        return fail("[Device] Id is missing");
    if (def.strDescriptionFile.empty())
        return fail("[Device] Description is missing");
    return true;
}

std::vector<std::string> listDeviceFiles(const std::string& strFolder)
{
    std::vector<std::string> files;
    DIR* dir = opendir(strFolder.c_str());
    if (!dir)
        return files;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name.size() > 4 && lower(name.substr(name.size() - 4)) == ".ini")
            files.push_back(strFolder + "/" + name);
    }
    closedir(dir);
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace dovisim
