#pragma once

#include "custommainwindow.h"
#include "trellis_global.h"

class CustomLabel;
class CustomPushButton;
class QTimer;

// Confirms that a file was saved: a message, the file's path and, optionally, a button that opens the
// containing folder. It closes itself after the given time unless the pointer rests on it.
class TRELLIS_EXPORT CustomSaveDoneHintDlg : public CustomMainWindow
{
    Q_OBJECT
public:
    CustomSaveDoneHintDlg(QWidget* parent, const QString& strTitle, const QString& strMessage);
    ~CustomSaveDoneHintDlg() override;

    // nCloseAfterMs <= 0 keeps the hint open until it is closed.
    void SetMsgText(const QString& strMessage, const QString& strPath, bool bShowOpenFolder, int nCloseAfterMs);

protected:
    void showEvent(QShowEvent* pEvent) override;
    void enterEvent(QEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

private:
    CustomLabel* m_pIconLabel = nullptr;
    CustomLabel* m_pMessageLabel = nullptr;
    CustomLabel* m_pPathLabel = nullptr;
    CustomPushButton* m_pBtnOpenFolder = nullptr;
    QTimer* m_pCloseTimer = nullptr;
    QString m_strPath;
};
