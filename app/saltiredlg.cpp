#include "saltiredlg.h"

#include "aboutdlg.h"

#include "checklistmainwidget.h"
#include "customsavedonehintdlg.h"
#include "eventconfigfile.h"
#include "messagehintdlg.h"
#include "messagelistdialog.h"
#include "messagerows.h"
#include "notificationreadfailures.h"
#include "nxeventlogwidget.h"
#include "custom.h"
#include "customloadingdialog.h"
#include "rweventfeaturethread.h"
#include "eventtypeitem.h"
#include "devicediscovery.h"
#include "customcheckbox.h"
#include "customcombobox.h"
#include "customlabel.h"
#include "customlinewidget.h"
#include "custommenu.h"
#include "custompushbutton.h"
#include "customtitlebar.h"
#include "customwidget.h"
#include "hotkeyevent.h"
#include "nxinterface.h"
#include "readfailurenotice.h"
#include "deviceproblemnotice.h"
#include "refusedwritemarks.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

enum MenuAction {
    ActImport = 0,
    ActExport = 1,
    ActEnglish = 2,
    ActChinese = 3,
    ActManual = 4,
    ActAbout = 5,
};

constexpr int kCopyHotKeyId = 1;

CustomLineWidget* CreateSeparatorLine(QWidget* pParent)
{
    auto* pLine = new CustomLineWidget(pParent);
    pLine->cSetLineType(LT_Horizontal);
    pLine->setFixedHeight(1);
    pLine->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    pLine->cSetBackgroundColor(QStringLiteral("#E0DFDE"));
    return pLine;
}

} // namespace

SaltireDlg::SaltireDlg(QWidget* parent)
    : CustomMainWindow(parent)
{
    setObjectName(QStringLiteral("SaltireDlg"));
    InitMenus();
    InitWidgets();
    InitDeviceAccess();
    InitLayout();
    InitConnections();
    // Only now, so that the end of the enumeration always finds its connection.
    if (m_pCamInterface)
        OnStartEnumDevice();
    RetranslateUi();
    cSetBackgroundColor(QStringLiteral("#FFFFFF"));
    setMinimumSize(932, 700);
    cSetMinStrechSize(QSize(932, 700));
    cSetStrechEdges(SE_All);
    ApplyLanguage();
    QDir().mkpath(NXInterface::userDataPath() + QStringLiteral("/Data/Saltire"));
    Custom::setMainDialog(this);
    Custom::registerHotKey(kCopyHotKeyId, Qt::ControlModifier, Qt::Key_C);
}

SaltireDlg::~SaltireDlg()
{
    // The enumeration and the worker use this window and the instances: let both end before either goes.
    m_enumFuture.waitForFinished();
    if (m_pRWThread)
        m_pRWThread->wait();
    if (m_pCamInterface) {
        NXAReleaseInstance(m_pCamInterface);
        m_pCamInterface = nullptr;
    }
    // Translators are members; removing them first keeps the application from using them while they go.
    QCoreApplication::removeTranslator(&m_trApp);
    QCoreApplication::removeTranslator(&m_trControls);
    QCoreApplication::removeTranslator(&m_trTools);
    QCoreApplication::removeTranslator(&m_trQt);
    if (Custom::mainDialog() == this)
        Custom::setMainDialog(nullptr);
    // The menus have no parent; the Language menu lives inside the Help menu.
    delete m_pFileMenu;
    delete m_pHelpMenu;
    delete m_pLanguageMenu;
}

