#include "aboutdlg.h"

#include "custom.h"
#include "customlabel.h"
#include "customtitlebar.h"
#include "nxinterface.h"

#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QSettings>
#include <QVBoxLayout>

namespace {

const char* const kDefaultVersion = "4.1.0";
const char* const kAppIni = ":/Kestrel/config/app.ini";

QHBoxLayout* Centred(QWidget* pWidget)
{
    auto* pRow = new QHBoxLayout;
    pRow->setContentsMargins(0, 0, 0, 0);
    pRow->addStretch();
    pRow->addWidget(pWidget);
    pRow->addStretch();
    return pRow;
}

} // namespace

AboutDlg::AboutDlg(QWidget* parent)
    : CustomMainWindow(parent)
{
    setObjectName(QStringLiteral("AboutDlg"));
    const bool bEnglish = Custom::language() != Lang_Chinese;
    setFixedSize(bEnglish ? 400 : 340, 400);
    cTitleBar()->setFixedHeight(30);
    cTitleBar()->cSetTitleText(tr("About"));
    cTitleBar()->cSetTitleControls(TC_Close);
    cSetBorderWidth(2, BE_All, IS_Normal);
    cSetBorderColor(QStringLiteral("#F76900"), BE_All, IS_Normal);
    cSetBorderRadius(4, BC_TopLeft, IS_Normal);
    cSetBorderRadius(4, BC_TopRight, IS_Normal);
    cEnableDefualtShadow();

    auto* pCentral = new QWidget(this);
    m_pNameLabel = new CustomLabel(pCentral);
    m_pNameLabel->setObjectName(QStringLiteral("AboutName"));
    QFont font = m_pNameLabel->cFont(IS_Normal);
    font.setPixelSize(23);
    font.setWeight(75);
    font.setFamily(QStringLiteral("Arial"));
    m_pNameLabel->cSetFont(font, IS_Normal);
    m_pNameLabel->cSetFontColor(QStringLiteral("#383B43"), IS_Normal);
    m_pNameLabel->setText(tr("Gantry") + QLatin1Char(' ') + NXInterface::curExeVersion());
    m_pNameLabel->setFixedSize(m_pNameLabel->sizeHint());

    m_pVersionLabel = new CustomLabel(pCentral);
    m_pVersionLabel->setObjectName(QStringLiteral("AboutVersion"));
    m_pVersionLabel->cSetFontSize(16, IS_Normal);
    m_pVersionLabel->cSetFontColor(QStringLiteral("#585B67"), IS_Normal);
    m_pVersionLabel->setText(BuildVersionText());
    m_pVersionLabel->setFixedSize(m_pVersionLabel->sizeHint());
    // Hidden, it keeps its place so that the other lines do not move.
    QSizePolicy keep = m_pVersionLabel->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    m_pVersionLabel->setSizePolicy(keep);
    m_pVersionLabel->setVisible(NXInterface::GetOEMCfgValue(QStringLiteral("ShowAboutVersion"), true).toBool());

    m_pNoticeLabel = new CustomLabel(pCentral);
    m_pNoticeLabel->setObjectName(QStringLiteral("AboutNotice"));
    m_pNoticeLabel->cSetFontSize(10, IS_Normal);
    m_pNoticeLabel->cSetFontColor(QStringLiteral("#798098"), IS_Normal);
    m_pNoticeLabel->setText(NoticeText());

    m_pLogoLabel = new CustomLabel(pCentral);
    m_pLogoLabel->setObjectName(QStringLiteral("AboutLogo"));
    m_pLogoLabel->setFixedSize(69, 69);
    m_pLogoLabel->cSetBorderImage(QStringLiteral(":/Kestrel/logo/Gantry_About.png"), IS_Normal);

    m_pMainLayout = new QVBoxLayout;
    m_pMainLayout->setContentsMargins(0, 0, 0, 0);
    m_pMainLayout->setSpacing(0);
    m_pMainLayout->addSpacing(91);
    m_pMainLayout->addLayout(Centred(m_pLogoLabel));
    m_pMainLayout->addSpacing(30);
    m_pMainLayout->addLayout(Centred(m_pNameLabel));
    m_pMainLayout->addSpacing(12);
    m_pMainLayout->addLayout(Centred(m_pVersionLabel));
    m_pMainLayout->addStretch();
    m_pMainLayout->addSpacing(10);
    m_pMainLayout->addLayout(Centred(m_pNoticeLabel));
    m_pMainLayout->addSpacing(23);
    m_pMainLayout->setAlignment(Qt::AlignVCenter);
    pCentral->setLayout(m_pMainLayout);
    cSetCentralWidget(pCentral);
}

AboutDlg::~AboutDlg()
{
    delete m_pLogoLabel;
    delete m_pNameLabel;
    delete m_pVersionLabel;
    delete m_pNoticeLabel;
    m_pLogoLabel = m_pNameLabel = m_pVersionLabel = m_pNoticeLabel = nullptr;
}

QString AboutDlg::NoticeText() const
{
    const bool bEnglish = Custom::language() != Lang_Chinese;
    return NXInterface::softwareConfigInfor(bEnglish ? QStringLiteral("Copyright_EN") : QStringLiteral("Copyright_CN"))
        .arg(QChar(0x00A9));
}

void AboutDlg::changeEvent(QEvent* pEvent)
{
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::LanguageChange) {
        m_pNoticeLabel->setText(NoticeText());
        cTitleBar()->cSetTitleText(tr("About"));
    }
}

QString AboutDlg::BuildVersionText()
{
    QString strVersion = QString::fromLatin1(kDefaultVersion);
    if (QFile::exists(QString::fromLatin1(kAppIni))) {
        QSettings ini(QString::fromLatin1(kAppIni), QSettings::IniFormat);
        strVersion = ini.value(QStringLiteral("ToolSoftwareVersion"), strVersion).toString();
    }
    QString strDate = BuildDateDigits(QStringLiteral(__DATE__));
    strDate = NXInterface::GetOEMCfgValue(QStringLiteral("SoftwareBuildDate"), strDate).toString();
    strVersion = NXInterface::GetOEMCfgValue(QStringLiteral("ToolSoftwareVersion"), strVersion).toString();
    return QStringLiteral("V%1 build%2").arg(strVersion, strDate);
}

QString AboutDlg::BuildDateDigits(const QString& strDate)
{
    const QStringList parts = strDate.split(QLatin1Char(' '), Qt::KeepEmptyParts);
    if (parts.size() != 3 && parts.size() != 4)
        return QString();
    static const QStringList months{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    QString strMonth = parts.first();
    const int nMonth = months.indexOf(strMonth);
    if (nMonth >= 0)
        strMonth = QStringLiteral("%1").arg(nMonth + 1, 2, 10, QLatin1Char('0'));
    QString strDay = parts.at(parts.size() - 2);
    if (strDay.size() == 1)
        strDay.prepend(QLatin1Char('0'));
    return parts.last() + strMonth + strDay;
}
