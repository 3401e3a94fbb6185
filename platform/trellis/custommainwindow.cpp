#include "custommainwindow.h"

#include "custom.h"
#include "custompushbutton.h"
#include "customtitlebar.h"
#include "customwidget.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
Q_LOGGING_CATEGORY(lcWindow, "trellis.window")

constexpr int kShadowMargin = 12;
constexpr int kRoomyHeight = 80;  // fixed heights from here on get the full shadow
constexpr int kToastContent = 40; // what a toast keeps for its contents and frame
constexpr int kGripWidth = 6;

QWidget* MakeFrame(QWidget* pWindow)
{
    // The window's own style setters act on this frame, which paints background and border itself.
    auto* pFrame = new CustomWidget(pWindow);
    pFrame->setObjectName(QStringLiteral("cFrame"));
    return pFrame;
}

Qt::Edges ToQtEdges(int nEdges)
{
    Qt::Edges edges;
    if (nEdges & (SE_Left | SE_TopLeft | SE_BottomLeft))
        edges |= Qt::LeftEdge;
    if (nEdges & (SE_Right | SE_TopRight | SE_BottomRight))
        edges |= Qt::RightEdge;
    if (nEdges & (SE_Top | SE_TopLeft | SE_TopRight))
        edges |= Qt::TopEdge;
    if (nEdges & (SE_Bottom | SE_BottomLeft | SE_BottomRight))
        edges |= Qt::BottomEdge;
    return edges;
}

int BorderPixels(const QString& strValue)
{
    return strValue.endsWith(QLatin1String("px")) ? strValue.chopped(2).toInt() : 0;
}
} // namespace

CustomMainWindow::CustomMainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinMaxButtonsHint)
    , CustomObject(MakeFrame(this))
{
    m_pFrame = cTarget();
    setMouseTracking(true);
    // Styled before its children are made: they take the frame's style sheet as they come, instead of all
    // of them at once when it is set.
    cSetStockStyle(QStringLiteral("Trellis_Window"));

    m_pTitleBar = new CustomTitleBar(m_pFrame);
    m_pCentralWidget = new QWidget(m_pFrame);
    m_pCentralWidget->setObjectName(QStringLiteral("cCentralWidget"));

    m_pButtonBar = new QWidget(m_pFrame);
    m_pButtonBar->setObjectName(QStringLiteral("cButtonBar"));
    m_pBtnOk = new CustomPushButton(m_pButtonBar);
    m_pBtnOk->setObjectName(QStringLiteral("cBtnOk"));
    m_pBtnOk->setText(tr("OK"));
    m_pBtnOk->setFixedSize(90, 30);
    m_pBtnCancel = new CustomPushButton(m_pButtonBar, SS_Second);
    m_pBtnCancel->setObjectName(QStringLiteral("cBtnCancel"));
    m_pBtnCancel->setText(tr("Cancel"));
    m_pBtnCancel->setFixedSize(90, 30);
    auto* pBarLayout = new QHBoxLayout(m_pButtonBar);
    pBarLayout->setContentsMargins(16, 10, 16, 16);
    pBarLayout->setSpacing(12);
    pBarLayout->addStretch();
    pBarLayout->addWidget(m_pBtnOk);
    pBarLayout->addWidget(m_pBtnCancel);
    m_pButtonBar->hide();
    connect(m_pBtnOk, &QPushButton::clicked, this, &CustomMainWindow::accept);
    connect(m_pBtnCancel, &QPushButton::clicked, this, &CustomMainWindow::reject);

    m_pFrameLayout = new QVBoxLayout(m_pFrame);
    m_pFrameLayout->setContentsMargins(0, 0, 0, 0);
    m_pFrameLayout->setSpacing(0);
    m_pFrameLayout->addWidget(m_pTitleBar);
    m_pFrameLayout->addWidget(m_pCentralWidget, 1);
    m_pFrameLayout->addWidget(m_pButtonBar);

    m_pOuterLayout = new QVBoxLayout(this);
    m_pOuterLayout->setContentsMargins(0, 0, 0, 0);
    m_pOuterLayout->setSpacing(0);
    m_pOuterLayout->addWidget(m_pFrame);

    connect(m_pTitleBar, &CustomTitleBar::cSigMinimize, this, &QWidget::showMinimized);
    connect(m_pTitleBar, &CustomTitleBar::cSigToggleMaximize, this, &CustomMainWindow::cToggleMaximize);
    connect(m_pTitleBar, &CustomTitleBar::cSigClose, this, &QWidget::close);

    cStyleApplied();
    WatchForResize(this);
    WatchForResize(m_pFrame);
    WatchForResize(m_pTitleBar);
    WatchForResize(m_pCentralWidget);
}