void SaltireDlg::InitMenus()
{
    cTitleBar()->setFixedHeight(42);
    cTitleBar()->cSetTitleIcon(QStringLiteral(":/Kestrel/logo/Gantry_logo.png"));

    cSetBorderWidth(2, BE_All);
    cSetBorderColor(QStringLiteral("#F76900"), BE_All);
    cSetBorderRadius(4, BC_TopLeft);
    cSetBorderRadius(4, BC_TopRight);

    m_pActionGroup = new QActionGroup(this);
    m_pActionGroup->setExclusive(false);

    auto addAction = [this](CustomMenu* pMenu, int nData, bool bCheckable, const char* szObjectName) {
        auto* pAction = new QAction(this);
        pAction->setObjectName(QString::fromLatin1(szObjectName));
        pAction->setData(nData);
        pAction->setCheckable(bCheckable);
        pMenu->addAction(pAction);
        m_pActionGroup->addAction(pAction);
        return pAction;
    };

    m_pFileMenu = new CustomMenu(nullptr);
    m_pFileMenu->setObjectName(QStringLiteral("FileMenu"));
    m_pFileButton = cTitleBar()->cAddMenu(tr("File"), m_pFileMenu);
    m_pFileButton->setObjectName(QStringLiteral("FileButton"));
    m_pActImport = addAction(m_pFileMenu, ActImport, false, "ActImport");
    m_pActExport = addAction(m_pFileMenu, ActExport, false, "ActExport");

    m_pHelpMenu = new CustomMenu(nullptr);
    m_pHelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    m_pHelpButton = cTitleBar()->cAddMenu(tr("Help"), m_pHelpMenu);
    m_pHelpButton->setObjectName(QStringLiteral("HelpButton"));
    m_pHelpButton->cSetFontColor(QStringLiteral("#C4C4C4"), IS_Normal);
    m_pHelpButton->cSetFontColor(QStringLiteral("#FF7500"), IS_Hover);
    m_pHelpButton->cSetFontColor(QStringLiteral("#FF7500"), IS_Pressed);

    m_pLanguageMenu = new CustomMenu(nullptr);
    m_pLanguageMenu->setObjectName(QStringLiteral("LanguageMenu"));
    m_pHelpMenu->addMenu(m_pLanguageMenu);
    m_pActEnglish = addAction(m_pLanguageMenu, ActEnglish, true, "ActEnglish");
    m_pActChinese = addAction(m_pLanguageMenu, ActChinese, true, "ActChinese");
    m_pActChinese->setText(QStringLiteral("简体中文"));

    m_pActManual = addAction(m_pHelpMenu, ActManual, false, "ActManual");
    m_pActManual->setVisible(NXInterface::GetOEMCfgValue(QStringLiteral("ShowUserManuel"), true).toBool());
    m_pActAbout = addAction(m_pHelpMenu, ActAbout, false, "ActAbout");
}

// The widgets are made in the central widget, and that in the window's frame, where they stay: moved
// there later, each would take the style sheets of its new ancestors again.
void SaltireDlg::InitWidgets()
{
    auto* pCentral = new CustomWidget(cCentralParent());
    pCentral->setObjectName(QStringLiteral("CentralWidget"));
    auto makeLabel = [pCentral](const char* szObjectName) {
        auto* pLabel = new CustomLabel(pCentral);
        pLabel->setObjectName(QString::fromLatin1(szObjectName));
        pLabel->setFixedHeight(32);
        pLabel->cSetFontColor(QStringLiteral("#52535E"));
        pLabel->cSetFontSize(14);
        return pLabel;
    };
    auto makeButton = [pCentral](const char* szObjectName, int nWidth, const char* szStyle) {
        // Under the named style lies the stock style of the same kind: orange under orange, white under the
        // others, so that no state of the named style shows the other's background.
        const bool bOrange = qstrcmp(szStyle, "KS_Btn_Orange_Main") == 0;
        auto* pButton = new CustomPushButton(pCentral, bOrange ? SS_Default : SS_Second);
        pButton->setObjectName(QString::fromLatin1(szObjectName));
        pButton->setFixedSize(nWidth, 32);
        pButton->cSetStyleSelector(QString::fromLatin1(szStyle));
        return pButton;
    };

    m_pDeviceLabel = makeLabel("DeviceLabel");
    m_pDeviceCombo = new CustomComboBox(pCentral, SS_Third, false);
    m_pDeviceCombo->setObjectName(QStringLiteral("DeviceCombo"));
    m_pDeviceCombo->setFixedHeight(32);
    m_pDeviceCombo->setFixedWidth(270);
    m_pLevelLabel = makeLabel("LevelLabel");
    m_pLevelCombo = new CustomComboBox(pCentral, SS_Third, false);
    m_pLevelCombo->setObjectName(QStringLiteral("LevelCombo"));
    m_pLevelCombo->setFixedSize(120, 32);

    m_pBtnEnabledList = makeButton("BtnEnabledList", 140, "KS_Btn_Gray_Main");
    m_pBtnCheckAll = makeButton("BtnCheckAll", 100, "KS_Btn_Gray_Sub");
    m_pBtnCancelAll = makeButton("BtnCancelAll", 100, "KS_Btn_Gray_Sub");
    m_pBtnApply = makeButton("BtnApply", 100, "KS_Btn_Orange_Main");
    m_pBtnEventMonitor = makeButton("BtnEventMonitor", 100, "KS_Btn_Gray_Sub");

    m_pStackedWidget = new QStackedWidget(pCentral);
    m_pStackedWidget->setObjectName(QStringLiteral("EventPages"));
}

