#include "customloadingdialog.h"

#include "custom.h"
#include "customlabel.h"

#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QStyleOption>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kDots = 12;
constexpr int kSpinnerTop = 22;
constexpr int kSpinnerSize = 40;

QHash<int, QPointer<CustomLoadingDialog>>& Indicators()
{
    static QHash<int, QPointer<CustomLoadingDialog>> indicators;
    return indicators;
}
} // namespace

CustomLoadingDialog::CustomLoadingDialog(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("cLoadingDialog"));
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(220, 120);

    m_pTextLabel = new CustomLabel(this);
    m_pTextLabel->setObjectName(QStringLiteral("cLoadingText"));
    m_pTextLabel->setAlignment(Qt::AlignCenter);
    m_pTextLabel->setWordWrap(true);
    m_pTextLabel->cSetStyleSelector(QStringLiteral("Trellis_LoadingText"));

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(12, kSpinnerTop + kSpinnerSize + 8, 12, 12);
    pLayout->addWidget(m_pTextLabel);

    m_pTimer = new QTimer(this);
    m_pTimer->setInterval(80);
    connect(m_pTimer, &QTimer::timeout, this, [this] {
        m_nStep = (m_nStep + 1) % kDots;
        update();
    });
    setStyleSheet(QStringLiteral("#cLoadingDialog{background-color:#FFFFFF;border:1px solid #D8D8D8;"
                                 "border-radius:6px;}"));
}

CustomLoadingDialog::~CustomLoadingDialog() = default;

CustomLoadingDialog* CustomLoadingDialog::indicator(int nId)
{
    return Indicators().value(nId).data();
}

void CustomLoadingDialog::showLoading(const QString& strText, int nId)
{
    QPointer<CustomLoadingDialog>& pIndicator = Indicators()[nId];
    QWidget* pMain = Custom::mainDialog();
    if (pIndicator && pIndicator->parentWidget() != pMain) {
        pIndicator->deleteLater();
        pIndicator = nullptr;
    }
    if (!pIndicator)
        pIndicator = new CustomLoadingDialog(pMain);
    pIndicator->m_pTextLabel->setText(strText);
    pIndicator->CenterOverMainDialog();
    pIndicator->show();
    pIndicator->raise();
    Custom::notifyModalShown(pIndicator); // lets tests see every busy phase, however short
}

void CustomLoadingDialog::hideLoading(int nId)
{
    if (CustomLoadingDialog* pIndicator = indicator(nId))
        pIndicator->hide();
}

bool CustomLoadingDialog::isLoading(int nId)
{
    const CustomLoadingDialog* pIndicator = indicator(nId);
    return pIndicator && pIndicator->isVisible();
}

QString CustomLoadingDialog::loadingText(int nId)
{
    const CustomLoadingDialog* pIndicator = indicator(nId);
    return pIndicator ? pIndicator->m_pTextLabel->text() : QString();
}

void CustomLoadingDialog::CenterOverMainDialog()
{
    QRect area;
    if (QWidget* pMain = parentWidget())
        area = pMain->frameGeometry();
    else if (QScreen* pScreen = QGuiApplication::primaryScreen())
        area = pScreen->availableGeometry();
    move(area.center() - rect().center());
}

void CustomLoadingDialog::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    m_pTimer->start();
}

void CustomLoadingDialog::hideEvent(QHideEvent* pEvent)
{
    m_pTimer->stop();
    QWidget::hideEvent(pEvent);
}

void CustomLoadingDialog::keyPressEvent(QKeyEvent* pEvent)
{
    // The indicator ends when the work ends, never by a key.
    pEvent->accept();
}

void CustomLoadingDialog::paintEvent(QPaintEvent* pEvent)
{
    Q_UNUSED(pEvent)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, kSpinnerTop + kSpinnerSize / 2.0);
    for (int i = 0; i < kDots; ++i) {
        const int nAge = (m_nStep - i + kDots) % kDots;
        QColor color(0xF7, 0x69, 0x00);
        color.setAlphaF(1.0 - nAge / double(kDots));
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.save();
        painter.rotate(i * 360.0 / kDots);
        painter.drawEllipse(QPointF(0, -kSpinnerSize / 2.0 + 4), 3.5, 3.5);
        painter.restore();
    }
}
