#include "onetypemessagewidget.h"

#include "customlabel.h"
#include "messagelistdialog.h"
#include "messagerows.h"
#include "nxinterface.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

using namespace Saltire;

CustomLabel* CreateLabel(bool bBold, QWidget* parent)
{
    auto* pLabel = new CustomLabel(parent);
    QFont font = pLabel->cFont(IS_Normal);
    font.setWeight(bBold ? 75 : 50);
    font.setPixelSize(14);
    pLabel->cSetFont(font, IS_Normal);
    if (bBold) {
        pLabel->cSetFontColor(QStringLiteral("#383B43"), IS_Normal);
    } else {
        pLabel->cSetFontColor(QStringLiteral("#5E6166"), IS_Normal);
        pLabel->setWordWrap(true);
    }
    pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return pLabel;
}

OneTypeMessageWidget::OneTypeMessageWidget(EventTypeItem* pEventType, IOTypeItem* pIOType, QWidget* parent)
    : CustomWidget(parent)
    , m_pEventTypeItem(pEventType)
    , m_pIOTypeItem(pIOType)
{
    setObjectName(QStringLiteral("OneTypeMessageWidget"));
    setFixedWidth(856);
    if (!m_pEventTypeItem)
        return;
    const bool bErrors = MessageListDialog::s_nListType == 0;
    const bool bChinese = NXInterface::language(false) == QLatin1String("CH");
    const MessageGroup group = MessageRows::Group(MessageListDialog::s_nListType, m_pEventTypeItem, m_pIOTypeItem, bChinese);
    if (group.strTitle.isEmpty())
        return;

    auto* pLayout = new QVBoxLayout;
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    CustomLabel* pTitle = CreateLabel(true, this);
    pTitle->setObjectName(QStringLiteral("GroupTitle"));
    pTitle->setFixedSize(856, 20);
    pTitle->setText(group.strTitle);
    pLayout->addWidget(pTitle);

    for (const MessageRow& row : group.rows) {
        auto* pRow = new QHBoxLayout;
        pRow->setContentsMargins(0, 0, 0, 0);
        pRow->setSpacing(0);
        auto* pNameColumn = new QVBoxLayout;
        pNameColumn->setContentsMargins(0, 0, 0, 0);
        pNameColumn->setSpacing(0);
        CustomLabel* pChannelLabel = CreateLabel(false, this);
        pChannelLabel->setObjectName(QStringLiteral("ChannelName"));
        pChannelLabel->setFixedSize(163, 19);
        pChannelLabel->setText(row.strChannel);
        pNameColumn->addWidget(pChannelLabel);
        pNameColumn->addStretch();
        pRow->addLayout(pNameColumn);
        CustomLabel* pEventsLabel = CreateLabel(false, this);
        pEventsLabel->setObjectName(QStringLiteral("EventNames"));
        pEventsLabel->setFixedWidth(690);
        pEventsLabel->setText(row.strEvents);
        pRow->addWidget(pEventsLabel);
        if (bErrors) {
            pEventsLabel->setFixedWidth(530);
            pEventsLabel->cSetFontColor(QStringLiteral("#FF0C21"), IS_Normal);
            auto* pErrorColumn = new QVBoxLayout;
            pErrorColumn->setContentsMargins(0, 0, 0, 0);
            pErrorColumn->setSpacing(0);
            CustomLabel* pErrorLabel = CreateLabel(false, this);
            pErrorLabel->setObjectName(QStringLiteral("ErrorText"));
            pErrorLabel->setFixedSize(140, 19);
            pErrorLabel->cSetFontColor(QStringLiteral("#FF0C21"), IS_Normal);
            pErrorLabel->setAlignment(Qt::AlignRight | Qt::AlignTop);
            pErrorLabel->setText(row.strError);
            pErrorLabel->setToolTip(row.strToolTip);
            pEventsLabel->setToolTip(row.strToolTip);
            pErrorColumn->addWidget(pErrorLabel);
            pErrorColumn->addStretch();
            pRow->addLayout(pErrorColumn);
            pRow->addSpacing(30);
        }
        pLayout->addSpacing(10);
        pLayout->addLayout(pRow);
    }
    setLayout(pLayout);
}
