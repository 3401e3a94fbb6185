#include "messagelistdialog.h"

#include "custom.h"
#include "customlabel.h"
#include "customlinewidget.h"
#include "customtitlebar.h"
#include "customwidget.h"
#include "eventtypeitem.h"
#include "iotypeitem.h"
#include "messagerows.h"
#include "onetypemessagewidget.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Saltire;

int MessageListDialog::s_nListType = 1;

namespace {

void MakeHeadline(CustomLabel* pLabel)
{
    QFont font = pLabel->cFont(IS_Normal);
    font.setWeight(75);
    font.setPixelSize(16);
    pLabel->cSetFont(font, IS_Normal);
    pLabel->cSetFontColor(QStringLiteral("#383B43"), IS_Normal);
}

} // namespace

MessageListDialog::MessageListDialog(int nListType, const QList<EventTypeItem*>& eventTypes, QWidget* parent)
    : CustomMainWindow(parent)
{
    setObjectName(QStringLiteral("MessageListDialog"));
    s_nListType = nListType;
    setFixedWidth(920);
    setMaximumHeight(580);
    cTitleBar()->setFixedHeight(32);
    cTitleBar()->cSetTitleControls(TC_Close);
    cSetBorderWidth(2, BE_All, IS_Normal);
    cSetBorderColor(QStringLiteral("#F76900"), BE_All, IS_Normal);
    cSetBorderRadius(4, BC_TopLeft, IS_Normal);
    cSetBorderRadius(4, BC_TopRight, IS_Normal);
    cSetBackgroundColor(QStringLiteral("#F5F7FA"), IS_Normal);

    auto* pContainer = new CustomWidget;
    pContainer->setObjectName(QStringLiteral("ListContainer"));
    auto* pLayout = new QVBoxLayout;
    pLayout->setContentsMargins(32, 15, 6, 13);
    pLayout->setSpacing(0);
    cTitleBar()->cSetTitleText(tr("Enabled Event List"));
    if (nListType == 0) {
        cTitleBar()->cSetTitleText(tr("Error List"));
        auto* pHeader = new QHBoxLayout;
        pHeader->setContentsMargins(0, 0, 0, 0);
        pHeader->setSpacing(0);
        auto* pIcon = new CustomLabel(pContainer);
        pIcon->setObjectName(QStringLiteral("ErrorIcon"));
        pIcon->cSetBackgroundImage(QStringLiteral(":/Kestrel/Sentry/ic_error.png"), IS_Normal);
        pIcon->setFixedSize(30, 30);
        auto* pText = new CustomLabel(pContainer);
        pText->setObjectName(QStringLiteral("ErrorHeader"));
        MakeHeadline(pText);
        pText->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        pText->setFixedSize(500, 30);
        pText->setText(tr("Applying failed. Error list:"));
        pHeader->addWidget(pIcon);
        pHeader->addSpacing(6);
        pHeader->addWidget(pText);
        pHeader->addStretch();
        pLayout->addLayout(pHeader);
        pLayout->addSpacing(16);
    }

    int nBlocks = 0;
    auto addBlock = [&](EventTypeItem* pType, IOTypeItem* pIO) {
        if (!HasContent(pType, pIO))
            return;
        if (nBlocks++ > 0) {
            pLayout->addSpacing(14);
            auto* pLine = new CustomLineWidget(pContainer);
            pLine->cSetLineType(LT_Horizontal);
            pLine->setFixedHeight(1);
            pLine->cSetBackgroundColor(QStringLiteral("#99D8D8D8"), IS_Normal);
            pLine->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            pLayout->addWidget(pLine);
            pLayout->addSpacing(14);
        }
        pLayout->addWidget(new OneTypeMessageWidget(pType, pIO, pContainer));
    };
    for (EventTypeItem* pType : eventTypes) {
        if (pType->listIOType.isEmpty()) {
            addBlock(pType, nullptr);
            continue;
        }
        for (IOTypeItem* pIO : qAsConst(pType->listIOType))
            addBlock(pType, pIO);
    }
    if (nBlocks == 0) {
        pLayout->addStretch();
        auto* pRow = new QHBoxLayout;
        auto* pEmpty = new CustomLabel(pContainer);
        pEmpty->setObjectName(QStringLiteral("NoEnabledEvents"));
        MakeHeadline(pEmpty);
        pEmpty->setText(tr("No enabled events."));
        pRow->addStretch();
        pRow->addWidget(pEmpty);
        pRow->addStretch();
        pLayout->addLayout(pRow);
        pLayout->addStretch();
    }
    pLayout->addStretch();
    pContainer->setLayout(pLayout);

    m_pScrollArea = new QScrollArea;
    m_pScrollArea->setObjectName(QStringLiteral("ListScrollArea"));
    m_pScrollArea->setStyleSheet(Custom::styleSheet(SST_ScrollArea));
    m_pScrollArea->viewport()->setStyleSheet(QStringLiteral("QWidget{background-color:#F7F8FA;border:0px;}"));
    m_pScrollArea->setWidgetResizable(true);
    m_pScrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pScrollArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_pScrollArea->setWidget(pContainer);

    const int nHeight = qMin(pContainer->sizeHint().height(), maximumHeight() - 60);
    setFixedHeight(nHeight + 60);
    m_pScrollArea->setFixedHeight(nHeight);
    cSetCentralWidget(m_pScrollArea);
}

bool MessageListDialog::HasContent(EventTypeItem* pEventType, IOTypeItem* pIOType)
{
    return MessageRows::HasContent(s_nListType, pEventType, pIOType);
}
