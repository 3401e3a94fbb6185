#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace Saltire {

// Removes the channel's words from an event's display name. The last two words are "_<channel>" and the
// bare channel number; the bare number goes only when "_<channel>" is absent (tested case-sensitively),
// every other word always goes (case-insensitively).
QString ShortenDisplayName(QString strText, const QStringList& words);

// The font event names are measured with: the global family at 14 pixels.
QFont MeasureFont();

// "" for 0, else "0x" and the lower-case hexadecimal digits of the 32-bit result.
QString ErrorText(int nResult);

} // namespace Saltire
