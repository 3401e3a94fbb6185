#pragma once

#include "trellis_global.h"

#include <QWidget>

class CustomLabel;
class QTimer;

// A modal busy indicator: a spinning mark and a text, centred over the main dialog. It blocks input to
// every other window while shown but does not block the caller. Each id has its own indicator.
class TRELLIS_EXPORT CustomLoadingDialog : public QWidget
{
    Q_OBJECT
public:
    static void showLoading(const QString& strText, int nId = 0);
    static void hideLoading(int nId = 0);
    static bool isLoading(int nId = 0);
    static QString loadingText(int nId = 0);
    static CustomLoadingDialog* indicator(int nId = 0);

    ~CustomLoadingDialog() override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;

private:
    explicit CustomLoadingDialog(QWidget* parent);
    void CenterOverMainDialog();

    CustomLabel* m_pTextLabel = nullptr;
    QTimer* m_pTimer = nullptr;
    int m_nStep = 0;
};
