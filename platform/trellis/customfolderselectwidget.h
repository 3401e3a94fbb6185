#pragma once

#include "customwidget.h"
#include "trellis_global.h"

class CustomPushButton;
class QLineEdit;

// Shows a path and offers a button to choose another; the owner answers cSigSearchClicked().
class TRELLIS_EXPORT CustomFolderSelectWidget : public CustomWidget
{
    Q_OBJECT
public:
    CustomFolderSelectWidget(QWidget* parent = nullptr, const QString& strText = QString());
    ~CustomFolderSelectWidget() override;

    void cSetText(const QString& strText);
    QString cText() const;

signals:
    void cSigSearchClicked();

protected:
    void changeEvent(QEvent* pEvent) override;

private:
    QLineEdit* m_pPathEdit = nullptr;
    CustomPushButton* m_pBtnSearch = nullptr;
};
