#include "customqsshelper.h"

#include "customstyleregistry.h"

#include <QAtomicInt>
#include <QLoggingCategory>
#include <QWidget>

namespace {
Q_LOGGING_CATEGORY(lcQss, "trellis.style")

QAtomicInt g_nNextId(1);
const char* const kIdProperty = "trellisId";
} // namespace

CustomQssHelper::CustomQssHelper(QWidget* pTarget)
    : m_pTarget(pTarget)
    , m_nId(g_nNextId.fetchAndAddRelaxed(1))
{
    Q_ASSERT(pTarget);
    // Rules select the widget by this property, so they never reach its children.
    m_pTarget->setProperty(kIdProperty, m_nId);
}

CustomQssHelper::~CustomQssHelper() = default;

void CustomQssHelper::cSetStyleSelector(const QString& strStyleName)
{
    if (!strStyleName.isEmpty() && !CustomStyleRegistry::instance().hasStyle(strStyleName))
        qCWarning(lcQss).noquote() << "Unknown style name" << strStyleName;
    m_strStyleName = strStyleName;
    cApplyStyle();
}

QString CustomQssHelper::cStyleSelector() const
{
    return m_strStyleName;
}

void CustomQssHelper::cSetStockStyle(const QString& strStyleName)
{
    m_strStockStyle = strStyleName;
    cApplyStyle();
}

QString CustomQssHelper::cRuleSelector(int nStatus, const QString& strSubControl) const
{
    QString strSelector = QStringLiteral("*[%1=\"%2\"]").arg(QLatin1String(kIdProperty)).arg(m_nId);
    if (!strSubControl.isEmpty())
        strSelector += QStringLiteral("::") + strSubControl;
    return strSelector + CustomStyleRegistry::pseudoState(nStatus);
}

QString CustomQssHelper::RulesOfNamedStyle(const QString& strName) const
{
    QString strRules;
    if (strName.isEmpty())
        return strRules;
    const QList<StyleRule> rules = CustomStyleRegistry::instance().style(strName);
    for (const StyleRule& rule : rules) {
        strRules += cRuleSelector(rule.nStatus, rule.strSubControl) + QLatin1Char('{') + rule.strDeclarations
            + QStringLiteral("}\n");
    }
    return strRules;
}

QString CustomQssHelper::cOwnRules() const
{
    return QString();
}

void CustomQssHelper::cApplyStyle(bool bForce)
{
    const QString strSheet = RulesOfNamedStyle(m_strStockStyle) + RulesOfNamedStyle(m_strStyleName) + cOwnRules();
    if (bForce || m_pTarget->styleSheet() != strSheet) {
        // Qt keeps a polished widget's border from its previous sheet unless the sheet is cleared first.
        if (!m_pTarget->styleSheet().isEmpty() && m_pTarget->testAttribute(Qt::WA_WState_Polished))
            m_pTarget->setStyleSheet(QString());
        m_pTarget->setStyleSheet(strSheet);
    }
    cStyleApplied();
}