CustomMainWindow::~CustomMainWindow()
{
    if (m_pLoop)
        m_pLoop->quit();
}

void CustomMainWindow::WatchForResize(QWidget* pWidget)
{
    pWidget->setMouseTracking(true);
    pWidget->installEventFilter(this);
}

void CustomMainWindow::cSetCentralWidget(QWidget* pWidget)
{
    if (!pWidget || pWidget == m_pCentralWidget)
        return;
    QWidget* pOld = m_pCentralWidget;
    // The layout hands back the old item; it is ours to delete.
    delete m_pFrameLayout->replaceWidget(pOld, pWidget);
    m_pFrameLayout->setStretchFactor(pWidget, 1);
    pOld->deleteLater();
    pOld->hide();
    m_pCentralWidget = pWidget;
    WatchForResize(m_pCentralWidget);
    m_pCentralWidget->show();
}

void CustomMainWindow::cSetMinStrechSize(const QSize& size)
{
    m_minStretchSize = size;
}

void CustomMainWindow::cSetStrechEdges(int nEdges)
{
    m_nStretchEdges = nEdges & SE_All;
}

void CustomMainWindow::cShowMaximized()
{
    showMaximized();
    m_pTitleBar->UpdateMaximizeButton();
}

void CustomMainWindow::cToggleMaximize()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
    m_pTitleBar->UpdateMaximizeButton();
}

void CustomMainWindow::cEnableDefualtShadow()
{
    cSetShadowEnable(true, nullptr);
}

void CustomMainWindow::cSetShadowEnable(bool bEnable, QWidget* pTarget)
{
    QWidget* pShadowed = pTarget ? pTarget : m_pFrame;
    m_bShadow = bEnable;
    if (bEnable) {
        // The shadow is drawn into a transparent margin around the frame. A window of a small fixed height
        // (a one-line toast) gets a narrower one, so that its contents keep their room.
        const int nMargin = minimumHeight() == maximumHeight() && maximumHeight() < kRoomyHeight
                                ? qBound(2, (maximumHeight() - kToastContent) / 2, kShadowMargin)
                                : kShadowMargin;
        setAttribute(Qt::WA_TranslucentBackground, true);
        m_pOuterLayout->setContentsMargins(nMargin, nMargin, nMargin, nMargin);
        auto* pEffect = new QGraphicsDropShadowEffect(pShadowed);
        pEffect->setBlurRadius(nMargin * 2);
        pEffect->setOffset(0, 0);
        pEffect->setColor(QColor(0, 0, 0, 90));
        pShadowed->setGraphicsEffect(pEffect);
    } else {
        m_pOuterLayout->setContentsMargins(0, 0, 0, 0);
        pShadowed->setGraphicsEffect(nullptr);
    }
}

void CustomMainWindow::cSetTitleVisible(bool bVisible)
{
    m_pTitleBar->setVisible(bVisible);
}

void CustomMainWindow::cSetEnableButtonBar(bool bEnable)
{
    m_pButtonBar->setVisible(bEnable);
}

