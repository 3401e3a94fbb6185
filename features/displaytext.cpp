#include "displaytext.h"

#include "custom.h"

namespace Saltire {

QFont MeasureFont()
{
    QFont font(Custom::globalFontFamily());
    font.setPixelSize(14);
    return font;
}

QString ShortenDisplayName(QString strText, const QStringList& words)
{
    const int n = words.size();
    bool bUnderscoreAbsent = false;
    for (int i = 0; i < n; ++i) {
        const QString& word = words.at(i);
        if (i == n - 2)
            bUnderscoreAbsent = !strText.contains(word, Qt::CaseSensitive);
        if (word.isEmpty())
            continue;
        if (i < n - 1 || bUnderscoreAbsent)
            strText.remove(word, Qt::CaseInsensitive);
    }
    return strText.trimmed();
}

QString ErrorText(int nResult)
{
    if (nResult == 0)
        return QString();
    return QStringLiteral("0x") + QString::number(quint32(nResult), 16);
}

} // namespace Saltire
