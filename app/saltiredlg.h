#pragma once

#include "custommainwindow.h"
#include "nxainterface.h"

#include <QFuture>
#include <QList>
#include <QMap>
#include <QStringList>
#include <QTranslator>

class CheckListMainWidget;
class CustomComboBox;
class CustomLabel;
class CustomMenu;
class CustomPushButton;
class QAction;
class QActionGroup;
class QStackedWidget;
class RWEventFeatureThread;

// The main window: title-bar menus, the device and user-level selectors, the event pages and the
// buttons that act on them.
class SaltireDlg : public CustomMainWindow
{
    Q_OBJECT
public:
    explicit SaltireDlg(QWidget* parent = nullptr);
    ~SaltireDlg() override;

    // Loads the stored language: translators, check marks and the user-level selector's width.
    void ApplyLanguage();

    // The device number of the selected device; -1 when nothing is selected.
    int CurrentDeviceId() const;
    // The page of the selected device, made on first use and kept for the run.
    CheckListMainWidget* CurrentPanel();

signals:
    void SigFinishEnum();

private slots:
    void OnMenuActionTriggered(QAction* pAction);
    void OnActionExport();
    void OnActionImport();
    void OnActionLangEng();
    void OnActionLangCh();
    void OnActionGuidance();
    void OnActionAbout();
    void OnEnableListClicked();
    void OnEnableAllEvent();
    void OnCancelAllEvent();
    void OnApply();
    void OnStartEnumDevice();
    void OnEndEnumOnce();
    void OnLeverChanged(int nIndex);
    void OnDeviceChanged(int nIndex);
    void OnFinishRW(int nID, bool bRead, bool bCreatInterfaceSuc);
    void OnEventMonitor();

protected:
    void changeEvent(QEvent* pEvent) override;
    void customEvent(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;

private:
    void InitMenus();
    void InitWidgets();
    void InitDeviceAccess();
    void EnumAllProducers();
    void InitLayout();
    void InitConnections();
    void RetranslateUi();
    bool HasSelectedDevice() const;
    void ShowHint(const QString& strText, int nKind);

    QActionGroup* m_pActionGroup = nullptr;
    CustomMenu* m_pFileMenu = nullptr;
    CustomPushButton* m_pFileButton = nullptr;
    QAction* m_pActImport = nullptr;
    QAction* m_pActExport = nullptr;
    CustomMenu* m_pHelpMenu = nullptr;
    CustomPushButton* m_pHelpButton = nullptr;
    CustomMenu* m_pLanguageMenu = nullptr;
    QAction* m_pActEnglish = nullptr;
    QAction* m_pActChinese = nullptr;
    QAction* m_pActManual = nullptr;
    QAction* m_pActAbout = nullptr;
    CustomLabel* m_pDeviceLabel = nullptr;
    CustomComboBox* m_pDeviceCombo = nullptr;
    CustomLabel* m_pLevelLabel = nullptr;
    CustomComboBox* m_pLevelCombo = nullptr;
    CustomPushButton* m_pBtnEnabledList = nullptr;
    CustomPushButton* m_pBtnCheckAll = nullptr;
    CustomPushButton* m_pBtnCancelAll = nullptr;
    CustomPushButton* m_pBtnApply = nullptr;
    CustomPushButton* m_pBtnEventMonitor = nullptr;
    QFuture<void> m_enumFuture;
    QStringList m_producerFiles;
    CCamInterface* m_pCamInterface = nullptr;
    QList<DeviceInfo> m_deviceList;
    RWEventFeatureThread* m_pRWThread = nullptr;
    QStackedWidget* m_pStackedWidget = nullptr;
    QMap<int, CheckListMainWidget*> m_panels;
    QTranslator m_trApp;
    QTranslator m_trControls;
    QTranslator m_trTools;
    QTranslator m_trQt;
};