void SaltireDlg::InitLayout()
{
    auto* pCentral = static_cast<CustomWidget*>(m_pStackedWidget->parentWidget()); // made in InitWidgets

    auto* pTopRow = new QHBoxLayout;
    pTopRow->setContentsMargins(16, 16, 30, 16);
    pTopRow->setSpacing(0);
    pTopRow->addWidget(m_pDeviceLabel);
    pTopRow->addSpacing(20);
    pTopRow->addWidget(m_pDeviceCombo);
    pTopRow->addSpacing(100);
    pTopRow->addWidget(m_pLevelLabel);
    pTopRow->addSpacing(20);
    pTopRow->addWidget(m_pLevelCombo);
    pTopRow->addSpacing(20);
    pTopRow->addStretch();
    pTopRow->addWidget(m_pBtnEnabledList);

    auto* pBottomRow = new QHBoxLayout;
    pBottomRow->setContentsMargins(16, 16, 30, 16);
    pBottomRow->setSpacing(0);
    pBottomRow->addStretch();
    pBottomRow->addWidget(m_pBtnCheckAll);
    pBottomRow->addSpacing(16);
    pBottomRow->addWidget(m_pBtnCancelAll);
    pBottomRow->addSpacing(16);
    pBottomRow->addWidget(m_pBtnApply);
    pBottomRow->addSpacing(16);
    pBottomRow->addWidget(m_pBtnEventMonitor);

    auto* pLayout = new QVBoxLayout(pCentral);
    pLayout->setContentsMargins(0, 0, 0, 0);
    pLayout->setSpacing(0);
    pLayout->addLayout(pTopRow);
    pLayout->addWidget(CreateSeparatorLine(pCentral));
    pLayout->addWidget(m_pStackedWidget);
    pLayout->addWidget(CreateSeparatorLine(pCentral));
    pLayout->addLayout(pBottomRow);
    cSetCentralWidget(pCentral);
}

void SaltireDlg::InitDeviceAccess()
{
    m_producerFiles = DeviceDiscovery::ScanProducerFiles(DeviceDiscovery::ProducerFolder());
    // Beside them, the producers other consumers find through the GenTL search path.
    m_producerFiles += DeviceDiscovery::GenTLPathProducers(m_producerFiles);
    CInterface* pInterface = nullptr;
    const int nResult = NXACreateInstance(NXA_CAMERA_INTERFACE, &pInterface);
    if (nResult != 0) {
        qCritical("Failed to create the device-access instance : 0x%s", qPrintable(QString::number(nResult, 16)));
        return;
    }
    m_pCamInterface = dynamic_cast<CCamInterface*>(pInterface);
    if (!m_pCamInterface)
        NXAReleaseInstance(pInterface);

    m_pRWThread = new RWEventFeatureThread(this);
    m_pStackedWidget->setCurrentWidget(CurrentPanel()); // the placeholder of device number -1
}

