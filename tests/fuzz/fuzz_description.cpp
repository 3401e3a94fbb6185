// libFuzzer target: the description parser (a description, and the same bytes as its translation).
#include "descriptionparser.h"

#include <QByteArray>

#include <QtGlobal>

#include <cstdint>

// The parser's progress lines would drown the fuzzer's own.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    Saltire::FeatureDescMap map;
    Saltire::ParseFeatureDescriptions(bytes, bytes, map);
    return 0;
}
