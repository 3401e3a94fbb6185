#pragma once

#include "customwidget.h"
#include "trellis_global.h"

#include <QPoint>

class CustomLabel;
class CustomMenu;
class CustomPushButton;
class QHBoxLayout;

// The title bar of a frameless window: icon, title, menu buttons and the window controls. It moves the
// window when dragged and maximises or restores it on a double click.
class TRELLIS_EXPORT CustomTitleBar : public CustomWidget
{
    Q_OBJECT
public:
    explicit CustomTitleBar(QWidget* parent = nullptr);
    ~CustomTitleBar() override;

    void cSetTitleText(const QString& strText);
    QString cTitleText() const;
    void cSetTitleIcon(const QString& strPath);
    // A combination of TitleControl flags.
    void cSetTitleControls(int nControls);
    int cTitleControls() const { return m_nControls; }
    // Adds a menu button after the title; the button opens the menu below itself.
    CustomPushButton* cAddMenu(const QString& strText, CustomMenu* pMenu);

    void UpdateMaximizeButton();

signals:
    void cSigMinimize();
    void cSigToggleMaximize();
    void cSigClose();

protected:
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void mouseReleaseEvent(QMouseEvent* pEvent) override;
    void mouseDoubleClickEvent(QMouseEvent* pEvent) override;

private:
    CustomLabel* m_pIconLabel = nullptr;
    CustomLabel* m_pTitleLabel = nullptr;
    QHBoxLayout* m_pMenuLayout = nullptr;
    CustomPushButton* m_pBtnMinimize = nullptr;
    CustomPushButton* m_pBtnMaximize = nullptr;
    CustomPushButton* m_pBtnClose = nullptr;
    int m_nControls = 0;
    bool m_bDragging = false;
    QPoint m_dragOffset;
};
