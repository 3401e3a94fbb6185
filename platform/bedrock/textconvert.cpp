#include "nxinterface.h"

#include <QTextCodec>

#include <cstring>

namespace {

QByteArray FieldBytes(const char* szText, int nLength)
{
    if (!szText || nLength == 0)
        return QByteArray();
    const std::size_t nSize = nLength < 0 ? std::strlen(szText)
                                          : strnlen(szText, std::size_t(nLength));
    return QByteArray(szText, int(nSize));
}

QString DecodeDetected(const QByteArray& bytes)
{
    for (const char* szCodec : {"UTF-8", "GB18030"}) {
        QTextCodec* pCodec = QTextCodec::codecForName(szCodec);
        if (!pCodec)
            continue;
        QTextCodec::ConverterState state(QTextCodec::ConvertInvalidToNull);
        const QString strText = pCodec->toUnicode(bytes.constData(), bytes.size(), &state);
        if (state.invalidChars == 0 && state.remainingChars == 0)
            return strText;
    }
    return QString::fromLatin1(bytes);
}

} // namespace

namespace NXInterface {

QString GetEncodeQStringFromChar(const char* szText, int nLength)
{
    return DecodeDetected(FieldBytes(szText, nLength));
}

QString GetEncodeQStringFromUnChar(const unsigned char* szText, int nLength)
{
    return DecodeDetected(FieldBytes(reinterpret_cast<const char*>(szText), nLength));
}

QString char2QStringLocale(const char* szText, int nLength)
{
    return QString::fromLocal8Bit(FieldBytes(szText, nLength));
}

QString uchar2QStringLocale(const unsigned char* szText, int nLength)
{
    return QString::fromLocal8Bit(FieldBytes(reinterpret_cast<const char*>(szText), nLength));
}

QString toHexadecimalString(int nValue, int nLowerCase, int nWidth)
{
    QString strDigits = QString::number(quint32(nValue), 16);
    if (!nLowerCase)
        strDigits = strDigits.toUpper();
    return QStringLiteral("0x") + strDigits.rightJustified(qMax(0, nWidth), QLatin1Char('0'));
}

} // namespace NXInterface
