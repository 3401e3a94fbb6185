#include "customfolderselectwidget.h"

#include "custompushbutton.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLineEdit>

CustomFolderSelectWidget::CustomFolderSelectWidget(QWidget* parent, const QString& strText)
    : CustomWidget(parent)
{
    cSetStockStyle(QStringLiteral("Trellis_FolderSelect"));
    m_pPathEdit = new QLineEdit(this);
    m_pPathEdit->setObjectName(QStringLiteral("cFolderPath"));
    m_pPathEdit->setReadOnly(true);
    m_pPathEdit->setFrame(false);
    m_pBtnSearch = new CustomPushButton(this);
    m_pBtnSearch->setObjectName(QStringLiteral("cFolderSearch"));
    m_pBtnSearch->cSetStyleSelector(QStringLiteral("Trellis_FolderSearchButton"));
    m_pBtnSearch->setFixedWidth(32);
    m_pBtnSearch->setText(QStringLiteral("..."));
    m_pBtnSearch->setToolTip(tr("Browse"));
    connect(m_pBtnSearch, &QPushButton::clicked, this, &CustomFolderSelectWidget::cSigSearchClicked);

    auto* pLayout = new QHBoxLayout(this);
    pLayout->setContentsMargins(1, 1, 1, 1);
    pLayout->setSpacing(0);
    pLayout->addWidget(m_pPathEdit, 1);
    pLayout->addWidget(m_pBtnSearch);
    cSetText(strText);
}

CustomFolderSelectWidget::~CustomFolderSelectWidget() = default;

void CustomFolderSelectWidget::cSetText(const QString& strText)
{
    m_pPathEdit->setText(strText);
    m_pPathEdit->setToolTip(strText);
    m_pPathEdit->setCursorPosition(0);
}

QString CustomFolderSelectWidget::cText() const
{
    return m_pPathEdit->text();
}

void CustomFolderSelectWidget::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::EnabledChange)
        m_pBtnSearch->setEnabled(isEnabled());
    CustomWidget::changeEvent(pEvent);
}
