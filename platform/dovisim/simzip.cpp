#include "simzip.h"

#include <zlib.h>

#include <cstdint>

namespace dovisim {

namespace {

void put16(std::string& s, uint16_t v)
{
    s.push_back(char(v & 0xff));
    s.push_back(char(v >> 8));
}

void put32(std::string& s, uint32_t v)
{
    put16(s, uint16_t(v & 0xffff));
    put16(s, uint16_t(v >> 16));
}

std::string deflateRaw(const std::string& in)
{
    z_stream zs{};
    if (deflateInit2(&zs, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::string();
    std::string out(deflateBound(&zs, uLong(in.size())), '\0');
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    zs.avail_in = uInt(in.size());
    zs.next_out = reinterpret_cast<Bytef*>(&out[0]);
    zs.avail_out = uInt(out.size());
    const int rc = deflate(&zs, Z_FINISH);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return rc == Z_STREAM_END ? out : std::string();
}

} // namespace

std::string makeZip(const std::string& strName, const std::string& strContent)
{
    const uint32_t crc = uint32_t(crc32(0L, reinterpret_cast<const Bytef*>(strContent.data()),
                                        uInt(strContent.size())));
    const std::string packed = deflateRaw(strContent);
    const uint16_t dosTime = 0, dosDate = (1 << 5) | 1 | ((2020 - 1980) << 9);

    std::string zip;
    put32(zip, 0x04034b50); // local file header
    put16(zip, 20);
    put16(zip, 0);
    put16(zip, 8);
    put16(zip, dosTime);
    put16(zip, dosDate);
    put32(zip, crc);
    put32(zip, uint32_t(packed.size()));
    put32(zip, uint32_t(strContent.size()));
    put16(zip, uint16_t(strName.size()));
    put16(zip, 0);
    zip += strName;
    zip += packed;

    const uint32_t centralOffset = uint32_t(zip.size());
    put32(zip, 0x02014b50); // central directory entry
    put16(zip, 20);
    put16(zip, 20);
    put16(zip, 0);
    put16(zip, 8);
    put16(zip, dosTime);
    put16(zip, dosDate);
    put32(zip, crc);
    put32(zip, uint32_t(packed.size()));
    put32(zip, uint32_t(strContent.size()));
    put16(zip, uint16_t(strName.size()));
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 0);
    put32(zip, 0);
    put32(zip, 0);
    zip += strName;
    const uint32_t centralSize = uint32_t(zip.size()) - centralOffset;

    put32(zip, 0x06054b50); // end of central directory
    put16(zip, 0);
    put16(zip, 0);
    put16(zip, 1);
    put16(zip, 1);
    put32(zip, centralSize);
    put32(zip, centralOffset);
    put16(zip, 0);
    return zip;
}

} // namespace dovisim
