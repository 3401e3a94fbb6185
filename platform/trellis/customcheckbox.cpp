#include "customcheckbox.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

// Under a holder, made without a parent and given it at once: the check box's own set-up then asks the
// plain style for its layout margins instead of matching the style sheets of every ancestor for them (a
// box's margins are none either way).
CustomCheckBox::CustomCheckBox(QWidget* parent, StyleSelector selector)
    : QCheckBox(nullptr)
    , CustomObject(this)
{
    if (parent) {
        m_bTakingHolderStyle = cStyleHolderOf(parent) != nullptr;
        setParent(parent);
        m_bTakingHolderStyle = false;
        cFindStyleHolder();
    }
    static const QString kStockStyles[] = {QStringLiteral("Trellis_CheckBox_0"), QStringLiteral("Trellis_CheckBox_1"),
                                           QStringLiteral("Trellis_CheckBox_2")};
    const int nSelector = int(selector);
    cSetStockStyle(nSelector >= 0 && nSelector < 3 ? kStockStyles[nSelector]
                                                   : QStringLiteral("Trellis_CheckBox_%1").arg(nSelector));
}

CustomCheckBox::~CustomCheckBox() = default;

void CustomCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

// This box's state, text and geometry with the prototype's palette and font: what the prototype's style
// needs to draw this box as the prototype would be drawn in its place.
QStyleOptionButton CustomCheckBox::PrototypeOption(QWidget* pPrototype) const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    option.palette = pPrototype->palette();
    option.fontMetrics = pPrototype->fontMetrics();
    return option;
}

// Font and palette stay the box's own (setting them would have the style sheets match the box's rules
// after all): it draws and measures with the prototype's. An icon size of its own keeps the box's own
// style out of its style options.
void CustomCheckBox::TakePrototypeLook(QWidget* pPrototype)
{
    pPrototype->ensurePolished();
    const auto* pButton = qobject_cast<QAbstractButton*>(pPrototype);
    if (pButton) // else the box's own style is asked for it at every option (setting it asks none)
        setIconSize(pButton->iconSize());
    setAttribute(Qt::WA_Hover, pPrototype->testAttribute(Qt::WA_Hover));
}

void CustomCheckBox::cPrototypeChanged()
{
    m_pHintPrototype = nullptr;
    if (!testAttribute(Qt::WA_WState_Polished))
        return; // taken when polished
    if (QWidget* pPrototype = cPrototype())
        TakePrototypeLook(pPrototype);
    updateGeometry();
    update();
}

// A box drawn after a prototype needs nothing of the style's polish (the rules it matches itself draw
// nothing of it): it is drawn, measured and hit-tested with the prototype's style, rules, palette and font,
// and takes its hover and icon size, again after every change of style.
bool CustomCheckBox::event(QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::Polish: {
        cApplyPendingStyle(); // before the style polishes: a prototype matches its rules at once
        QWidget* pPrototype = cPrototype();
        if (!pPrototype)
            return QCheckBox::event(pEvent);
        setAttribute(Qt::WA_WState_Polished);
        TakePrototypeLook(pPrototype);
        return true;
    }
    case QEvent::StyleChange: {
        if (m_bTakingHolderStyle)
            return QAbstractButton::event(pEvent); // the style sheets' margins for a box are none as well
        const bool bDone = QCheckBox::event(pEvent);
        if (QWidget* pPrototype = cPrototype())
            TakePrototypeLook(pPrototype);
        return bDone;
    }
    default:
        return QCheckBox::event(pEvent);
    }
}

void CustomCheckBox::paintEvent(QPaintEvent* pEvent)
{
    QWidget* pPrototype = cPrototype();
    if (!pPrototype) {
        QCheckBox::paintEvent(pEvent);
        return;
    }
    const QStyleOptionButton option = PrototypeOption(pPrototype);
    QPainter painter(this);
    painter.setFont(pPrototype->font());
    pPrototype->style()->drawControl(QStyle::CE_CheckBox, &option, &painter, pPrototype);
}

bool CustomCheckBox::hitButton(const QPoint& pos) const
{
    QWidget* pPrototype = cPrototype();
    if (!pPrototype)
        return QCheckBox::hitButton(pos);
    const QStyleOptionButton option = PrototypeOption(pPrototype);
    return pPrototype->style()->subElementRect(QStyle::SE_CheckBoxClickRect, &option, pPrototype).contains(pos);
}

// As QCheckBox works it out, with the prototype's style and font; alike boxes with the same text (event
// names repeat from channel to channel) share the result.
QSize CustomCheckBox::sizeHint() const
{
    ensurePolished();
    QWidget* pPrototype = cPrototype();
    if (!pPrototype)
        return QCheckBox::sizeHint();
    if (m_pHintPrototype == pPrototype && m_strHintText == text() && m_hint.isValid())
        return m_hint;
    QHash<QString, QSize>* pShared = icon().isNull() ? cFamilySizes() : nullptr;
    const auto it = pShared ? pShared->constFind(text()) : QHash<QString, QSize>::const_iterator();
    if (pShared && it != pShared->constEnd()) {
        m_hint = it.value();
    } else {
        pPrototype->ensurePolished();
        const QStyleOptionButton option = PrototypeOption(pPrototype);
        QStyle* pStyle = pPrototype->style();
        QSize size = pStyle->itemTextRect(option.fontMetrics, QRect(), Qt::TextShowMnemonic, false, text()).size();
        if (!option.icon.isNull())
            size = QSize(size.width() + option.iconSize.width() + 4, qMax(size.height(), option.iconSize.height()));
        m_hint = pStyle->sizeFromContents(QStyle::CT_CheckBox, &option, size, pPrototype);
        if (pShared)
            pShared->insert(text(), m_hint);
    }
    m_strHintText = text();
    m_pHintPrototype = pPrototype;
    return m_hint;
}
