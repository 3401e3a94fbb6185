#include "qlocalcfg.h"

#include "nxinterface.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <algorithm>

#include <new>

namespace {

QLocalCfg* s_pInstance = nullptr;

const char* const kActions[] = {"Connect", "Grabbing", "Render", "FullScreen", "ImgSave", "Record",
                                "ZoomIn", "ZoomOut", "FitToWindow", "ActualSize", "BuildIn"};
constexpr int kActionCount = int(sizeof(kActions) / sizeof(kActions[0]));
constexpr int kBuildIn = kActionCount - 1;

// The defaults of the shortcuts, as (modifiers, key).
QPair<int, int> DefaultShortcut(int nAction)
{
    const int ctrl = int(Qt::ControlModifier);
    switch (nAction) {
    case 0: return {0, Qt::Key_F1};
    case 1: return {0, Qt::Key_F2};
    case 2: return {0, Qt::Key_F3};
    case 3: return {0, Qt::Key_F4};
    case 4: return {ctrl, Qt::Key_P};
    case 5: return {ctrl, Qt::Key_R};
    case 6: return {ctrl | int(Qt::KeypadModifier), Qt::Key_Plus};
    case 7: return {ctrl, Qt::Key_Minus};
    case 8: return {ctrl, Qt::Key_1};
    case 9: return {ctrl, Qt::Key_2};
    default: return {ctrl | int(Qt::AltModifier), Qt::Key_M};
    }
}

const QString kAutoSaveKey = QStringLiteral("EventMonitor/EventAutoSave");
const QString kOutputFolderKey = QStringLiteral("Recording/OutputFolder");

} // namespace

QLocalCfg* QLocalCfg::Instance()
{
    if (!s_pInstance) {
        s_pInstance = new (std::nothrow) QLocalCfg;
        if (s_pInstance)
            s_pInstance->Load();
    }
    return s_pInstance;
}

void QLocalCfg::Destroy()
{
    delete s_pInstance;
    s_pInstance = nullptr;
}

QLocalCfg::QLocalCfg()
{
    const auto i = [](int n) { return QVariant(n); };
    const auto b = [](bool v) { return QVariant(v); };
    const auto s = [](const char* v) { return QVariant(QString::fromLatin1(v)); };
    const QVector<Entry> before = {
        {"Feature/Langue", s("ENG")}, {"AddCamera/IP", s("0.0.0.0")}, {"General/UserLevel", i(0)},
        {"General/DefaultFolderNameType", i(1)}, {"General/EncodingType", i(1)}, {"General/CtiFilePath", s("")},
        {"General/OpenDefaultCtiPath", b(false)}, {"General/ThreadNumber", i(1)}, {"General/BayerInnerMode", i(3)},
        {"General/QuickTuning", b(true)}, {"Recording/SaveMode", i(0)}, {kOutputFolderKey, s("")},
        {"Recording/AutoSave", b(false)}, {"Recording/RecdingVedioFormat", i(0)}, {"Recording/VideoQualityType", i(0)},
        {"Recording/VideoQuality", i(40)}, {"Recording/EnableSetFixedPlaybackSpeed", b(false)},
        {"Recording/FixedPlaybackSpeed", QVariant(25.0f)}, {"Recording/RecSavePreFileName", s("Video_")},
        {"Recording/RecSaveFileNameIndex", i(0)}, {"Recording/ImgFormat", i(0)}, {"Recording/ImgQualityType", i(0)},
        {"Recording/ImgQuality", i(40)}, {"Recording/ImgSaveMode", i(0)}, {"Recording/ImgSaveSpanFrames", i(0)},
        {"Recording/ImgSaveFixedFrames", b(false)}, {"Recording/ImgSaveFixedFramesNum", i(1000)},
        {"Recording/ImgSaveSpanTime", i(0)}, {"Recording/ImgSaveSpanTimeUnit", i(0)},
        {"Recording/ImgSaveFixedTime", b(false)}, {"Recording/ImgSaveFixedTimeNum", i(5)},
        {"Recording/ImgSaveFixedTimeUnit", i(2)}, {"Recording/ImgSavePreFileName", s("Image_")},
        {"Recording/ImgSaveFileNameIndex", i(0)}, {"NetWorkCfg/AutoCheckNetwork", b(false)},
        {"NetWorkCfg/AutoLostPacketConfig", b(false)}, {"Buffers/SDKBufferSize", i(2)},
        {"Buffers/ImgSaveBufferSize", i(3)}, {"View/StatusShowFlage", i(638)}, {"View/MultiStatusShowFlage", i(511)},
        {"View/FrameShowFlage", i(0)}, {"View/MultiEmbeddedShowFlage", i(511)}, {"View/SelfDefineFrameShowFlage", i(0)},
        {"View/LocalFileStatusShowFlage", i(32776)}, {"Common/FirstStartClient", b(true)},
        {"Common/RenderEngine", i(1)}, {"Common/DisplayRate", i(30)}, {"Common/SRMode", i(0)}, {"Common/SRVMode", i(0)},
        {"ResendPackage/IsChecked", b(false)}, {"ResendPackage/Percent", i(0)}, {"ResendPackage/Time", i(0)},
    };
    m_entries = before;
    const QVector<Entry> after = {
        {"Common/PreferentialAnswer", i(0)}, {"CrossHelperEditor/WidthPercent", i(0)},
        {"CrossHelperEditor/HeightPercent", i(0)}, {"CrossHelperEditor/CrossX", i(0)}, {"CrossHelperEditor/CrossY", i(0)},
        {"CrossHelperEditor/CrossColor", s("")}, {"CrossHelperEditor/CrossThickness", i(0)},
        {"CrossHelperEditor/CrossEnableZoom", b(false)}, {"CrossHelperEditor/CrossIsLocked", b(false)},
        {"CrossHelperEditor/CrossCentral", b(false)}, {"CrossHelperEditor/CrossIsImageCoor", b(false)},
        {"RenderGridEditor/Gap", s("")}, {"RenderGridEditor/IsCustom", b(false)},
    };
    // The shortcut keys and the special keys sit between these two blocks; see Save().
    m_entries += after;
    m_entries += {{"InsideParameter/IgnoreNum", i(100)}, {"AWB/IgnoreNotice", b(false)}, {kAutoSaveKey, b(false)}};
    m_shortcuts.resize(kActionCount);
    m_strRenderGridColor = QStringLiteral("#00FF00");
}