void SaltireDlg::InitConnections()
{
    connect(m_pActionGroup, &QActionGroup::triggered, this, &SaltireDlg::OnMenuActionTriggered);
    connect(m_pBtnEnabledList, &QPushButton::clicked, this, &SaltireDlg::OnEnableListClicked);
    connect(m_pBtnCheckAll, &QPushButton::clicked, this, &SaltireDlg::OnEnableAllEvent);
    connect(m_pBtnCancelAll, &QPushButton::clicked, this, &SaltireDlg::OnCancelAllEvent);
    connect(m_pBtnApply, &QPushButton::clicked, this, &SaltireDlg::OnApply);
    connect(m_pBtnEventMonitor, &QPushButton::clicked, this, &SaltireDlg::OnEventMonitor);
    connect(this, &SaltireDlg::SigFinishEnum, this, &SaltireDlg::OnEndEnumOnce);
    if (m_pRWThread)
        connect(m_pRWThread, &RWEventFeatureThread::SigFinishRW, this, &SaltireDlg::OnFinishRW);
    connect(m_pDeviceCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SaltireDlg::OnDeviceChanged);
}

void SaltireDlg::OnStartEnumDevice()
{
    if (m_enumFuture.isRunning())
        return;
    m_pDeviceCombo->setEnabled(false);
    m_enumFuture = QtConcurrent::run(QThreadPool::globalInstance(), [this] { EnumAllProducers(); });
}

// Runs on a pool thread. The selector stays empty meanwhile, so the GUI never reads the list it fills.
void SaltireDlg::EnumAllProducers()
{
    if (!m_pCamInterface) {
        emit SigFinishEnum();
        return;
    }
    m_deviceList = DeviceDiscovery::EnumerateDevices(m_pCamInterface, m_producerFiles);
    emit SigFinishEnum();
}

void SaltireDlg::OnEndEnumOnce()
{
    disconnect(m_pDeviceCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
               &SaltireDlg::OnDeviceChanged);
    m_pDeviceCombo->clear();
    for (const DeviceInfo& record : qAsConst(m_deviceList))
        m_pDeviceCombo->addItem(DeviceDiscovery::DeviceLabel(record));
    m_pDeviceCombo->setEnabled(true);
    qInfo("Found %d device(s) through %d producer file(s)", int(m_deviceList.size()), int(m_producerFiles.size()));
    // The first device is connected here alone: the selection of item 0 does not reach OnDeviceChanged.
    if (m_pDeviceCombo->count() > 0 && m_pRWThread) {
        m_pDeviceCombo->setCurrentIndex(0);
        CustomLoadingDialog::showLoading(tr("Connecting the device..."), 0);
        m_pRWThread->StartRW(&m_deviceList.at(0), true);
    }
    connect(m_pDeviceCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SaltireDlg::OnDeviceChanged);
}

int SaltireDlg::CurrentDeviceId() const
{
    const int nIndex = m_pDeviceCombo->currentIndex();
    if (nIndex < 0 || nIndex >= m_deviceList.size())
        return -1;
    return int(m_deviceList.at(nIndex).nDeviceNumber);
}

CheckListMainWidget* SaltireDlg::CurrentPanel()
{
    const int nID = CurrentDeviceId();
    if (CheckListMainWidget* pPanel = m_panels.value(nID, nullptr))
        return pPanel;
    const int nLevel = m_pLevelCombo->count() > 0 ? m_pLevelCombo->currentData().toInt() : 0;
    static const QList<Saltire::EventTypeItem*> s_none;
    const QList<Saltire::EventTypeItem*>& types = m_pRWThread ? *m_pRWThread->GetEventTypeList(nID) : s_none;
    auto* pPanel = new CheckListMainWidget(nLevel, types, m_pStackedWidget); // where it is shown: never moved
    ReadFailureNotice::Attach(pPanel, NotificationReadFailures::List(nID));
    m_panels.insert(nID, pPanel);
    m_pStackedWidget->addWidget(pPanel);
    return pPanel;
}

void SaltireDlg::OnDeviceChanged(int nIndex)
{
    if (nIndex < 0 || nIndex >= m_deviceList.size() || !m_pRWThread)
        return;
    CustomLoadingDialog::showLoading(tr("Connecting the device..."), 0);
    m_pRWThread->StartRW(&m_deviceList.at(nIndex), true);
}

