#pragma once

#include "customobject.h"
#include "customtypes.h"
#include "trellis_global.h"

#include <QCheckBox>

// A check box that can show the partial state. The partial state is set from code only: a click on a
// partially checked box checks it, a click on a checked box clears it.
//
// Under a style holder, alike boxes are drawn and measured after one of them (their prototype), with its
// rules, font and palette: a page of thousands of boxes then polishes like plain ones.
class TRELLIS_EXPORT CustomCheckBox : public QCheckBox, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomCheckBox(QWidget* parent = nullptr, StyleSelector selector = SS_Default);
    ~CustomCheckBox() override;

    QSize sizeHint() const override;

protected:
    void nextCheckState() override;
    bool event(QEvent* pEvent) override;
    void paintEvent(QPaintEvent* pEvent) override;
    bool hitButton(const QPoint& pos) const override;
    bool cDrawsLikeOthers() const override { return true; }
    void cPrototypeChanged() override;

private:
    void TakePrototypeLook(QWidget* pPrototype);
    QStyleOptionButton PrototypeOption(QWidget* pPrototype) const;

    bool m_bTakingHolderStyle = false; // given its parent under a holder, in the constructor
    // sizeHint after the prototype, for the text and the prototype it was worked out for
    mutable QSize m_hint;
    mutable QString m_strHintText;
    mutable const QWidget* m_pHintPrototype = nullptr;
};
