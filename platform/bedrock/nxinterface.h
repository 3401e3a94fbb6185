#pragma once

#include "bedrock_global.h"

#include <QFileDialog>
#include <QString>
#include <QVariant>

class QWidget;

// Utility functions shared by the suite's tools.
namespace NXInterface {

// --- Configuration -----------------------------------------------------------------------------------
// The tool's own INI resource (version, copyright texts).
BEDROCK_EXPORT void setAppIniFile(const QString& strPath);
BEDROCK_EXPORT QString appIniFile();
// Branding values: the OEM file ($KESTREL_OEM_FILE, else oem/oem.ini beside the executable) or the default.
BEDROCK_EXPORT QVariant GetOEMCfgValue(const QString& strKey, const QVariant& defaultValue);
// A text of the OEM file, else of the tool's INI resource; empty when neither has it.
BEDROCK_EXPORT QString softwareConfigInfor(const QString& strKey);
BEDROCK_EXPORT QString curExeVersion();

// --- Logging -----------------------------------------------------------------------------------------
// Routes Qt's message logger as the log4qt-style properties file says: root level, console and rolling
// file appenders. Returns false and leaves logging as it was when the file is missing or unusable.
BEDROCK_EXPORT bool initLog4qtConfig(const QString& strPath);
// The log file currently written, empty when there is none.
BEDROCK_EXPORT QString currentLogFile();
// Restores Qt's previous message handler and closes the log file; also runs when the application ends.
BEDROCK_EXPORT void shutdownLog();

// --- Interface language ("CH" or "ENG") ----------------------------------------------------------------
// The chosen language. With nothing chosen yet: the system's ("CH" for a Chinese locale, else "ENG")
// when bSystemDefault is true, otherwise "ENG" (the window starts in English).
BEDROCK_EXPORT QString language(bool bSystemDefault);
BEDROCK_EXPORT void setLanguage(const QString& strLanguage);
// Makes the chosen language persist in the user's settings.
BEDROCK_EXPORT bool storeLanguage();

// --- Folders (each can be redirected by an environment variable) --------------------------------------
BEDROCK_EXPORT QString userDataPath();    // KESTREL_USER_DATA_DIR, else $XDG_DATA_HOME/Kestrel
BEDROCK_EXPORT QString programDataPath(); // KESTREL_PROGRAM_DATA_DIR, else $XDG_CONFIG_HOME/Kestrel
BEDROCK_EXPORT QString commonFilesPath(); // KESTREL_COMMON_FILES_DIR, else the XDG data folder holding the runtime
BEDROCK_EXPORT QString settingsPath();    // KESTREL_CONFIG_DIR, else $XDG_CONFIG_HOME/Kestrel
BEDROCK_EXPORT QString appName();         // name of the suite's runtime folder
BEDROCK_EXPORT QString runtimePlatformName(); // "Linux64_x64" or "Win64_x64"

// --- Dialogs and browser -------------------------------------------------------------------------------
// An open dialog. The filter may use the "description|pattern" form. Returns the path or an empty text.
BEDROCK_EXPORT QString getOpenFileName(QWidget* parent, const QString& strCaption, const QString& strDir,
                                       const QString& strFilter, QString* pSelectedFilter = nullptr,
                                       QFileDialog::Options options = {});
BEDROCK_EXPORT bool OpenHtmlByDefBrowser(const QString& strUrl);
// Turns the "description|pattern|description|pattern" form into Qt's ";;" form; Qt filters stay.
BEDROCK_EXPORT QString toQtFileFilter(const QString& strFilter);

// --- Text of fixed-size byte fields --------------------------------------------------------------------
// nLength is the field's size in bytes; -1 reads up to the terminating zero. Text stops at the first
// zero byte either way. The "Encode" variants take UTF-8, then GB18030, then Latin-1, whichever
// decodes without error; the "Locale" variants use the locale's 8-bit encoding.
BEDROCK_EXPORT QString GetEncodeQStringFromChar(const char* szText, int nLength);
BEDROCK_EXPORT QString GetEncodeQStringFromUnChar(const unsigned char* szText, int nLength);
BEDROCK_EXPORT QString char2QStringLocale(const char* szText, int nLength);
BEDROCK_EXPORT QString uchar2QStringLocale(const unsigned char* szText, int nLength);

// "0x" and the hexadecimal digits of the 32-bit value, zero-padded to nWidth digits; upper-case digits
// unless nLowerCase is non-zero.
BEDROCK_EXPORT QString toHexadecimalString(int nValue, int nLowerCase, int nWidth);

} // namespace NXInterface
