#include "nxeventlogwidget.h"


#include "custom.h"
#include "customcheckbox.h"
#include "customfolderselectwidget.h"
#include "customlabel.h"
#include "custommessagebox.h"
#include "custompushbutton.h"
#include "customtitlebar.h"
#include "eventrecordtext.h"
#include "eventstatistics.h"
#include "eventstatisticspanel.h"
#include "logwritenotice.h"
#include "nxeventlogtableview.h"
#include "nxinterface.h"
#include "qlocalcfg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include <cstring>

namespace {

constexpr int kMessagingChannelEvent = 4;
const char* const kTitleSeparator = "--";

QString FieldText(const char* szField, int nSize)
{
    return QString::fromUtf8(szField, int(qstrnlen(szField, size_t(nSize))));
}

} // namespace

NXEventLogWidget* NXEventLogWidget::Instance(quint64 nKey, bool bCreate, QWidget* parent)
{
    if (auto* pWindow = dynamic_cast<NXEventLogWidget*>(DeviceEventRegistry::Find(nKey)))
        return pWindow;
    if (!bCreate || !parent)
        return nullptr;
    auto* pWindow = new NXEventLogWidget(nKey, parent);
    DeviceEventRegistry::Register(nKey, pWindow);
    return pWindow;
}

void NXEventLogWidget::ShowMonitor(quint64 nKey)
{
    NXEventLogWidget* pWindow = Instance(nKey, false, nullptr);
    if (!pWindow)
        return;
    pWindow->show();
    QPoint pos = pWindow->pos();
    const QList<DeviceEventSink*> others = DeviceEventRegistry::Others(pWindow);
    for (bool bMoved = true; bMoved;) {
        bMoved = false;
        for (DeviceEventSink* pSink : others) {
            auto* pOther = dynamic_cast<NXEventLogWidget*>(pSink);
            if (pOther && pOther->pos() == pos) {
                pos += QPoint(20, 20);
                bMoved = true;
            }
        }
    }
    pWindow->move(pos);
    pWindow->raise();
    pWindow->activateWindow();
}

int NXEventLogWidget::TimestampFrequency(CCamInterface* pInterface)
{
    return EventRecordText::TimestampFrequency(pInterface);
}

