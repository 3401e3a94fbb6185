#pragma once

#include "trellis_global.h"

#include <QSet>
#include <QString>

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

    // The selector that matches this widget alone, with a pseudo-state and a sub-control.
    QString cRuleSelector(int nStatus, const QString& strSubControl) const;

    // Keeps this widget's rules in the sheet of an ancestor, the holder, instead of a sheet of its own:
    // widgets whose rules are alike share one copy there, so that thousands of them cost one parse instead
    // of one each. They look the same: the holder is the nearest ancestor whose rules reach the widget.
    // The holder must be a styled widget (of this library) and stay an ancestor of the widget.
    void cShareStyleIn(QWidget* pHolder);
    // The holder a widget made under pParent shares its rules in: the nearest ancestor marked with
    // cMarkStyleHolder, or none. A styled widget made with a parent under a holder shares there by itself.
    static QWidget* cStyleHolderOf(QWidget* pParent);
    // Makes this widget a holder, before the widgets that are to share in it are made.
    void cMarkStyleHolder();

protected:
    void cSetStockStyle(const QString& strStyleName);
    void cApplyStyle(bool bForce = false);
    virtual QString cOwnRules() const;
    virtual void cStyleApplied() {}

    QWidget* cTarget() const { return m_pTarget; }

private:
    QString RulesOfNamedStyle(const QString& strName) const;

    void ApplyShared(const QString& strRules);

    QWidget* m_pTarget = nullptr;
    QString m_strStockStyle;
    QString m_strStyleName;
    int m_nId = 0;
    QWidget* m_pHolder = nullptr;
    QString m_strSharedKey;   // the key of this widget's rule set in its holder
    bool m_bTemplate = false; // cRuleSelector gives a placeholder while a shared rule set is built
    bool m_bHolder = false;
    QSet<QString> m_sharedKeys; // as a holder: the rule sets it keeps, and their text
    QString m_strSharedRules;
};
