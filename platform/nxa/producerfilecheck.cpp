#include "producerfilecheck.h"

#include <QFile>

#ifdef __linux__
#include <elf.h>
#include <link.h>

#include <cstring>

namespace {

using Ehdr = ElfW(Ehdr);
using Phdr = ElfW(Phdr);

bool within(quint64 offset, quint64 size, quint64 fileSize)
{
    return offset <= fileSize && size <= fileSize - offset;
}

} // namespace

bool IsLoadableLibraryFile(const QString& strPath, QString& strWhy)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        strWhy = file.errorString();
        return false;
    }
    const quint64 fileSize = quint64(file.size());
    Ehdr header{};
    if (file.read(reinterpret_cast<char*>(&header), sizeof header) != qint64(sizeof header)
        || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0) {
        strWhy = QStringLiteral("not an ELF file");
        return false;
    }
    if (header.e_ident[EI_CLASS] != (sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32) || header.e_type != ET_DYN
        || header.e_phentsize != sizeof(Phdr)) {
        strWhy = QStringLiteral("not a shared library for this machine");
        return false;
    }
    if (!within(header.e_phoff, quint64(header.e_phnum) * sizeof(Phdr), fileSize)
        || (header.e_shoff && !within(header.e_shoff, quint64(header.e_shnum) * header.e_shentsize, fileSize))) {
        strWhy = QStringLiteral("its headers lie beyond its end (the file is cut short)");
        return false;
    }
    if (!file.seek(qint64(header.e_phoff)))
        return false;
    for (int i = 0; i < header.e_phnum; ++i) {
        Phdr segment{};
        if (file.read(reinterpret_cast<char*>(&segment), sizeof segment) != qint64(sizeof segment)) {
            strWhy = QStringLiteral("its program headers cannot be read");
            return false;
        }
        if ((segment.p_type == PT_LOAD || segment.p_type == PT_DYNAMIC)
            && !within(segment.p_offset, segment.p_filesz, fileSize)) {
            strWhy = QStringLiteral("a segment lies beyond its end (the file is cut short)");
            return false;
        }
    }
    return true;
}

#else

bool IsLoadableLibraryFile(const QString&, QString&)
{
    return true;
}

#endif
