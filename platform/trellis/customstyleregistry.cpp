#include "customstyleregistry.h"

#include "customtypes.h"

#include <QFile>
#include <QLoggingCategory>
#include <QMutexLocker>
#include <QXmlStreamReader>

namespace {
Q_LOGGING_CATEGORY(lcStyle, "trellis.style")

// The library's own looks travel in Trellis_Default.rcc.
const char* const kDefaultXml = ":/Trellis/QSS/Trellis_Default.xml";

struct StatusName
{
    int nStatus;
    const char* szName;
    const char* szPseudo;
};

const StatusName kStatusNames[] = {
    {IS_Normal, "normal", ""},
    {IS_Hover, "hover", ":hover"},
    {IS_Pressed, "pressed", ":pressed"},
    {IS_Checked, "checked", ":checked"},
    {IS_Disabled, "disabled", ":disabled"},
    {IS_Indeterminate, "indeterminate", ":indeterminate"},
    {IS_Focus, "focus", ":focus"},
    {IS_Selected, "selected", ":selected"},
    {IS_Unchecked, "unchecked", ":unchecked"},
};
} // namespace

CustomStyleRegistry& CustomStyleRegistry::instance()
{
    static CustomStyleRegistry registry;
    return registry;
}

int CustomStyleRegistry::statusFromText(const QString& strText, bool* pOk)
{
    const QString strTrimmed = strText.trimmed();
    if (strTrimmed.isEmpty()) {
        *pOk = true;
        return IS_Normal;
    }
    for (const StatusName& status : kStatusNames) {
        if (strTrimmed == QLatin1String(status.szName)) {
            *pOk = true;
            return status.nStatus;
        }
    }
    const int nValue = strTrimmed.toInt(pOk);
    if (*pOk && pseudoState(nValue).isNull())
        *pOk = false;
    return nValue;
}

QString CustomStyleRegistry::pseudoState(int nStatus)
{
    for (const StatusName& status : kStatusNames) {
        if (status.nStatus == nStatus)
            return QString::fromLatin1(status.szPseudo);
    }
    return QString();
}

bool CustomStyleRegistry::Parse(const QString& strPath, Styles* pStyles, Sheets* pSheets, Colors* pColors,
                                QString* pError)
{
    auto fail = [&](const QString& strWhy) {
        qCWarning(lcStyle).noquote() << "Style sheet XML" << strPath << "not loaded:" << strWhy;
        if (pError)
            *pError = strWhy;
        return false;
    };

    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());

    QXmlStreamReader xml(&file);
    QString strStyle;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const QStringRef name = xml.name();
        if (name == QLatin1String("Style")) {
            strStyle = xml.attributes().value(QLatin1String("name")).toString();
            if (strStyle.isEmpty())
                return fail(QStringLiteral("a style without a name at line %1").arg(xml.lineNumber()));
            (*pStyles)[strStyle];
        } else if (name == QLatin1String("Rule")) {
            if (strStyle.isEmpty())
                return fail(QStringLiteral("a rule outside a style at line %1").arg(xml.lineNumber()));
            StyleRule rule;
            bool bOk = false;
            rule.nStatus = statusFromText(xml.attributes().value(QLatin1String("status")).toString(), &bOk);
            if (!bOk)
                return fail(QStringLiteral("unknown status at line %1").arg(xml.lineNumber()));
            rule.strSubControl = xml.attributes().value(QLatin1String("sub")).toString().trimmed();
            rule.strDeclarations = xml.readElementText().simplified();
            (*pStyles)[strStyle].append(rule);
        } else if (name == QLatin1String("Sheet")) {
            bool bOk = false;
            const int nType = xml.attributes().value(QLatin1String("type")).toInt(&bOk);
            if (!bOk)
                return fail(QStringLiteral("a sheet without a numeric type at line %1").arg(xml.lineNumber()));
            pSheets->insert(nType, xml.readElementText().trimmed());
        } else if (name == QLatin1String("Color")) {
            const QString strName = xml.attributes().value(QLatin1String("name")).toString();
            if (strName.isEmpty())
                return fail(QStringLiteral("a colour without a name at line %1").arg(xml.lineNumber()));
            pColors->insert(strName, xml.readElementText().trimmed());
        }
    }
    if (xml.hasError())
        return fail(QStringLiteral("%1 at line %2").arg(xml.errorString()).arg(xml.lineNumber()));
    return true;
}

