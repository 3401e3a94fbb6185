#include "custommessagebox.h"

#include "customlabel.h"
#include "custompushbutton.h"
#include "customtitlebar.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

CustomMessageBox::CustomMessageBox(QWidget* parent, const QString& strText, const QString& strTitle, int nButtons,
                                   const QString& strIconPath, bool bDefaultOk)
    : CustomMainWindow(parent)
{
    setObjectName(QStringLiteral("cMessageBox"));
    cTitleBar()->cSetTitleText(strTitle);
    cTitleBar()->cSetTitleControls(TC_Close);
    cSetBorderWidth(1, BE_All);
    cSetBorderColor(QStringLiteral("#D8D8D8"), BE_All);
    cSetBackgroundColor(QStringLiteral("#FFFFFF"));

    auto* pCentral = new QWidget(this);
    m_pIconLabel = new CustomLabel(pCentral);
    m_pIconLabel->setObjectName(QStringLiteral("cMessageIcon"));
    m_pIconLabel->setFixedSize(32, 32);
    m_pIconLabel->setScaledContents(true);
    const QPixmap icon(strIconPath.isEmpty() ? QStringLiteral(":/Trellis/images/question.png") : strIconPath);
    m_pIconLabel->setPixmap(icon);
    m_pIconLabel->setVisible(!icon.isNull());

    m_pTextLabel = new CustomLabel(pCentral);
    m_pTextLabel->setObjectName(QStringLiteral("cMessageText"));
    m_pTextLabel->setText(strText);
    m_pTextLabel->setWordWrap(true);
    m_pTextLabel->setMinimumWidth(240);
    m_pTextLabel->cSetFontSize(14);
    m_pTextLabel->cSetFontColor(QStringLiteral("#383B43"));

    m_pBtnOk = new CustomPushButton(pCentral);
    m_pBtnOk->setObjectName(QStringLiteral("cMessageOk"));
    m_pBtnOk->setText(tr("OK"));
    m_pBtnOk->setFixedSize(90, 30);
    m_pBtnOk->setVisible(nButtons & MB_Ok);
    m_pBtnCancel = new CustomPushButton(pCentral, SS_Second);
    m_pBtnCancel->setObjectName(QStringLiteral("cMessageCancel"));
    m_pBtnCancel->setText(tr("Cancel"));
    m_pBtnCancel->setFixedSize(90, 30);
    m_pBtnCancel->setVisible(nButtons & MB_Cancel);
    if (bDefaultOk && (nButtons & MB_Ok)) {
        m_pBtnOk->setDefault(true);
        m_pBtnOk->setFocus();
    } else if (nButtons & MB_Cancel) {
        m_pBtnCancel->setFocus();
    }
    connect(m_pBtnOk, &QPushButton::clicked, this, &CustomMainWindow::accept);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &CustomMainWindow::reject);

    auto* pTextRow = new QHBoxLayout;
    pTextRow->setSpacing(12);
    pTextRow->addWidget(m_pIconLabel, 0, Qt::AlignTop);
    pTextRow->addWidget(m_pTextLabel, 1);
    auto* pButtonRow = new QHBoxLayout;
    pButtonRow->setSpacing(12);
    pButtonRow->addStretch();
    pButtonRow->addWidget(m_pBtnOk);
    pButtonRow->addWidget(m_pBtnCancel);
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(24, 20, 24, 20);
    pLayout->setSpacing(20);
    pLayout->addLayout(pTextRow, 1);
    pLayout->addLayout(pButtonRow);
    cSetCentralWidget(pCentral);
    setMinimumWidth(360);
}

CustomMessageBox::~CustomMessageBox() = default;

int CustomMessageBox::ask(QWidget* parent, const QString& strText, const QString& strTitle, int nButtons,
                          const QString& strIconPath, bool bDefaultOk)
{
    CustomMessageBox box(parent, strText, strTitle, nButtons, strIconPath, bDefaultOk);
    return box.exec() == 1 ? 1 : 0;
}
