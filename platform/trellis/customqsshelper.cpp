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

// Selects the widgets whose property has this value.
QString PropertySelector(const char* szProperty, const QString& strValue)
{
    return QStringLiteral("*[%1=\"%2\"]").arg(QLatin1String(szProperty), strValue);
}

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
    // Made under a style holder: its rules go there from the start, and it never gets a sheet of its own.
    m_pHolder = cStyleHolderOf(pTarget->parentWidget());
}

CustomQssHelper::~CustomQssHelper()
{
    if (m_bHolder)
        Holders().remove(m_pTarget);
    else if (CustomQssHelper* pHolder = m_bInFamily ? Holders().value(m_pHolder) : nullptr)
        LeaveFamily(pHolder);
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
    return CustomStyleRegistry::templateSelector(nStatus, strSubControl);
}

QString CustomQssHelper::RulesOfNamedStyle(const QString& strName) const
{
    return strName.isEmpty() ? QString() : CustomStyleRegistry::instance().ruleTemplate(strName);
}

QString CustomQssHelper::cOwnRules() const
{
    return QString();
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

void CustomQssHelper::cFindStyleHolder()
{
    m_pHolder = cStyleHolderOf(m_pTarget->parentWidget());
}

void CustomQssHelper::cMarkStyleHolder()
{
    m_bHolder = true;
    Holders().insert(m_pTarget, this);
}

namespace {
void Repolish(QWidget* pWidget)
{
    pWidget->style()->unpolish(pWidget);
    pWidget->style()->polish(pWidget);
}

void ReplaceSheet(QWidget* pWidget, const QString& strSheet)
{
    // Qt keeps a polished widget's border from its previous sheet unless the sheet is cleared first.
    if (!pWidget->styleSheet().isEmpty() && pWidget->testAttribute(Qt::WA_WState_Polished))
        pWidget->setStyleSheet(QString());
    pWidget->setStyleSheet(strSheet);
}
} // namespace

// The rule set goes to the holder once (keyed by its text); the widget only names it. The rule set of
// widgets drawn after a prototype goes to the prototype's own sheet instead: only the prototype matches
// it, and a change of the holder's sheet would polish every widget under it again.
void CustomQssHelper::ApplyShared(const QString& strTemplate)
{
    CustomQssHelper* pHolder = Holders().value(m_pHolder);
    if (!pHolder)
        return;
    const QString strKey = QString::number(qHash(strTemplate), 36) + QLatin1Char('_') + QString::number(strTemplate.size(), 36);
    if (!pHolder->m_sharedKeys.contains(strKey) && !pHolder->m_familyRules.contains(strKey)) {
        QString strRules = strTemplate;
        strRules.replace(kPlaceholder, PropertySelector(kSharedProperty, strKey));
        if (cDrawsLikeOthers()) {
            pHolder->m_familyRules.insert(strKey, strRules);
        } else {
            pHolder->m_sharedKeys.insert(strKey);
            pHolder->m_strSharedRules += strRules;
            pHolder->cApplyStyle();
            // Qt keeps the holder's sheet as it parsed it (and what descendants already matched against it)
            // until they are polished anew: a sheet set on a widget not yet shown would otherwise not reach
            // what was styled already. Only widgets that name a rule set match the holder's rules, and those
            // not polished yet match the new sheet when they are.
            Repolish(m_pHolder);
            for (QWidget* pChild : m_pHolder->findChildren<QWidget*>())
                if (pChild->testAttribute(Qt::WA_WState_Polished) && pChild->property(kSharedProperty).isValid())
                    Repolish(pChild);
        }
    }
    if (cDrawsLikeOthers()) {
        JoinFamily(pHolder, strKey);
        return;
    }
    if (!m_pTarget->styleSheet().isEmpty())
        m_pTarget->setStyleSheet(QString());
    if (m_strSharedKey != strKey) {
        m_strSharedKey = strKey;
        SetSharedKeyProperty(strKey);
    }
}

// Alike widgets are made one after another: a widget whose looks were set as those of the family joined
// last joins it without making its rules' text.
bool CustomQssHelper::JoinedAlikeFamily()
{
    CustomQssHelper* pHolder = m_pHolder && cDrawsLikeOthers() ? Holders().value(m_pHolder) : nullptr;
    if (!pHolder)
        return false;
    const auto it = pHolder->m_families.constFind(pHolder->m_strLastFamily);
    if (it == pHolder->m_families.constEnd() || it->members.isEmpty())
        return false;
    const CustomQssHelper* pLike = it->members.constFirst();
    if (pLike == this || pLike->m_strStockStyle != m_strStockStyle || pLike->m_strStyleName != m_strStyleName
        || !cSameOwnRules(pLike))
        return false;
    JoinFamily(pHolder, it.key());
    return true;
}

// A prototype names its family's rule set and carries it in its own sheet; a member names none and has no
// sheet.
void CustomQssHelper::SetFamilyRole(CustomQssHelper* pHolder, bool bPrototype)
{
    SetSharedKeyProperty(bPrototype ? m_strSharedKey : QString());
    const QString strSheet = bPrototype ? pHolder->m_familyRules.value(m_strSharedKey) : QString();
    if (m_pTarget->styleSheet() != strSheet)
        ReplaceSheet(m_pTarget, strSheet);
}

// Names the rule set the widget matches (none for an empty key); the style reads it again only when the
// widget is polished anew.
void CustomQssHelper::SetSharedKeyProperty(const QString& strKey)
{
    const QVariant value = strKey.isEmpty() ? QVariant() : QVariant(strKey);
    if (m_pTarget->property(kSharedProperty) == value)
        return;
    m_pTarget->setProperty(kSharedProperty, value);
    if (m_pTarget->testAttribute(Qt::WA_WState_Polished)) {
        Repolish(m_pTarget);
        m_pTarget->update();
    }
}

void CustomQssHelper::JoinFamily(CustomQssHelper* pHolder, const QString& strKey)
{
    if (m_bInFamily && m_strSharedKey == strKey)
        return;
    LeaveFamily(pHolder);
    m_strSharedKey = strKey;
    m_bInFamily = true;
    pHolder->m_strLastFamily = strKey;
    Family& family = pHolder->m_families[strKey];
    family.members.append(this);
    if (!family.pPrototype)
        family.pPrototype = this;
    SetFamilyRole(pHolder, family.pPrototype == this);
    cPrototypeChanged();
}

// A prototype that leaves hands over to the next member only when one of them needs it: a container
// whose alike boxes are deleted one by one then polishes none of them again.
void CustomQssHelper::LeaveFamily(CustomQssHelper* pHolder)
{
    if (!m_bInFamily)
        return;
    m_bInFamily = false;
    auto it = pHolder->m_families.find(m_strSharedKey);
    if (it == pHolder->m_families.end())
        return;
    it->members.removeOne(this);
    if (it->pPrototype == this)
        it->pPrototype = nullptr;
    if (it->members.isEmpty())
        pHolder->m_families.erase(it);
}

CustomQssHelper* CustomQssHelper::PrototypeOf(CustomQssHelper* pHolder, const QString& strKey) const
{
    auto it = pHolder->m_families.find(strKey);
    if (it == pHolder->m_families.end() || it->members.isEmpty())
        return nullptr;
    if (!it->pPrototype) {
        it->pPrototype = it->members.constFirst();
        it->pPrototype->SetFamilyRole(pHolder, true);
        for (CustomQssHelper* pMember : qAsConst(it->members))
            if (pMember != it->pPrototype)
                pMember->cPrototypeChanged();
    }
    return it->pPrototype;
}

QHash<QString, QSize>* CustomQssHelper::cFamilySizes() const
{
    CustomQssHelper* pHolder = m_bInFamily ? Holders().value(m_pHolder) : nullptr;
    if (!pHolder)
        return nullptr;
    auto it = pHolder->m_families.find(m_strSharedKey);
    return it == pHolder->m_families.end() ? nullptr : &it->sizes;
}

QWidget* CustomQssHelper::cPrototype() const
{
    if (!m_bInFamily)
        return nullptr;
    CustomQssHelper* pHolder = Holders().value(m_pHolder);
    CustomQssHelper* pPrototype = pHolder ? PrototypeOf(pHolder, m_strSharedKey) : nullptr;
    return pPrototype && pPrototype != this ? pPrototype->m_pTarget : nullptr;
}

// A widget that is to be drawn after others under a holder waits for its polish: the setters that make it
// (stock look, font, colour) then cost one rule set instead of one each.
void CustomQssHelper::cApplyStyle(bool bForce)
{
    if (m_pHolder && cDrawsLikeOthers() && !m_pTarget->testAttribute(Qt::WA_WState_Polished)) {
        m_bStylePending = true;
        return;
    }
    ApplyNow(bForce);
}

void CustomQssHelper::cApplyPendingStyle()
{
    if (m_bStylePending)
        ApplyNow(false);
}

void CustomQssHelper::ApplyNow(bool bForce)
{
    m_bStylePending = false;
    if (JoinedAlikeFamily()) {
        cStyleApplied();
        return;
    }
    // Every rule with the placeholder for its selector: the named styles' texts are made once.
    QString strTemplate = RulesOfNamedStyle(m_strStockStyle) + RulesOfNamedStyle(m_strStyleName) + cOwnRules();
    if (m_pHolder) {
        ApplyShared(strTemplate);
        cStyleApplied();
        return;
    }
    if (!m_bIdNamed) {
        // The rules of a sheet of its own select the widget by this property, so they never reach its
        // children. Widgets under a holder never need it.
        m_pTarget->setProperty(kIdProperty, m_nId);
        m_bIdNamed = true;
    }
    const QString strSheet = strTemplate.replace(kPlaceholder, PropertySelector(kIdProperty, QString::number(m_nId)))
                             + m_strSharedRules;
    if (bForce || m_pTarget->styleSheet() != strSheet)
        ReplaceSheet(m_pTarget, strSheet);
    cStyleApplied();
}