QLocalCfg::~QLocalCfg()
{
    Save();
}

QString QLocalCfg::FilePath() const
{
    return NXInterface::programDataPath() + QStringLiteral("/LocalConfig.ini");
}

bool QLocalCfg::EventAutoSave() const
{
    return Value(kAutoSaveKey).toBool();
}

void QLocalCfg::SetEventAutoSave(bool bOn)
{
    for (Entry& e : m_entries)
        if (e.strKey == kAutoSaveKey)
            e.value = bOn;
}

QVariant QLocalCfg::Value(const QString& strKey) const
{
    for (const Entry& e : m_entries)
        if (e.strKey == strKey)
            return e.value;
    for (int a = 0; a < kActionCount; ++a) {
        if (strKey == QStringLiteral("ModifierKey/") + QLatin1String(kActions[a]))
            return m_shortcuts.at(a).first;
        if (strKey == QStringLiteral("ShortcutKey/") + QLatin1String(kActions[a]))
            return m_shortcuts.at(a).second;
    }
    if (strKey == QLatin1String("StayTop/Cameras"))
        return m_stayTopCameras;
    if (strKey == QLatin1String("RenderGridEditor/Color"))
        return m_strRenderGridColor;
    if (strKey == QLatin1String("General/SupportOtherCameraFeature"))
        return m_bSupportOtherCameraFeature;
    return QVariant();
}

void QLocalCfg::BuildKeyNames()
{
    m_keyNames.clear();
    const QList<QPair<int, const char*>> named = {
        {Qt::Key_Tab, "Tab"}, {Qt::Key_Backtab, "Shift+Tab"}, {Qt::Key_Backspace, "BackSpace"},
        {Qt::Key_Return, "Return"}, {Qt::Key_Enter, "Enter"}, {Qt::Key_Insert, "Ins"}, {Qt::Key_Delete, "None"},
        {Qt::Key_Pause, "Pause"}, {Qt::Key_Print, "Print"}, {Qt::Key_SysReq, "SysReq"}, {Qt::Key_Clear, "Clear"},
        {Qt::Key_Home, "Home"}, {Qt::Key_End, "End"}, {Qt::Key_Left, "Left"}, {Qt::Key_Up, "Up"},
        {Qt::Key_Right, "Right"}, {Qt::Key_Down, "Down"}, {Qt::Key_PageUp, "PgUp"}, {Qt::Key_PageDown, "PgDown"},
        {Qt::Key_Space, "Space"}};
    for (const auto& n : named)
        m_keyNames.insert(n.first, QString::fromLatin1(n.second));
    for (int f = 0; f < 12; ++f)
        m_keyNames.insert(Qt::Key_F1 + f, QStringLiteral("F%1").arg(f + 1));
    for (char c = '0'; c <= '9'; ++c)
        m_keyNames.insert(c, QString(QLatin1Char(c)));
    for (char c = 'A'; c <= 'Z'; ++c)
        m_keyNames.insert(c, QString(QLatin1Char(c)));
    for (char c : QByteArray("`~!@#$%^&*()-_=+[{]}\\|;:'\",<.>/?"))
        m_keyNames.insert(c, QString(QLatin1Char(c)));
}

