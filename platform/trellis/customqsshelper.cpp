#include "customqsshelper.h"

#include "customstyleregistry.h"

#include <QAtomicInt>
#include <QHash>
#include <QLoggingCategory>
#include <QStyle>
#include <QWidget>

namespace {
Q_LOGGING_CATEGORY(lcQss, "trellis.style")

QAtomicInt g_nNextId(1);
const char* const kIdProperty = "trellisId";
const char* const kSharedProperty = "trellisShared"; // on a widget that shares: its rule set's key
const QString kPlaceholder = CustomStyleRegistry::selectorPlaceholder();

// The holders by widget (styled widgets are made and styled on the GUI thread only).
QHash<const QWidget*, CustomQssHelper*>& Holders()
{
    static QHash<const QWidget*, CustomQssHelper*> holders;
    return holders;
}
} // namespace

CustomQssHelper::CustomQssHelper(QWidget* pTarget)
    : m_pTarget(pTarget)
    , m_nId(g_nNextId.fetchAndAddRelaxed(1))
{
    Q_ASSERT(pTarget);
    // Rules select the widget by this property, so they never reach its children.
    m_pTarget->setProperty(kIdProperty, m_nId);
    // Made under a style holder: its rules go there from the start, and it never gets a sheet of its own.
    m_pHolder = cStyleHolderOf(pTarget->parentWidget());
}

CustomQssHelper::~CustomQssHelper()
{
    if (m_bHolder)
        Holders().remove(m_pTarget);
}

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
    QString strSelector;
    if (m_bTemplate)
        strSelector = kPlaceholder;
    else if (m_pHolder)
        strSelector = QStringLiteral("*[%1=\"%2\"]").arg(QLatin1String(kSharedProperty), m_strSharedKey);
    else
        strSelector = QStringLiteral("*[%1=\"%2\"]").arg(QLatin1String(kIdProperty)).arg(m_nId);
    if (!strSubControl.isEmpty())
        strSelector += QStringLiteral("::") + strSubControl;
    return strSelector + CustomStyleRegistry::pseudoState(nStatus);
}

QString CustomQssHelper::RulesOfNamedStyle(const QString& strName) const
{
    return strName.isEmpty() ? QString() : CustomStyleRegistry::instance().ruleTemplate(strName);
}

QString CustomQssHelper::cOwnRules() const
{
    return QString();
}

void CustomQssHelper::cShareStyleIn(QWidget* pHolder)
{
    if (!pHolder || !Holders().contains(pHolder) || !pHolder->isAncestorOf(m_pTarget)) {
        qCWarning(lcQss) << "A style holder must be a styled ancestor of the widget";
        return;
    }
    m_pHolder = pHolder;
    cApplyStyle();
}

QWidget* CustomQssHelper::cStyleHolderOf(QWidget* pParent)
{
    const QHash<const QWidget*, CustomQssHelper*>& holders = Holders();
    if (holders.isEmpty())
        return nullptr;
    for (QWidget* pAt = pParent; pAt; pAt = pAt->parentWidget())
        if (holders.contains(pAt))
            return pAt;
    return nullptr;
}

void CustomQssHelper::cMarkStyleHolder()
{
    m_bHolder = true;
    Holders().insert(m_pTarget, this);
}

// The rule set goes to the holder once (keyed by its text); the widget only names it.
void CustomQssHelper::ApplyShared(const QString& strTemplate)
{
    CustomQssHelper* pHolder = Holders().value(m_pHolder);
    if (!pHolder)
        return;
    const QString strKey = QString::number(qHash(strTemplate), 36) + QLatin1Char('_') + QString::number(strTemplate.size(), 36);
    const bool bNew = !pHolder->m_sharedKeys.contains(strKey);
    const bool bChanged = m_strSharedKey != strKey;
    if (bChanged) {
        m_strSharedKey = strKey;
        m_pTarget->setProperty(kSharedProperty, strKey);
    }
    if (!m_pTarget->styleSheet().isEmpty())
        m_pTarget->setStyleSheet(QString());
    if (bNew) {
        QString strRules = strTemplate;
        strRules.replace(kPlaceholder, QStringLiteral("*[%1=\"%2\"]").arg(QLatin1String(kSharedProperty), strKey));
        pHolder->m_sharedKeys.insert(strKey);
        pHolder->m_strSharedRules += strRules;
        pHolder->cApplyStyle();
        // Qt keeps the holder's sheet as it parsed it (and what descendants already matched against it)
        // until they are polished anew, polished before or not: a sheet set on a widget not yet shown
        // would otherwise not reach what was styled already.
        auto repolish = [](QWidget* pWidget) {
            pWidget->style()->unpolish(pWidget);
            pWidget->style()->polish(pWidget);
        };
        repolish(m_pHolder);
        for (QWidget* pChild : m_pHolder->findChildren<QWidget*>())
            if (pChild->testAttribute(Qt::WA_StyleSheet))
                repolish(pChild);
    } else if (bChanged && m_pTarget->testAttribute(Qt::WA_WState_Polished)) {
        // Another rule set of the holder's: the style reads the property again only when polished anew.
        m_pTarget->style()->unpolish(m_pTarget);
        m_pTarget->style()->polish(m_pTarget);
        m_pTarget->update();
    }
}

void CustomQssHelper::cApplyStyle(bool bForce)
{
    // Every rule with the placeholder for its selector: the named styles' texts are made once.
    m_bTemplate = true;
    QString strTemplate = RulesOfNamedStyle(m_strStockStyle) + RulesOfNamedStyle(m_strStyleName) + cOwnRules();
    m_bTemplate = false;
    if (m_pHolder) {
        ApplyShared(strTemplate);
        cStyleApplied();
        return;
    }
    const QString strSheet = strTemplate.replace(kPlaceholder, QStringLiteral("*[%1=\"%2\"]").arg(QLatin1String(kIdProperty)).arg(m_nId))
                             + m_strSharedRules;
    if (bForce || m_pTarget->styleSheet() != strSheet) {
        // Qt keeps a polished widget's border from its previous sheet unless the sheet is cleared first.
        if (!m_pTarget->styleSheet().isEmpty() && m_pTarget->testAttribute(Qt::WA_WState_Polished))
            m_pTarget->setStyleSheet(QString());
        m_pTarget->setStyleSheet(strSheet);
    }
    cStyleApplied();
}
