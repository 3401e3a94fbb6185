#pragma once

#include "custommainwindow.h"

class CustomLabel;

// A dark toast with an icon and one line of text that closes itself one second after it was made.
// Kinds: 1 warning, 3 failure, 5 success; any other shows the text alone.
class MessageHintDlg : public CustomMainWindow
{
    Q_OBJECT
public:
    MessageHintDlg(const QString& strText, int nKind, QWidget* parent);

public slots:
    void OnCloseTimeOut();

private:
    CustomLabel* m_pIconLabel = nullptr;
    CustomLabel* m_pTextLabel = nullptr;
};