NXEventLogWidget::NXEventLogWidget(quint64 nKey, QWidget* parent)
    : CustomMainWindow(parent)
    , m_pInterface(reinterpret_cast<CCamInterface*>(quintptr(nKey)))
    , m_pStatistics(std::make_unique<EventStatistics>())
{
    setObjectName(QStringLiteral("NXEventLogWidget"));
    setWindowFlag(Qt::Window, true); // a window of its own, though the main window owns it
    std::memset(&m_deviceInfo, 0, sizeof m_deviceInfo);

    m_pLblEventType = new CustomLabel(this);
    m_pChkEventType = new CustomCheckBox(this, SS_Second);
    m_pChkEventType->setObjectName(QStringLiteral("ChkEventType"));
    m_pBtnClear = new CustomPushButton(this, SS_Second);
    m_pBtnClear->setObjectName(QStringLiteral("BtnClearLog"));
    m_pTableView = new NXEventLogTableView(this);
    m_pTableView->setFixedHeight(398);
    m_pLblSavePath = new CustomLabel(this);
    m_pLblSavePath->setFixedWidth(130);
    m_pFolderSelect = new CustomFolderSelectWidget(this, QString());
    m_pFolderSelect->setObjectName(QStringLiteral("LogFolderSelect"));
    m_pFolderSelect->setFixedSize(276, 32);
    m_pLblAutoSave = new CustomLabel(this);
    m_pChkAutoSave = new CustomCheckBox(this, SS_Second);
    m_pChkAutoSave->setObjectName(QStringLiteral("ChkAutoSave"));

    RetranslateUi();

    for (CustomLabel* pLabel : {m_pLblAutoSave, m_pLblSavePath, m_pLblEventType}) {
        pLabel->cSetFontColor(QStringLiteral("DB_COLOR_Custom_Font_LittleBlack"), IS_Normal);
        pLabel->cSetFontSize(14, IS_Normal);
        pLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    m_pBtnClear->cSetFontColor(QStringLiteral("DB_COLOR_Custom_Font_LittleBlack"), IS_Normal);
    m_pBtnClear->cSetFontSize(14, IS_Normal);
    m_pBtnClear->setFixedSize(90, 26);
    m_pChkAutoSave->setEnabled(true);

    UpdateDefaultLogPath();

    if (QLocalCfg* pCfg = QLocalCfg::Instance()) {
        const bool bAutoSave = pCfg->EventAutoSave();
        m_pChkAutoSave->setChecked(bAutoSave);
        m_pTableView->setAutoSave(bAutoSave);
        m_pFolderSelect->setEnabled(!bAutoSave);
    }

    auto* pCentral = new QWidget(this);
    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(16, 16, 16, 10);
    pLayout->setSpacing(0);
    auto* pTop = new QHBoxLayout;
    pTop->setContentsMargins(0, 0, 0, 0);
    pTop->setSpacing(0);
    auto* pType = new QHBoxLayout;
    pType->addWidget(m_pChkEventType);
    pType->addSpacing(10);
    pType->addWidget(m_pLblEventType);
    pType->addStretch();
    pTop->addLayout(pType);
    pTop->addStretch(0);
    m_pStatisticsPanel = new EventStatisticsPanel(m_pStatistics.get(), m_pInterface, this);
    pTop->addWidget(m_pStatisticsPanel->Button());
    pTop->addSpacing(10);
    pTop->addWidget(m_pBtnClear);
    pLayout->addLayout(pTop);
    pLayout->addSpacing(21);
    auto* pTable = new QHBoxLayout;
    pTable->setContentsMargins(0, 0, 0, 0);
    pTable->addWidget(m_pTableView, 1);
    pLayout->addLayout(pTable);
    pLayout->addSpacing(10);
    auto* pBottom = new QHBoxLayout;
    pBottom->setContentsMargins(0, 0, 0, 0);
    pBottom->setSpacing(0);
    pBottom->addWidget(m_pLblSavePath);
    pBottom->addSpacing(10);
    pBottom->addWidget(m_pFolderSelect);
    pBottom->addStretch();
    pBottom->addWidget(m_pLblAutoSave);
    pBottom->addSpacing(10);
    pBottom->addWidget(m_pChkAutoSave);
    pLayout->addLayout(pBottom);
    pLayout->addWidget(m_pStatisticsPanel);
    pLayout->addStretch();
    cSetCentralWidget(pCentral);
    cSetEnableButtonBar(false);

    // Appears only when the log file stops being written, or when the device cannot send events at all.
    LogWriteNotice* pNotice = LogWriteNotice::Attach(m_pTableView);
    NXADeviceStatus status{};
    if (pNotice && NXAGetDeviceStatus(m_pInterface, &status) == 0 && status.nEventsRefused != 0)
        pNotice->ShowEventsRefused(status.nEventsRefused);
    m_pTableView->setFlushHandler([this] { m_pStatisticsPanel->Refresh(); });

    connect(m_pFolderSelect, SIGNAL(cSigSearchClicked()), this, SLOT(on_changeFile()));
    connect(m_pChkAutoSave, SIGNAL(stateChanged(int)), this, SLOT(on_autoSaveStateChg(int)));
    connect(m_pChkEventType, SIGNAL(stateChanged(int)), this, SLOT(on_logStateChg(int)));
    connect(m_pBtnClear, SIGNAL(clicked()), this, SLOT(on_clearLogClicked()));

    cEnableDefualtShadow();
    setFixedSize(854, 550);
    cSetWindowLever(1);
    cTitleBar()->cSetTitleControls(TC_Close);
    cTitleBar()->setFixedHeight(32); // leaves the table its full height inside the fixed size and the shadow
}

NXEventLogWidget::~NXEventLogWidget()
{
    DeviceEventRegistry::Unregister(this); // waits for an event being handed to this window
    // The statistics go before the children that use them.
    m_pTableView->setFlushHandler({});
    delete m_pStatisticsPanel;
    m_pStatisticsPanel = nullptr;
    QLocalCfg::Destroy();
}

void NXEventLogWidget::SetDeviceInfo(const DeviceInfo& info)
{
    std::memcpy(&m_deviceInfo, &info, sizeof m_deviceInfo);
    RetranslateUi();
    UpdateDefaultLogPath();
}

QString NXEventLogWidget::LabelDetail() const
{
    return FieldText(m_deviceInfo.szLabelDetail, int(sizeof m_deviceInfo.szLabelDetail));
}

void NXEventLogWidget::RetranslateUi()
{
    if (CustomTitleBar* pTitle = cTitleBar()) {
        const QString strDevice = FieldText(reinterpret_cast<const char*>(m_deviceInfo.szDeviceName),
                                            int(sizeof m_deviceInfo.szDeviceName));
        pTitle->cSetTitleText(tr("Event Monitor") + QLatin1String(kTitleSeparator) + strDevice);
    }
    m_pLblEventType->setText(tr("Messaging Channel Event"));
    m_pBtnClear->setText(tr("Clear Log"));
    m_pLblAutoSave->setText(tr("Auto Save"));
    m_pLblSavePath->setText(tr("Save Path"));
}

void NXEventLogWidget::UpdateDefaultLogPath()
{
    const QString strDetail = LabelDetail();
    if (strDetail.isEmpty())
        return;
    const QString strPath = NXInterface::userDataPath() + QStringLiteral("/EventLog_%1.txt").arg(strDetail);
    m_pFolderSelect->cSetText(strPath);
    m_pTableView->setLogFile(strPath);
}

void NXEventLogWidget::OnEvent(EventRecord* pRecord)
{
    if (!m_pTableView || !pRecord || !(m_nEventTypeMask.load() & kMessagingChannelEvent))
        return;
    const int nFrequency = TimestampFrequency(m_pInterface);
    const QString strTimestamp = EventRecordText::Seconds(*pRecord, nFrequency);
    m_pTableView->appendEvent(EventRecordText::Content(*pRecord), strTimestamp);
    m_pStatistics->Add(*pRecord, nFrequency);
}

void NXEventLogWidget::on_logStateChg(int nState)
{
    Q_UNUSED(nState)
    if (qobject_cast<CustomCheckBox*>(sender()) != m_pChkEventType)
        return;
    if (m_pChkEventType->isChecked()) {
        m_pStatistics->Start();
        m_nEventTypeMask.fetch_or(kMessagingChannelEvent);
    } else {
        m_nEventTypeMask.fetch_and(~kMessagingChannelEvent);
        m_pStatistics->Stop();
    }
    m_pTableView->setRunning(m_nEventTypeMask.load() != 0);
}

void NXEventLogWidget::on_autoSaveStateChg(int nState)
{
    Q_UNUSED(nState)
    const bool bOn = m_pChkAutoSave->isChecked();
    m_pTableView->setAutoSave(bOn);
    m_pFolderSelect->setEnabled(!bOn);
    if (QLocalCfg* pCfg = QLocalCfg::Instance())
        pCfg->SetEventAutoSave(bOn);
}

void NXEventLogWidget::on_changeFile()
{
    const QString strProposed = QStringLiteral("EventLog_%1.txt").arg(LabelDetail());
    const QString strPath = Custom::getSaveFileName(this, tr("Select File"), QString(), strProposed,
                                                    tr("File") + QStringLiteral("(*.txt)"), QStringLiteral("txt"));
    if (strPath.isEmpty())
        return;
    m_pFolderSelect->cSetText(strPath);
    m_pTableView->setLogFile(strPath);
    m_pChkAutoSave->setEnabled(true);
}

void NXEventLogWidget::on_clearLogClicked()
{
    if (CustomMessageBox::ask(this, tr("Clear the log?"), tr("Prompt"), 3, QString(), false) != 1)
        return;
    m_pTableView->clearLog();
    m_pStatistics->Clear();
    m_pStatisticsPanel->Reset();
}

void NXEventLogWidget::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange) {
        RetranslateUi();
        m_pTableView->retranslate();
    }
    CustomMainWindow::changeEvent(pEvent);
}

void NXEventLogWidget::closeEvent(QCloseEvent* pEvent)
{
    // The registry keeps the window and the device keeps sending to it: closing only hides.
    pEvent->ignore();
    hide();
}
