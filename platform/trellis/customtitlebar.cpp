#include "customtitlebar.h"

#include "customlabel.h"
#include "custommenu.h"
#include "custompushbutton.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QStyle>
#include <QWindow>

CustomTitleBar::CustomTitleBar(QWidget* parent)
    : CustomWidget(parent)
{
    setObjectName(QStringLiteral("cTitleBar"));
    cSetStockStyle(QStringLiteral("Trellis_TitleBar"));
    setFixedHeight(36);
    setMouseTracking(true);

    m_pIconLabel = new CustomLabel(this);
    m_pIconLabel->setObjectName(QStringLiteral("cTitleIcon"));
    m_pIconLabel->setFixedSize(24, 24);
    m_pIconLabel->setScaledContents(true);
    m_pIconLabel->hide();
    m_pTitleLabel = new CustomLabel(this);
    m_pTitleLabel->setObjectName(QStringLiteral("cTitleText"));
    m_pTitleLabel->cSetStyleSelector(QStringLiteral("Trellis_TitleText"));

    auto makeControl = [this](const char* szName, const QString& strTip) {
        auto* pButton = new CustomPushButton(this);
        pButton->setObjectName(QString::fromLatin1(szName));
        pButton->cSetStyleSelector(QString::fromLatin1("Trellis_") + QString::fromLatin1(szName));
        pButton->setFixedSize(36, 28);
        pButton->setFocusPolicy(Qt::NoFocus);
        pButton->setToolTip(strTip);
        return pButton;
    };
    m_pBtnMinimize = makeControl("cBtnMinimize", tr("Minimize"));
    m_pBtnMaximize = makeControl("cBtnMaximize", tr("Maximize"));
    m_pBtnClose = makeControl("cBtnClose", tr("Close"));
    connect(m_pBtnMinimize, &QPushButton::clicked, this, &CustomTitleBar::cSigMinimize);
    connect(m_pBtnMaximize, &QPushButton::clicked, this, &CustomTitleBar::cSigToggleMaximize);
    connect(m_pBtnClose, &QPushButton::clicked, this, &CustomTitleBar::cSigClose);

    m_pMenuLayout = new QHBoxLayout;
    m_pMenuLayout->setContentsMargins(12, 0, 0, 0);
    m_pMenuLayout->setSpacing(4);

    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(12, 0, 6, 0);
    pLayout->setSpacing(8);
    pLayout->addWidget(m_pIconLabel);
    pLayout->addWidget(m_pTitleLabel);
    pLayout->addLayout(m_pMenuLayout);
    pLayout->addStretch();
    pLayout->addWidget(m_pBtnMinimize);
    pLayout->addWidget(m_pBtnMaximize);
    pLayout->addWidget(m_pBtnClose);

    cSetTitleControls(TC_All);
}

CustomTitleBar::~CustomTitleBar() = default;

void CustomTitleBar::cSetTitleText(const QString& strText)
{
    m_pTitleLabel->setText(strText);
    if (window())
        window()->setWindowTitle(strText);
}

QString CustomTitleBar::cTitleText() const
{
    return m_pTitleLabel->text();
}

void CustomTitleBar::cSetTitleIcon(const QString& strPath)
{
    const QPixmap pixmap(strPath);
    m_pIconLabel->setPixmap(pixmap);
    m_pIconLabel->setVisible(!pixmap.isNull());
}

void CustomTitleBar::cSetTitleControls(int nControls)
{
    m_nControls = nControls;
    m_pBtnMinimize->setVisible(nControls & TC_Minimize);
    m_pBtnMaximize->setVisible(nControls & TC_Maximize);
    m_pBtnClose->setVisible(nControls & TC_Close);
}

CustomPushButton* CustomTitleBar::cAddMenu(const QString& strText, CustomMenu* pMenu)
{
    auto* pButton = new CustomPushButton(this);
    // A menu button is text on the title bar: its style keeps the bar's background in every state.
    pButton->cSetStyleSelector(QStringLiteral("Trellis_TitleMenuButton"));
    pButton->setText(strText);
    pButton->setFocusPolicy(Qt::NoFocus);
    m_pMenuLayout->addWidget(pButton);
    if (pMenu) {
        connect(pButton, &QPushButton::clicked, pMenu, [pButton, pMenu] {
            pMenu->popup(pButton->mapToGlobal(QPoint(0, pButton->height())));
        });
        // The popup took the mouse: the button saw no leave, so it would keep its hover look.
        connect(pMenu, &QMenu::aboutToHide, pButton, [pButton] {
            pButton->setDown(false);
            if (!pButton->rect().contains(pButton->mapFromGlobal(QCursor::pos()))) {
                pButton->setAttribute(Qt::WA_UnderMouse, false);
                pButton->style()->unpolish(pButton);
                pButton->style()->polish(pButton);
                pButton->update();
            }
        });
    }
    return pButton;
}

void CustomTitleBar::UpdateMaximizeButton()
{
    const bool bMaximized = window()->isMaximized();
    m_pBtnMaximize->setToolTip(bMaximized ? tr("Restore") : tr("Maximize"));
    m_pBtnMaximize->cSetStyleSelector(bMaximized ? QStringLiteral("Trellis_cBtnRestore")
                                                 : QStringLiteral("Trellis_cBtnMaximize"));
}

void CustomTitleBar::mousePressEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() != Qt::LeftButton) {
        CustomWidget::mousePressEvent(pEvent);
        return;
    }
    QWidget* pWindow = window();
    // Let the window manager move the window where it can (Wayland has no other way).
    if (!pWindow->isMaximized() && pWindow->windowHandle() && pWindow->windowHandle()->startSystemMove()) {
        pEvent->accept();
        return;
    }
    m_bDragging = !pWindow->isMaximized();
    m_dragOffset = pEvent->globalPos() - pWindow->frameGeometry().topLeft();
    pEvent->accept();
}

void CustomTitleBar::mouseMoveEvent(QMouseEvent* pEvent)
{
    if (m_bDragging && (pEvent->buttons() & Qt::LeftButton)) {
        window()->move(pEvent->globalPos() - m_dragOffset);
        pEvent->accept();
        return;
    }
    CustomWidget::mouseMoveEvent(pEvent);
}

void CustomTitleBar::mouseReleaseEvent(QMouseEvent* pEvent)
{
    m_bDragging = false;
    CustomWidget::mouseReleaseEvent(pEvent);
}

void CustomTitleBar::mouseDoubleClickEvent(QMouseEvent* pEvent)
{
    if (pEvent->button() == Qt::LeftButton && (m_nControls & TC_Maximize)) {
        m_bDragging = false;
        emit cSigToggleMaximize();
        pEvent->accept();
        return;
    }
    CustomWidget::mouseDoubleClickEvent(pEvent);
}
