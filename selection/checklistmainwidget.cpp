#include "checklistmainwidget.h"

#include "checklistleftwidget.h"
#include "checklistrightwidget.h"
#include "custom.h"
#include "customlabel.h"
#include "userlevelfilter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

using namespace Saltire;

CheckListMainWidget::CheckListMainWidget(int nUserLevel, const QList<EventTypeItem*>& eventTypes, QWidget* parent)
    : CustomWidget(parent)
    , m_eventTypes(eventTypes)
{
    setObjectName(QStringLiteral("CheckListMainWidget"));
    // Styled before the children exist: a later change of this sheet would polish every event box again.
    cSetBorderWidth(1, BE_All, IS_Normal);
    UpdateAvailability(nUserLevel);
    if (m_eventTypes.isEmpty())
        BuildEmptyPage();
    else
        BuildPage();
}

void CheckListMainWidget::BuildPage()
{
    m_pLeftWidget = new CheckListLeftWidget(m_eventTypes, this);
    m_pRightWidget = new CheckListRightWidget(m_eventTypes, this);
    m_pScrollArea = new QScrollArea(this);
    m_pScrollArea->setObjectName(QStringLiteral("EventScrollArea"));
    m_pScrollArea->setStyleSheet(Custom::styleSheet(SST_ScrollArea));
    m_pScrollArea->viewport()->setStyleSheet(QStringLiteral("QWidget{background-color:#F7F8FA;border:0px;}"));
    m_pScrollArea->setWidgetResizable(true);
    m_pScrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pScrollArea->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    m_pScrollArea->setWidget(m_pRightWidget);

    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pLeftWidget);
    pLayout->addWidget(m_pScrollArea);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);

    connect(m_pLeftWidget, &QListWidget::currentRowChanged, this, &CheckListMainWidget::OnListRowChanged);
    if (QScrollBar* pBar = m_pScrollArea->verticalScrollBar())
        connect(pBar, &QScrollBar::valueChanged, this, &CheckListMainWidget::OnScrollValueChanged);
}

void CheckListMainWidget::BuildEmptyPage()
{
    auto* pImage = new CustomLabel(this);
    pImage->setObjectName(QStringLiteral("EmptyImage"));
    const QString strImage = QStringLiteral(":/Kestrel/Common/ic_Empty.png");
    pImage->cSetBackgroundImage(strImage, IS_Normal);
    const QSize imageSize = QPixmap(strImage).size();
    if (!imageSize.isEmpty())
        pImage->setFixedSize(imageSize); // a background image does not size its label
    m_pEmptyLabel = new CustomLabel(this);
    m_pEmptyLabel->setObjectName(QStringLiteral("EmptyLabel"));
    m_pEmptyLabel->cSetFontSize(12, IS_Normal);
    m_pEmptyLabel->cSetFontColor(QStringLiteral("#89898A"), IS_Normal);
    m_pEmptyLabel->setAlignment(Qt::AlignCenter);
    m_pEmptyLabel->setText(QCoreApplication::translate("CheckListWidget", "No data."));

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addStretch();
    pLayout->addWidget(pImage, 0, Qt::AlignHCenter);
    pLayout->addSpacing(8);
    pLayout->addWidget(m_pEmptyLabel);
    pLayout->addStretch();
}

void CheckListMainWidget::UpdateAvailability(int nLevel)
{
    ApplyUserLevel(m_eventTypes, nLevel);
}

void CheckListMainWidget::SetUserLevel(int nLevel)
{
    UpdateAvailability(nLevel);
    if (m_pLeftWidget)
        m_pLeftWidget->UpdateRows();
    if (m_pRightWidget)
        m_pRightWidget->UpdateVisibility();
}

void CheckListMainWidget::SetAllChecked(bool bChecked)
{
    if (m_pRightWidget)
        m_pRightWidget->SetAllChecked(bChecked);
}

void CheckListMainWidget::UpdateCheckState()
{
    if (m_pRightWidget)
        m_pRightWidget->UpdateCheckState();
}

void CheckListMainWidget::OnListRowChanged(int nRow)
{
    if (!m_pLeftWidget || !m_pRightWidget || !m_pScrollArea)
        return;
    QScrollBar* pBar = m_pScrollArea->verticalScrollBar();
    if (!pBar)
        return;
    // Before the area has a height the ratio has no finite value: go by pixels.
    const int nHeight = m_pScrollArea->height();
    const double dRatio = nHeight > 0 ? double(pBar->pageStep()) / nHeight : 1.0;
    int nValue = int(m_pRightWidget->GroupOffset(nRow) * dRatio);
    if (nValue > pBar->maximum())
        nValue = pBar->maximum();
    disconnect(pBar, &QScrollBar::valueChanged, this, &CheckListMainWidget::OnScrollValueChanged);
    pBar->setValue(nValue);
    connect(pBar, &QScrollBar::valueChanged, this, &CheckListMainWidget::OnScrollValueChanged);
}

void CheckListMainWidget::OnScrollValueChanged(int nValue)
{
    if (!m_pScrollArea || !m_pRightWidget || !m_pLeftWidget)
        return;
    QScrollBar* pBar = m_pScrollArea->verticalScrollBar();
    if (!pBar)
        return;
    const int nPageStep = pBar->pageStep();
    const double dRatio = nPageStep > 0 ? double(m_pScrollArea->height()) / nPageStep : 1.0;
    const int nPosition = int(dRatio * nValue);
    disconnect(m_pLeftWidget, &QListWidget::currentRowChanged, this, &CheckListMainWidget::OnListRowChanged);
    m_pLeftWidget->setCurrentRow(m_pRightWidget->GroupAt(nPosition));
    connect(m_pLeftWidget, &QListWidget::currentRowChanged, this, &CheckListMainWidget::OnListRowChanged);
}

void CheckListMainWidget::resizeEvent(QResizeEvent* pEvent)
{
    if (m_pLeftWidget && m_pRightWidget)
        m_pRightWidget->setFixedWidth(qMax(0, width() - m_pLeftWidget->width()));
    CustomWidget::resizeEvent(pEvent);
}

void CheckListMainWidget::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange && m_pEmptyLabel)
        m_pEmptyLabel->setText(QCoreApplication::translate("CheckListWidget", "No data."));
    CustomWidget::changeEvent(pEvent);
}
