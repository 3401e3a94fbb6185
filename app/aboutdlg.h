#pragma once

#include "custommainwindow.h"

class CustomLabel;
class QVBoxLayout;

// The About box: logo, name and version, the build line and the notice.
class AboutDlg : public CustomMainWindow
{
    Q_OBJECT
public:
    explicit AboutDlg(QWidget* parent);
    ~AboutDlg() override;

    // "V<version> build<yyyyMMdd>", the OEM configuration winning over app.ini and the build date.
    static QString BuildVersionText();
    // A compiler date ("Feb 25 2025", "Mar  5 2025") as yyyyMMdd; empty for another form.
    static QString BuildDateDigits(const QString& strDate);

protected:
    void changeEvent(QEvent* pEvent) override;

private:
    QString NoticeText() const;

    CustomLabel* m_pLogoLabel = nullptr;
    CustomLabel* m_pNameLabel = nullptr;
    CustomLabel* m_pVersionLabel = nullptr;
    CustomLabel* m_pNoticeLabel = nullptr;
    QVBoxLayout* m_pMainLayout = nullptr;
};
