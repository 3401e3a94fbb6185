#pragma once

#include "customobject.h"
#include "trellis_global.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

class CustomPushButton;
class CustomTitleBar;
class QEventLoop;
class QVBoxLayout;

// A frameless top-level window with its own title bar, resizable from the edges that are enabled,
// with an optional drop shadow and an optional OK/Cancel button bar. exec() runs it modally and
// returns the code given to done(): 1 from accept(), 0 from reject() or closing.
// The style setters act on the visible frame of the window.
class TRELLIS_EXPORT CustomMainWindow : public QWidget, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomMainWindow(QWidget* parent = nullptr);
    ~CustomMainWindow() override;

    CustomTitleBar* cTitleBar() const { return m_pTitleBar; }
    void cSetCentralWidget(QWidget* pWidget);
    QWidget* cCentralWidget() const { return m_pCentralWidget; }
    // The parent a central widget ends up with. Made with it, the central widget is never moved, which
    // would have every widget in it take the window's style sheets anew.
    QWidget* cCentralParent() const { return m_pFrame; }

    void cSetMinStrechSize(const QSize& size);
    QSize cMinStrechSize() const { return m_minStretchSize; }
    // A combination of StretchEdge flags; 0 turns resizing off.
    void cSetStrechEdges(int nEdges);
    int cStrechEdges() const { return m_nStretchEdges; }
    void cShowMaximized();

    void cEnableDefualtShadow();
    void cSetShadowEnable(bool bEnable, QWidget* pTarget);
    bool cShadowEnabled() const { return m_bShadow; }
    void cSetTitleVisible(bool bVisible);
    void cSetEnableButtonBar(bool bEnable);
    void cSetWindowLever(int nLevel);

    int exec();
    bool isExecuting() const { return m_pLoop != nullptr; }
    int result() const { return m_nResult; }

public slots:
    void accept();
    void reject();
    void done(int nResult);
    void cToggleMaximize();

signals:
    void accepted();
    void rejected();
    void finished(int nResult);

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
    void changeEvent(QEvent* pEvent) override;
    void closeEvent(QCloseEvent* pEvent) override;
    void hideEvent(QHideEvent* pEvent) override;
    void showEvent(QShowEvent* pEvent) override;
    void keyPressEvent(QKeyEvent* pEvent) override;
    void cStyleApplied() override;

private:
    int EdgesAt(const QPoint& globalPos) const;
    void UpdateCursor(int nEdges);
    void ResizeTo(const QPoint& globalPos);
    void WatchForResize(QWidget* pWidget);

    QVBoxLayout* m_pOuterLayout = nullptr;
    QWidget* m_pFrame = nullptr;
    QVBoxLayout* m_pFrameLayout = nullptr;
    CustomTitleBar* m_pTitleBar = nullptr;
    QWidget* m_pCentralWidget = nullptr;
    QWidget* m_pButtonBar = nullptr;
    CustomPushButton* m_pBtnOk = nullptr;
    CustomPushButton* m_pBtnCancel = nullptr;

    QSize m_minStretchSize;
    int m_nStretchEdges = 0;
    bool m_bShadow = false;
    int m_nResizeEdges = 0;
    QRect m_resizeStartGeometry;
    QPoint m_resizeStartPos;

    bool m_bShownOnce = false;
    QEventLoop* m_pLoop = nullptr;
    int m_nResult = 0;
};
