#include "customsavedonehintdlg.h"

#include "customlabel.h"
#include "custompushbutton.h"
#include "customtitlebar.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

CustomSaveDoneHintDlg::CustomSaveDoneHintDlg(QWidget* parent, const QString& strTitle, const QString& strMessage)
    : CustomMainWindow(parent)
{
    setObjectName(QStringLiteral("cSaveDoneHint"));
    cTitleBar()->cSetTitleText(strTitle);
    cTitleBar()->cSetTitleControls(TC_Close);
    cSetBorderWidth(1, BE_All);
    cSetBorderColor(QStringLiteral("#D8D8D8"), BE_All);
    cSetBackgroundColor(QStringLiteral("#FFFFFF"));

    auto* pCentral = new QWidget(this);
    m_pIconLabel = new CustomLabel(pCentral);
    m_pIconLabel->setFixedSize(24, 24);
    m_pIconLabel->setScaledContents(true);
    const QPixmap icon(QStringLiteral(":/Trellis/images/done.png"));
    m_pIconLabel->setPixmap(icon);
    m_pIconLabel->setVisible(!icon.isNull());
    m_pMessageLabel = new CustomLabel(pCentral);
    m_pMessageLabel->setObjectName(QStringLiteral("cSaveDoneMessage"));
    m_pMessageLabel->cSetFontSize(14);
    m_pMessageLabel->cSetFontColor(QStringLiteral("#383B43"));
    m_pPathLabel = new CustomLabel(pCentral);
    m_pPathLabel->setObjectName(QStringLiteral("cSaveDonePath"));
    m_pPathLabel->setWordWrap(true);
    m_pPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pPathLabel->cSetFontSize(12);
    m_pPathLabel->cSetFontColor(QStringLiteral("#5E6166"));
    m_pBtnOpenFolder = new CustomPushButton(pCentral, SS_Second);
    m_pBtnOpenFolder->setObjectName(QStringLiteral("cSaveDoneOpenFolder"));
    m_pBtnOpenFolder->setText(tr("Open Folder"));
    m_pBtnOpenFolder->setFixedHeight(28);
    m_pBtnOpenFolder->hide();
    connect(m_pBtnOpenFolder, &QPushButton::clicked, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_strPath).absolutePath()));
        accept();
    });

    auto* pMessageRow = new QHBoxLayout;
    pMessageRow->setSpacing(10);
    pMessageRow->addWidget(m_pIconLabel);
    pMessageRow->addWidget(m_pMessageLabel, 1);
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(20, 16, 20, 20);
    pLayout->setSpacing(10);
    pLayout->addLayout(pMessageRow);
    pLayout->addWidget(m_pPathLabel);
    pLayout->addWidget(m_pBtnOpenFolder, 0, Qt::AlignRight);
    cSetCentralWidget(pCentral);
    setMinimumWidth(360);

    m_pCloseTimer = new QTimer(this);
    m_pCloseTimer->setSingleShot(true);
    connect(m_pCloseTimer, &QTimer::timeout, this, &CustomMainWindow::accept);
    SetMsgText(strMessage, QString(), false, 0);
}

CustomSaveDoneHintDlg::~CustomSaveDoneHintDlg() = default;

void CustomSaveDoneHintDlg::SetMsgText(const QString& strMessage, const QString& strPath, bool bShowOpenFolder,
                                       int nCloseAfterMs)
{
    m_strPath = strPath;
    m_pMessageLabel->setText(strMessage);
    m_pPathLabel->setText(QDir::toNativeSeparators(strPath));
    m_pPathLabel->setVisible(!strPath.isEmpty());
    m_pBtnOpenFolder->setVisible(bShowOpenFolder && !strPath.isEmpty());
    m_pCloseTimer->stop();
    m_pCloseTimer->setInterval(qMax(0, nCloseAfterMs));
    if (nCloseAfterMs > 0 && isVisible())
        m_pCloseTimer->start();
}

void CustomSaveDoneHintDlg::showEvent(QShowEvent* pEvent)
{
    CustomMainWindow::showEvent(pEvent);
    if (m_pCloseTimer->interval() > 0)
        m_pCloseTimer->start();
}

void CustomSaveDoneHintDlg::enterEvent(QEvent* pEvent)
{
    // Keep the hint while the user reads or selects the path.
    m_pCloseTimer->stop();
    CustomMainWindow::enterEvent(pEvent);
}

void CustomSaveDoneHintDlg::leaveEvent(QEvent* pEvent)
{
    if (m_pCloseTimer->interval() > 0 && isVisible())
        m_pCloseTimer->start();
    CustomMainWindow::leaveEvent(pEvent);
}