void SaltireDlg::OnFinishRW(int nID, bool bRead, bool bCreatInterfaceSuc)
{
    if (bRead) {
        // A page made while the device could not be read ("No data.") gives way to one with its events.
        if (bCreatInterfaceSuc) {
            if (CheckListMainWidget* pStale = m_panels.take(nID)) {
                m_pStackedWidget->removeWidget(pStale);
                pStale->deleteLater();
            }
        }
        // The page follows the device selected now, which the modal indicator kept from changing.
        m_pStackedWidget->setCurrentWidget(CurrentPanel());
        DeviceProblemNotice::Update(m_panels.value(nID, nullptr), DeviceProblems::Get(nID)); // why it shows nothing
        if (bCreatInterfaceSuc && m_pRWThread) {
            if (CCamInterface* pInterface = m_pRWThread->GetInterface()) {
                NXEventLogWidget* pMonitor = NXEventLogWidget::Instance(quint64(quintptr(pInterface)), true, this);
                if (pMonitor && HasSelectedDevice())
                    pMonitor->SetDeviceInfo(m_deviceList.at(m_pDeviceCombo->currentIndex()));
            }
        }
        CustomLoadingDialog::hideLoading(0);
        return;
    }
    CustomLoadingDialog::hideLoading(0);
    RefusedWriteMarks::Update(m_panels.value(nID, nullptr));
    const QList<Saltire::EventTypeItem*>& types = *m_pRWThread->GetEventTypeList(nID);
    if (!types.isEmpty() && MessageRows::HasErrors(types)) {
        MessageListDialog dialog(0, types, this);
        dialog.exec();
        return;
    }
    ShowHint(tr("Applied."), 5);
}

void SaltireDlg::OnActionAbout()
{
    AboutDlg dialog(this);
    dialog.exec();
}

void SaltireDlg::OnEventMonitor()
{
    if (!m_pRWThread)
        return;
    if (CCamInterface* pInterface = m_pRWThread->GetInterface())
        NXEventLogWidget::ShowMonitor(quint64(quintptr(pInterface)));
}

void SaltireDlg::ShowHint(const QString& strText, int nKind)
{
    MessageHintDlg hint(strText, nKind, this);
    hint.exec();
}

bool SaltireDlg::HasSelectedDevice() const
{
    const int nIndex = m_pDeviceCombo->currentIndex();
    return nIndex >= 0 && nIndex < m_deviceList.size();
}

void SaltireDlg::OnApply()
{
    if (!HasSelectedDevice() || !m_pRWThread)
        return;
    CustomLoadingDialog::showLoading(tr("Applying to the device..."), 0);
    m_pRWThread->StartRW(&m_deviceList.at(m_pDeviceCombo->currentIndex()), false);
}

void SaltireDlg::OnEnableListClicked()
{
    const int nID = CurrentDeviceId();
    if (nID < 0 || !m_pRWThread)
        return;
    MessageListDialog dialog(1, *m_pRWThread->GetEventTypeList(nID), this);
    dialog.exec();
}

void SaltireDlg::OnActionExport()
{
    if (!HasSelectedDevice() || !m_pRWThread)
        return;
    const DeviceInfo& record = m_deviceList.at(m_pDeviceCombo->currentIndex());
    const QString strName = NXInterface::GetEncodeQStringFromUnChar(record.szDeviceName, -1) + QStringLiteral(".ect");
    const QString strPath = Custom::getSaveFileName(this, tr("Export"), NXInterface::userDataPath() + QStringLiteral("/Data/Saltire"),
                                                    strName, QStringLiteral("Event Configuration file(*.ect)"),
                                                    QStringLiteral("ect"), QStringList(), nullptr, QFileDialog::Options());
    if (strPath.isEmpty())
        return;
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly)) {
        qCritical("Cannot write %s: %s", qUtf8Printable(strPath), qUtf8Printable(file.errorString()));
        return;
    }
    EventConfigFile::Write(&file, *m_pRWThread->GetEventTypeList(CurrentDeviceId()));
    file.close();
    auto* pDone = new CustomSaveDoneHintDlg(nullptr, QString(), QString());
    pDone->SetMsgText(tr("File exported."), strPath, false, 2000);
    pDone->exec();
    pDone->deleteLater();
}