void CustomMainWindow::cSetWindowLever(int nLevel)
{
    Qt::WindowFlags flags = windowFlags() & ~(Qt::Tool | Qt::WindowStaysOnTopHint);
    flags |= Qt::Window;
    if (nLevel == WL_AboveParent)
        flags |= Qt::Tool;
    else if (nLevel == WL_AlwaysOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    const bool bVisible = isVisible();
    setWindowFlags(flags);
    if (bVisible)
        show();
}

int CustomMainWindow::exec()
{
    if (m_pLoop) {
        qCWarning(lcWindow) << "exec() called on a window that already runs modally";
        return 0;
    }
    const bool bDeleteOnClose = testAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_DeleteOnClose, false);
    const Qt::WindowModality oldModality = windowModality();
    setWindowModality(Qt::ApplicationModal);
    m_nResult = 0;
    // A dialog that was never placed opens centred over the window it belongs to.
    if (!testAttribute(Qt::WA_Moved)) {
        QWidget* pOwner = parentWidget() ? parentWidget()->window() : Custom::mainDialog();
        if (pOwner && pOwner != this && pOwner->isVisible()) {
            adjustSize();
            move(pOwner->frameGeometry().center() - QPoint(width() / 2, height() / 2));
        }
    }
    show();

    QEventLoop loop;
    m_pLoop = &loop;
    QPointer<CustomMainWindow> guard(this);
    QTimer::singleShot(0, this, [this] { Custom::notifyModalShown(this); });
    loop.exec(QEventLoop::DialogExec);
    if (!guard)
        return 0;
    m_pLoop = nullptr;
    setWindowModality(oldModality);
    const int nResult = m_nResult;
    if (bDeleteOnClose)
        deleteLater();
    return nResult;
}

void CustomMainWindow::accept()
{
    done(1);
}

void CustomMainWindow::reject()
{
    done(0);
}

void CustomMainWindow::done(int nResult)
{
    m_nResult = nResult;
    hide();
    emit finished(nResult);
    if (nResult == 1)
        emit accepted();
    else
        emit rejected();
    if (m_pLoop)
        m_pLoop->quit();
}

void CustomMainWindow::closeEvent(QCloseEvent* pEvent)
{
    if (m_pLoop) {
        // Closing a modal run is a rejection; done() hides and ends the loop.
        pEvent->ignore();
        reject();
        return;
    }
    QWidget::closeEvent(pEvent);
}

void CustomMainWindow::hideEvent(QHideEvent* pEvent)
{
    QWidget::hideEvent(pEvent);
    if (m_pLoop && !isVisible())
        m_pLoop->quit();
}

void CustomMainWindow::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    if (!m_bShownOnce) {
        m_bShownOnce = true;
        // Qt parses a widget's sheet once for the widget and all its descendants, and parses it again only
        // when the widget is polished anew. A setter of the frame that came after one of its children was
        // styled (a border set by a subclass, say) would not be drawn: the frame alone is polished again
        // here, before it is first painted.
        m_pFrame->style()->unpolish(m_pFrame);
        m_pFrame->style()->polish(m_pFrame);
    }
}

void CustomMainWindow::keyPressEvent(QKeyEvent* pEvent)
{
    if (m_pLoop && pEvent->key() == Qt::Key_Escape && pEvent->modifiers() == Qt::NoModifier) {
        reject();
        return;
    }
    QWidget::keyPressEvent(pEvent);
}

void CustomMainWindow::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::WindowStateChange)
        m_pTitleBar->UpdateMaximizeButton();
    QWidget::changeEvent(pEvent);
}

void CustomMainWindow::cStyleApplied()
{
    // Children must not paint over the frame's border.
    if (!m_pFrameLayout)
        return; // still being made
    const int nAll = BorderPixels(cStyleValue(QStringLiteral("border-width")));
    auto edge = [&](const char* szName) {
        const int nEdge = BorderPixels(cStyleValue(QStringLiteral("border-%1-width").arg(QLatin1String(szName))));
        return nEdge > 0 ? nEdge : nAll;
    };
    m_pFrameLayout->setContentsMargins(edge("left"), edge("top"), edge("right"), edge("bottom"));
}