void QLocalCfg::Load()
{
    BuildKeyNames();
    const QString strPath = FilePath();
    if (QFile::exists(strPath)) {
        QSettings ini(strPath, QSettings::IniFormat);
        for (Entry& e : m_entries) {
            if (e.strKey == QLatin1String("RenderGridEditor/IsCustom") || e.strKey == kAutoSaveKey)
                continue; // read in the order below
            const QVariant stored = ini.value(e.strKey, e.value);
            switch (int(e.value.type())) {
            case QMetaType::Bool: e.value = stored.toBool(); break;
            case QMetaType::Int: e.value = stored.toInt(); break;
            case QMetaType::Float: e.value = stored.toFloat(); break;
            default: e.value = stored.toString(); break;
            }
        }
        m_bSupportOtherCameraFeature = ini.value(QStringLiteral("General/SupportOtherCameraFeature"), 1).toInt() > 0;
        for (int a = 0; a < kActionCount; ++a) {
            m_shortcuts[a].first = ini.value(QStringLiteral("ModifierKey/") + QLatin1String(kActions[a]), 0).toInt();
            m_shortcuts[a].second = ini.value(QStringLiteral("ShortcutKey/") + QLatin1String(kActions[a]), 0).toInt();
        }
        for (Entry& e : m_entries) {
            if (e.strKey == QLatin1String("RenderGridEditor/IsCustom"))
                e.value = ini.value(e.strKey, false).toBool();
        }
        if (!Value(QStringLiteral("RenderGridEditor/Gap")).toString().isEmpty())
            m_strRenderGridColor = ini.value(QStringLiteral("RenderGridEditor/Color"), m_strRenderGridColor).toString();
        // Only the elements the file really holds: its "size" may say anything.
        const int nDeclared = ini.beginReadArray(QStringLiteral("CustomLayout"));
        QList<int> present;
        for (const QString& strGroup : ini.childGroups()) {
            bool bNumber = false;
            const int k = strGroup.toInt(&bNumber);
            if (bNumber && k >= 1 && k <= nDeclared)
                present.append(k);
        }
        std::sort(present.begin(), present.end());
        m_customLayouts.clear();
        for (int k : qAsConst(present)) {
            ini.setArrayIndex(k - 1);
            m_customLayouts.append({ini.value(QStringLiteral("LayoutName")).toString(),
                                    ini.value(QStringLiteral("LayoutInfo")).toString()});
        }
        ini.endArray();
        const QString strCameras = ini.value(QStringLiteral("StayTop/Cameras")).toString();
        m_stayTopCameras = strCameras.isEmpty() ? QStringList() : strCameras.split(QLatin1Char(';'));
        for (Entry& e : m_entries)
            if (e.strKey == kAutoSaveKey)
                e.value = ini.value(kAutoSaveKey, false).toBool();
    } else {
        const QString strData = NXInterface::userDataPath() + QStringLiteral("/Data");
        QDir().mkpath(strData);
        for (Entry& e : m_entries)
            if (e.strKey == kOutputFolderKey && e.value.toString().isEmpty())
                e.value = strData;
    }
    for (int a = 0; a < kActionCount; ++a)
        if (m_shortcuts.at(a).second == 0)
            m_shortcuts[a] = DefaultShortcut(a);
    m_shortcuts[kBuildIn] = DefaultShortcut(kBuildIn); // the suite's own shortcut, whatever the file says
}

void QLocalCfg::Save() const
{
    QDir().mkpath(NXInterface::programDataPath());
    QSettings ini(FilePath(), QSettings::IniFormat);
    auto write = [&](const Entry& e) { ini.setValue(e.strKey, e.value); };
    int n = 0;
    for (; n < m_entries.size() && m_entries.at(n).strKey != QLatin1String("Common/PreferentialAnswer"); ++n)
        write(m_entries.at(n));
    for (int a = 0; a < kActionCount; ++a) {
        ini.setValue(QStringLiteral("ModifierKey/") + QLatin1String(kActions[a]), m_shortcuts.at(a).first);
        ini.setValue(QStringLiteral("ShortcutKey/") + QLatin1String(kActions[a]), m_shortcuts.at(a).second);
    }
    for (; n < m_entries.size() && m_entries.at(n).strKey != QLatin1String("InsideParameter/IgnoreNum"); ++n)
        write(m_entries.at(n));
    ini.setValue(QStringLiteral("RenderGridEditor/Color"), m_strRenderGridColor);
    ini.beginWriteArray(QStringLiteral("CustomLayout"), m_customLayouts.size());
    for (int i = 0; i < m_customLayouts.size(); ++i) {
        ini.setArrayIndex(i);
        ini.setValue(QStringLiteral("LayoutName"), m_customLayouts.at(i).first);
        ini.setValue(QStringLiteral("LayoutInfo"), m_customLayouts.at(i).second);
    }
    ini.endArray();
    write(m_entries.at(n++)); // InsideParameter/IgnoreNum
    ini.setValue(QStringLiteral("StayTop/Cameras"), m_stayTopCameras.join(QLatin1Char(';')));
    for (; n < m_entries.size(); ++n)
        write(m_entries.at(n)); // AWB/IgnoreNotice, EventMonitor/EventAutoSave
    ini.sync();
}