void SaltireDlg::OnActionImport()
{
    if (!HasSelectedDevice() || !m_pRWThread) {
        ShowHint(tr("Failed to import."), 3);
        return;
    }
    const QString strPath = NXInterface::getOpenFileName(this, tr("Import"), NXInterface::userDataPath() + QStringLiteral("/Data/Saltire"),
                                                         QStringLiteral("Event Configuration file(*.ect)|*.ect"));
    if (strPath.isEmpty())
        return;
    QString strText;
    QString strWhy;
    if (EventConfigFile::ReadFile(strPath, strText, &strWhy) != EventConfigFile::ReadResult::Ok) {
        qWarning("Import of %s refused: %s", qUtf8Printable(strPath), qUtf8Printable(strWhy));
        ShowHint(tr("Failed to import."), 3);
        return;
    }
    if (!EventConfigFile::ApplyText(strText, *m_pRWThread->GetEventTypeList(CurrentDeviceId()))) {
        ShowHint(tr("Failed to import."), 3);
        return;
    }
    OnApply();
    CurrentPanel()->UpdateCheckState();
    ShowHint(tr("Succeed."), 5);
}

void SaltireDlg::OnEnableAllEvent()
{
    if (m_pRWThread)
        CurrentPanel()->SetAllChecked(true);
}

void SaltireDlg::OnCancelAllEvent()
{
    if (m_pRWThread)
        CurrentPanel()->SetAllChecked(false);
}

void SaltireDlg::RetranslateUi()
{
    cTitleBar()->cSetTitleText(tr("Gantry"));
    m_pLanguageMenu->setTitle(tr("Language"));
    m_pFileButton->setText(tr("File"));
    m_pActImport->setText(tr("Import"));
    m_pActExport->setText(tr("Export"));
    m_pHelpButton->setText(tr("Help"));
    m_pActEnglish->setText(tr("English"));
    m_pActManual->setText(tr("User Manual"));
    m_pActAbout->setText(tr("About"));
    m_pDeviceLabel->setText(tr("Select Device"));
    m_pLevelLabel->setText(tr("User Level"));
    m_pBtnEnabledList->setText(tr("Enabled Event List"));
    m_pBtnCheckAll->setText(tr("Check All"));
    m_pBtnCancelAll->setText(tr("Cancel All"));
    m_pBtnApply->setText(tr("Apply"));
    m_pBtnEventMonitor->setText(tr("Event Monitor"));

    // Refilling must not re-filter the pages: the level itself does not change.
    disconnect(m_pLevelCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
               &SaltireDlg::OnLeverChanged);
    const int nOldIndex = m_pLevelCombo->currentIndex();
    m_pLevelCombo->clear();
    m_pLevelCombo->addItem(tr("Recommended"), 0);
    m_pLevelCombo->addItem(tr("Guru"), 1);
    if (nOldIndex != 0)
        m_pLevelCombo->setCurrentIndex(1);
    connect(m_pLevelCombo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &SaltireDlg::OnLeverChanged);
}

void SaltireDlg::ApplyLanguage()
{
    const QString strLanguage = NXInterface::language(false);
    const QString strDir = QCoreApplication::applicationDirPath();
    QTranslator* translators[] = {&m_trApp, &m_trControls, &m_trTools, &m_trQt};
    if (strLanguage == QLatin1String("CH")) {
        Custom::setLanguage(Lang_Chinese);
        m_pActChinese->setChecked(true);
        m_pActEnglish->setChecked(false);
        const char* const files[] = {"/translation/Saltire_zh.qm", "/translation/Trellis_zh_CN.qm",
                                     "/translation/Bedrock_zh_CN.qm", "/translation/qt_zh_CN.qm"};
        for (int i = 0; i < 4; ++i) {
            if (translators[i]->load(strDir + QLatin1String(files[i])))
                QCoreApplication::installTranslator(translators[i]);
        }
        m_pLevelCombo->setFixedSize(80, 32);
    } else {
        Custom::setLanguage(Lang_English);
        m_pActChinese->setChecked(false);
        m_pActEnglish->setChecked(true);
        for (QTranslator* pTranslator : translators)
            QCoreApplication::removeTranslator(pTranslator);
        m_pLevelCombo->setFixedSize(120, 32);
    }
}

