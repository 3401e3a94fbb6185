#pragma once

#include "custommainwindow.h"
#include "trellis_global.h"

class CustomLabel;
class CustomPushButton;

// A modal question in the suite's look.
class TRELLIS_EXPORT CustomMessageBox : public CustomMainWindow
{
    Q_OBJECT
public:
    // nButtons combines MessageButton flags (3: OK and Cancel). strIconPath replaces the question mark;
    // bDefaultOk makes Return answer OK. Returns 1 when the user accepted, 0 otherwise.
    static int ask(QWidget* parent, const QString& strText, const QString& strTitle, int nButtons = MB_Ok | MB_Cancel,
                   const QString& strIconPath = QString(), bool bDefaultOk = false);

    CustomMessageBox(QWidget* parent, const QString& strText, const QString& strTitle, int nButtons,
                     const QString& strIconPath, bool bDefaultOk);
    ~CustomMessageBox() override;

private:
    CustomLabel* m_pIconLabel = nullptr;
    CustomLabel* m_pTextLabel = nullptr;
    CustomPushButton* m_pBtnOk = nullptr;
    CustomPushButton* m_pBtnCancel = nullptr;
};