bool CustomStyleRegistry::addXml(const QString& strPath, QString* pError)
{
    // Parsed into local tables first: a broken file must not leave half of its styles behind.
    Styles styles;
    Sheets sheets;
    Colors colors;
    if (!Parse(strPath, &styles, &sheets, &colors, pError))
        return false;
    QMutexLocker lock(&m_mutex);
    m_templates.clear();
    for (auto it = colors.cbegin(); it != colors.cend(); ++it)
        m_colors.insert(it.key(), it.value());
    for (auto it = styles.cbegin(); it != styles.cend(); ++it)
        m_styles.insert(it.key(), it.value());
    for (auto it = sheets.cbegin(); it != sheets.cend(); ++it)
        m_sheets.insert(it.key(), it.value());
    return true;
}

void CustomStyleRegistry::LoadDefaultsOnce()
{
    QMutexLocker lock(&m_mutex);
    if (m_bDefaultsLoaded)
        return;
    m_bDefaultsLoaded = true;
    const QString strDefaults = QString::fromLatin1(kDefaultXml);
    Styles styles;
    Sheets sheets;
    Colors colors;
    if (!QFile::exists(strDefaults) || !Parse(strDefaults, &styles, &sheets, &colors, nullptr))
        return;
    for (auto it = colors.cbegin(); it != colors.cend(); ++it) {
        if (!m_colors.contains(it.key()))
            m_colors.insert(it.key(), it.value());
    }
    m_templates.clear();
    // Files registered before the defaults were read still win over them.
    for (auto it = styles.cbegin(); it != styles.cend(); ++it) {
        if (!m_styles.contains(it.key()))
            m_styles.insert(it.key(), it.value());
    }
    for (auto it = sheets.cbegin(); it != sheets.cend(); ++it) {
        if (!m_sheets.contains(it.key()))
            m_sheets.insert(it.key(), it.value());
    }
}

bool CustomStyleRegistry::hasStyle(const QString& strName)
{
    LoadDefaultsOnce();
    QMutexLocker lock(&m_mutex);
    return m_styles.contains(strName);
}

QList<StyleRule> CustomStyleRegistry::style(const QString& strName)
{
    LoadDefaultsOnce();
    QMutexLocker lock(&m_mutex);
    return m_styles.value(strName);
}

QString CustomStyleRegistry::ruleTemplate(const QString& strName)
{
    LoadDefaultsOnce();
    QMutexLocker lock(&m_mutex);
    auto cached = m_templates.constFind(strName);
    if (cached != m_templates.constEnd())
        return cached.value();
    QString strRules;
    for (const StyleRule& rule : m_styles.value(strName))
        strRules += templateSelector(rule.nStatus, rule.strSubControl) + QLatin1Char('{') + rule.strDeclarations
                    + QStringLiteral("}\n");
    m_templates.insert(strName, strRules);
    return strRules;
}

QString CustomStyleRegistry::templateSelector(int nStatus, const QString& strSubControl)
{
    QString strSelector = selectorPlaceholder();
    if (!strSubControl.isEmpty())
        strSelector += QStringLiteral("::") + strSubControl;
    return strSelector + pseudoState(nStatus);
}

QString CustomStyleRegistry::namedColor(const QString& strName)
{
    LoadDefaultsOnce();
    QMutexLocker lock(&m_mutex);
    return m_colors.value(strName);
}

QString CustomStyleRegistry::stockSheet(int nType)
{
    LoadDefaultsOnce();
    QMutexLocker lock(&m_mutex);
    return m_sheets.value(nType);
}

QStringList CustomStyleRegistry::styleNames()
{
    LoadDefaultsOnce();
    QMutexLocker lock(&m_mutex);
    QStringList names = m_styles.keys();
    names.sort();
    return names;
}