void SaltireDlg::OnMenuActionTriggered(QAction* pAction)
{
    if (!pAction)
        return;
    switch (pAction->data().toInt()) {
    case ActImport: OnActionImport(); break;
    case ActExport: OnActionExport(); break;
    case ActEnglish: OnActionLangEng(); break;
    case ActChinese: OnActionLangCh(); break;
    case ActManual: OnActionGuidance(); break;
    case ActAbout: OnActionAbout(); break;
    default: break;
    }
}

void SaltireDlg::OnActionLangEng()
{
    NXInterface::setLanguage(QStringLiteral("ENG"));
    NXInterface::storeLanguage();
    ApplyLanguage();
}

void SaltireDlg::OnActionLangCh()
{
    NXInterface::setLanguage(QStringLiteral("CH"));
    NXInterface::storeLanguage();
    ApplyLanguage();
}

void SaltireDlg::OnActionGuidance()
{
    const bool bEnglish = NXInterface::language(false) == QLatin1String("ENG");
    const QString strPage = bEnglish ? QStringLiteral("/../doc/User_Manual_Kestrel_English/index.html")
                                     : QStringLiteral("/../doc/User_Manual_Kestrel_Chinese/index.html");
    const QString strTopic = bEnglish ? QStringLiteral("GUID-6A26A6EA-8654-4697-AF84-C2001057C800")
                                      : QStringLiteral("GUID-9F67AB81-ED49-47BD-89CE-A3462C8DBAB0");
    const QString strPath = QCoreApplication::applicationDirPath() + strPage;
    const QString strAddress = QUrl::fromLocalFile(strPath).toString() + QStringLiteral("?guid=%1.html").arg(strTopic);
    if (!NXInterface::OpenHtmlByDefBrowser(strAddress))
        QDesktopServices::openUrl(QUrl::fromLocalFile(strPath));
}

void SaltireDlg::OnLeverChanged(int nIndex)
{
    Q_UNUSED(nIndex)
    const int nLevel = m_pLevelCombo->currentData().toInt();
    qInfo("Set user level %d", nLevel);
    for (CheckListMainWidget* pPanel : qAsConst(m_panels)) { // ascending device numbers, -1 first
        pPanel->SetUserLevel(nLevel);
        RefusedWriteMarks::Update(pPanel); // boxes made anew for the level
    }
}

void SaltireDlg::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        RetranslateUi();
}

// The Event Monitor windows belong to the main window: they close with it, so that closing "Gantry"
// always ends the tool (an open monitor would otherwise keep the application running).
void SaltireDlg::closeEvent(QCloseEvent* pEvent)
{
    for (NXEventLogWidget* pMonitor : findChildren<NXEventLogWidget*>())
        pMonitor->hide();
    CustomMainWindow::closeEvent(pEvent);
}

void SaltireDlg::customEvent(QEvent* pEvent)
{
    CustomMainWindow::customEvent(pEvent);
    if (pEvent->type() != HotKeyEvent::kType)
        return;
    const auto* pHotKey = dynamic_cast<const HotKeyEvent*>(pEvent);
    if (!pHotKey || pHotKey->hotKeyId() != kCopyHotKeyId)
        return;

    // Only the check box really under the pointer: the visible widget there, not one whose rectangle is
    // scrolled away or covered by another window. With none, the clipboard is left alone, so that Ctrl+C
    // keeps working in the tool's other windows (the hot key is seen in all of them).
    if (!isActiveWindow())
        return; // a dialog of the tool has the keyboard: its own Ctrl+C is the one meant
    CustomCheckBox* pBox = nullptr;
    for (QWidget* pAt = QApplication::widgetAt(QCursor::pos()); pAt && !pBox; pAt = pAt->parentWidget())
        pBox = qobject_cast<CustomCheckBox*>(pAt);
    if (!pBox || pBox->window() != this)
        return;
    QString strText = pBox->toolTip();
    const int nColon = strText.indexOf(QLatin1Char(':'));
    if (nColon > 0)
        strText = strText.left(nColon);
    QGuiApplication::clipboard()->setText(strText.trimmed());
}
