#include "messagehintdlg.h"

#include "customlabel.h"
#include "customwidget.h"

#include <QHBoxLayout>
#include <QTimer>

MessageHintDlg::MessageHintDlg(const QString& strText, int nKind, QWidget* parent)
    : CustomMainWindow(parent)
{
    setObjectName(QStringLiteral("MessageHintDlg"));
    setFixedSize(483, 48);
    cSetBorderWidth(2, BE_Bottom, IS_Normal);
    cSetBorderColor(QStringLiteral("#313C4D"), BE_Bottom, IS_Normal);
    cSetBorderRadius(6, BC_All, IS_Normal);
    cSetBackgroundColor(QStringLiteral("#F32C3239"), IS_Normal);
    cSetTitleVisible(false);
    cSetShadowEnable(true, nullptr);

    QString strIcon, strColor;
    switch (nKind) {
    case 1:
        strIcon = QStringLiteral(":/Kestrel/kestrel/ic_warning.png");
        strColor = QStringLiteral("#FF7500");
        break;
    case 3:
        strIcon = QStringLiteral(":/Kestrel/kestrel/ic_danger.png");
        strColor = QStringLiteral("#FC0808");
        break;
    case 5:
        strIcon = QStringLiteral(":/Kestrel/kestrel/ic_success.png");
        strColor = QStringLiteral("#00BA43");
        break;
    default:
        break;
    }

    auto* pCentral = new CustomWidget(this);
    m_pIconLabel = new CustomLabel(pCentral);
    m_pIconLabel->setObjectName(QStringLiteral("HintIcon"));
    m_pIconLabel->setFixedSize(30, 30);
    m_pTextLabel = new CustomLabel(pCentral);
    m_pTextLabel->setObjectName(QStringLiteral("HintText"));
    m_pTextLabel->setText(strText);
    m_pTextLabel->cSetFontSize(14, IS_Normal);
    if (!strIcon.isEmpty()) {
        m_pIconLabel->cSetBackgroundImage(strIcon, IS_Normal);
        m_pTextLabel->cSetFontColor(strColor, IS_Normal);
    } else {
        m_pIconLabel->hide();
    }
    auto* pLayout = new QHBoxLayout(pCentral);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(8);
    pLayout->addStretch();
    pLayout->addWidget(m_pIconLabel, 0, Qt::AlignVCenter);
    pLayout->addWidget(m_pTextLabel, 0, Qt::AlignVCenter);
    pLayout->addStretch();
    cSetCentralWidget(pCentral);

    // Counted from construction; the context object keeps a destroyed hint from being called.
    QTimer::singleShot(1000, this, &MessageHintDlg::OnCloseTimeOut);
}

void MessageHintDlg::OnCloseTimeOut()
{
    accept();
}
