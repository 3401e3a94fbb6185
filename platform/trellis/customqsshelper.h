#pragma once

#include "trellis_global.h"

#include <QHash>
#include <QSet>
#include <QSize>
#include <QString>
#include <QVector>

class QWidget;

// Gives a widget a named look from the registered style-sheet XML. The widget's style sheet is rebuilt
// from its stock look, its named style and (in CustomObject) its own setter rules, in that order, so
// that each layer overrides the one before.
class TRELLIS_EXPORT CustomQssHelper
{
public:
    explicit CustomQssHelper(QWidget* pTarget);
    virtual ~CustomQssHelper();

    CustomQssHelper(const CustomQssHelper&) = delete;
    CustomQssHelper& operator=(const CustomQssHelper&) = delete;

    void cSetStyleSelector(const QString& strStyleName);
    QString cStyleSelector() const;

    // A holder keeps the rules of the styled widgets made under it instead of a sheet for each: alike
    // widgets share one copy, so that thousands of them cost one parse instead of one each, and look the
    // same. The holder a widget made under pParent shares its rules in: the nearest ancestor marked with
    // cMarkStyleHolder, or none. A styled widget made with a parent under a holder shares there by itself.
    static QWidget* cStyleHolderOf(QWidget* pParent);
    // Makes this widget a holder, before the widgets that are to share in it are made.
    void cMarkStyleHolder();

protected:
    // For a widget drawn after another of its family (see cDrawsLikeOthers): that one, the prototype, whose
    // rules it is drawn with; none when it draws itself.
    QWidget* cPrototype() const;
    void cSetStockStyle(const QString& strStyleName);
    void cApplyStyle(bool bForce = false);
    // The selector of one of this widget's own rules, in the text cOwnRules gives: the widget's part is
    // CustomStyleRegistry::selectorPlaceholder(), replaced once the rules go to a sheet.
    QString cRuleSelector(int nStatus, const QString& strSubControl) const;
    // Looks for the holder again, for a widget given its parent after it was made.
    void cFindStyleHolder();
    // Applies what cApplyStyle left for the polish of a widget drawn after others; called as it is polished.
    void cApplyPendingStyle();
    virtual QString cOwnRules() const;
    virtual void cStyleApplied() {}
    // True for widgets that can paint and measure themselves with another widget's style and rules. Under a
    // holder, alike ones form a family: one of them, the prototype, has the rules in a sheet of its own;
    // the others match none and are drawn with the prototype's rules, so that polishing each costs no rule
    // matching.
    virtual bool cDrawsLikeOthers() const { return false; }
    // The prototype this widget is drawn after has become another widget, or none.
    virtual void cPrototypeChanged() {}
    // Sizes the widgets of this widget's family share: what depends only on their rules and a text (the
    // size of a box for its text), worked out once for all of them. Null outside a family.
    QHash<QString, QSize>* cFamilySizes() const;
    // Whether this widget's own rules are those of pOther, a widget of the same class.
    virtual bool cSameOwnRules(const CustomQssHelper* pOther) const
    {
        Q_UNUSED(pOther)
        return true;
    }

    QWidget* cTarget() const { return m_pTarget; }

private:
    QString RulesOfNamedStyle(const QString& strName) const;

    void ApplyNow(bool bForce);
    void ApplyShared(const QString& strRules);
    struct Family
    {
        QVector<CustomQssHelper*> members; // in the order they joined
        CustomQssHelper* pPrototype = nullptr;
        QHash<QString, QSize> sizes; // see cFamilySizes
    };
    void JoinFamily(CustomQssHelper* pHolder, const QString& strKey);
    bool JoinedAlikeFamily();
    void LeaveFamily(CustomQssHelper* pHolder);
    CustomQssHelper* PrototypeOf(CustomQssHelper* pHolder, const QString& strKey) const;
    void SetSharedKeyProperty(const QString& strKey);
    void SetFamilyRole(CustomQssHelper* pHolder, bool bPrototype);

    QWidget* m_pTarget = nullptr;
    QString m_strStockStyle;
    QString m_strStyleName;
    int m_nId = 0;
    QWidget* m_pHolder = nullptr;
    QString m_strSharedKey;   // the key of this widget's rule set in its holder
    bool m_bHolder = false;
    bool m_bInFamily = false;
    bool m_bStylePending = false;
    bool m_bIdNamed = false;
    QSet<QString> m_sharedKeys; // as a holder: the rule sets it keeps, and their text
    QString m_strSharedRules;
    QHash<QString, Family> m_families; // as a holder: the families by rule set
    QHash<QString, QString> m_familyRules; // as a holder: the families' rule sets, by key
    QString m_strLastFamily;               // as a holder: the key of the family joined last
};
