#pragma once
// The event configuration file (".ect"): the on/off choice of every event of one device, grouped by event
// type, IO line and channel. Plain text, CR LF line ends:
//
//   BeginGroup--**************----
//   Type: <name>:<value>
//   IO: <name>:<value>                  (only for a group of an IO line)
//   Channel: <name>:<value>
//   Event: [<name>:<value>:<0|1>]; ...  (right after each Channel line)
//   EndGroup----**************----
//   (empty line)

#include <QList>
#include <QString>

class QIODevice;

namespace Saltire {
struct EventTypeItem;
}

namespace EventConfigFile {

extern const char* const kBeginMarker;
extern const char* const kEndMarker;

// The file's text for a device's model.
QString ToText(const QList<Saltire::EventTypeItem*>& eventTypes);

// Writes the text through a text stream in the local 8-bit encoding; false when writing failed.
bool Write(QIODevice* pDevice, const QList<Saltire::EventTypeItem*>& eventTypes);

// Applies a file's text (decoded from UTF-8) to the model in place and recomputes the states of the
// channels, IO lines and types it names. True when at least one event was matched. With pUnmatched, also
// lists the file's types, IO lines, channels and event entries that match nothing of the model.
bool ApplyText(const QString& strText, const QList<Saltire::EventTypeItem*>& eventTypes,
               QStringList* pUnmatched = nullptr);

// Files above this size are refused unread.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

enum class ReadResult { Ok, Unreadable, TooLarge };

// The whole file decoded from UTF-8 (NUL bytes included); pError tells why it was refused.
ReadResult ReadFile(const QString& strPath, QString& strText, QString* pError = nullptr);

} // namespace EventConfigFile