int CustomMainWindow::EdgesAt(const QPoint& globalPos) const
{
    if (!m_nStretchEdges || isMaximized() || isFullScreen())
        return 0;
    const QRect rect(m_pFrame->mapToGlobal(QPoint(0, 0)), m_pFrame->size());
    if (!rect.adjusted(-kGripWidth, -kGripWidth, kGripWidth, kGripWidth).contains(globalPos))
        return 0;
    const bool bLeft = globalPos.x() < rect.left() + kGripWidth;
    const bool bRight = globalPos.x() > rect.right() - kGripWidth;
    const bool bTop = globalPos.y() < rect.top() + kGripWidth;
    const bool bBottom = globalPos.y() > rect.bottom() - kGripWidth;
    int nEdge = 0;
    if (bTop && bLeft)
        nEdge = SE_TopLeft;
    else if (bTop && bRight)
        nEdge = SE_TopRight;
    else if (bBottom && bLeft)
        nEdge = SE_BottomLeft;
    else if (bBottom && bRight)
        nEdge = SE_BottomRight;
    else if (bLeft)
        nEdge = SE_Left;
    else if (bRight)
        nEdge = SE_Right;
    else if (bTop)
        nEdge = SE_Top;
    else if (bBottom)
        nEdge = SE_Bottom;
    return nEdge & m_nStretchEdges;
}

void CustomMainWindow::UpdateCursor(int nEdges)
{
    switch (nEdges) {
    case SE_Left:
    case SE_Right: setCursor(Qt::SizeHorCursor); break;
    case SE_Top:
    case SE_Bottom: setCursor(Qt::SizeVerCursor); break;
    case SE_TopLeft:
    case SE_BottomRight: setCursor(Qt::SizeFDiagCursor); break;
    case SE_TopRight:
    case SE_BottomLeft: setCursor(Qt::SizeBDiagCursor); break;
    default: unsetCursor(); break;
    }
}

void CustomMainWindow::ResizeTo(const QPoint& globalPos)
{
    const QPoint delta = globalPos - m_resizeStartPos;
    QRect geometry = m_resizeStartGeometry;
    const Qt::Edges edges = ToQtEdges(m_nResizeEdges);
    const QSize minimum = m_minStretchSize.expandedTo(minimumSize());
    if (edges & Qt::LeftEdge)
        geometry.setLeft(qMin(geometry.left() + delta.x(), geometry.right() - minimum.width() + 1));
    if (edges & Qt::RightEdge)
        geometry.setRight(qMax(geometry.right() + delta.x(), geometry.left() + minimum.width() - 1));
    if (edges & Qt::TopEdge)
        geometry.setTop(qMin(geometry.top() + delta.y(), geometry.bottom() - minimum.height() + 1));
    if (edges & Qt::BottomEdge)
        geometry.setBottom(qMax(geometry.bottom() + delta.y(), geometry.top() + minimum.height() - 1));
    setGeometry(geometry);
}

bool CustomMainWindow::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    switch (pEvent->type()) {
    case QEvent::MouseMove: {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        if (m_nResizeEdges) {
            ResizeTo(pMouse->globalPos());
            return true;
        }
        if (pMouse->buttons() == Qt::NoButton)
            UpdateCursor(EdgesAt(pMouse->globalPos()));
        break;
    }
    case QEvent::MouseButtonPress: {
        auto* pMouse = static_cast<QMouseEvent*>(pEvent);
        const int nEdges = pMouse->button() == Qt::LeftButton ? EdgesAt(pMouse->globalPos()) : 0;
        if (!nEdges)
            break;
        if (windowHandle() && windowHandle()->startSystemResize(ToQtEdges(nEdges)))
            return true;
        m_nResizeEdges = nEdges;
        m_resizeStartGeometry = geometry();
        m_resizeStartPos = pMouse->globalPos();
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (m_nResizeEdges) {
            m_nResizeEdges = 0;
            UpdateCursor(EdgesAt(static_cast<QMouseEvent*>(pEvent)->globalPos()));
            return true;
        }
        break;
    case QEvent::Leave:
        if (pWatched == this && !m_nResizeEdges)
            unsetCursor();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(pWatched, pEvent);
}
