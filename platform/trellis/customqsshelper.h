#pragma once

#include "trellis_global.h"

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

protected:
    void cSetStockStyle(const QString& strStyleName);
    void cApplyStyle(bool bForce = false);
    virtual QString cOwnRules() const;
    virtual void cStyleApplied() {}

    QWidget* cTarget() const { return m_pTarget; }

private:
    QString RulesOfNamedStyle(const QString& strName) const;

    QWidget* m_pTarget = nullptr;
    QString m_strStockStyle;
    QString m_strStyleName;
    int m_nId = 0;
};
