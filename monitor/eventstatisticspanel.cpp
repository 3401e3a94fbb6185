#include "eventstatisticspanel.h"

#include "custom.h"
#include "customlabel.h"
#include "custommainwindow.h"
#include "custommessagebox.h"
#include "custompushbutton.h"
#include "customsavedonehintdlg.h"
#include "eventstatistics.h"
#include "eventstatisticsmodel.h"
#include "eventstattext.h"
#include "nxinterface.h"
#include "ratechart.h"

#include <QDateTime>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QSaveFile>
#include <QScreen>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kPanelHeight = 440;
constexpr int kMinPanelHeight = 300; // on a small screen the chart gives way first, then the log
constexpr int kMinLogHeight = 120;
constexpr int kFontPixels = 11;
constexpr qint64 kChartRefreshMs = 1000;
// The sort arrow lies in the titles' right padding, beside the text, never over it.
constexpr int kSortArrowWidth = 8;
constexpr int kTitlePaddingRight = kSortArrowWidth + 4;
constexpr int kTitlePaddingLeft = 6; // the log's header style

} // namespace

EventStatisticsPanel::EventStatisticsPanel(EventStatistics* pStatistics, CInterface* pInterface, QWidget* pWindow)
    : QWidget(pWindow)
    , m_pStatistics(pStatistics)
    , m_pWindow(pWindow)
{
    setObjectName(QStringLiteral("EventStatisticsPanel"));
    m_statusSource = [pInterface](NXADeviceStatus& status) {
        return pInterface && NXAGetDeviceStatus(pInterface, &status) == 0;
    };

    m_pBtnStatistics = new CustomPushButton(pWindow, SS_Second);
    m_pBtnStatistics->setObjectName(QStringLiteral("BtnStatistics"));
    m_pBtnStatistics->cSetFontColor(QStringLiteral("DB_COLOR_Custom_Font_LittleBlack"), IS_Normal);
    m_pBtnStatistics->cSetFontSize(14, IS_Normal);
    m_pBtnStatistics->setFixedSize(90, 26);
    m_pBtnStatistics->setCheckable(true);

    m_pLblLost = new CustomLabel(this);
    m_pLblLost->setObjectName(QStringLiteral("LostEventsLine"));
    m_pLblLost->cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
    m_pLblLost->cSetFontSize(13, IS_Normal);
    m_pLblLost->hide();

    m_pModel = new EventStatisticsModel(this);
    m_pProxy = new QSortFilterProxyModel(this);
    m_pProxy->setSourceModel(m_pModel);
    m_pProxy->setSortRole(EventStatisticsModel::SortRole);
    m_pTable = new QTableView(this);
    m_pTable->setObjectName(QStringLiteral("EventStatisticsTable"));
    m_pTable->setModel(m_pProxy);
    m_pTable->setSortingEnabled(true);
    m_pTable->sortByColumn(EventStatText::ColName, Qt::AscendingOrder);
    // The log's looks, a size smaller: all columns share the window's width.
    m_pTable->setStyleSheet(Custom::readFileContent(QStringLiteral(":/Kestrel/QSS/CustomTableView_ks.qss"))
                            + QStringLiteral("QTableView { font-size: %1px; }").arg(kFontPixels));
    QHeaderView* pHeader = m_pTable->horizontalHeader();
    // Titles a word a line, so that all columns fit the window's width.
    pHeader->setStyleSheet(Custom::readFileContent(QStringLiteral(":/Kestrel/QSS/HorHeaderView_ks.qss"))
                           + QStringLiteral("QHeaderView::section:horizontal { height: 48px; padding-right: %2px; font-size: %1px; }"
                                            "QHeaderView::up-arrow, QHeaderView::down-arrow { subcontrol-origin: padding;"
                                            " subcontrol-position: center right; width: %3px; }")
                                 .arg(kFontPixels).arg(kTitlePaddingRight).arg(kSortArrowWidth));
    pHeader->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    pHeader->setHighlightSections(false);
    pHeader->setSectionResizeMode(QHeaderView::Fixed);
    pHeader->setSectionResizeMode(EventStatText::ColName, QHeaderView::Stretch);
    m_pTable->verticalHeader()->setDefaultSectionSize(26);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pTable->verticalHeader()->hide();
    m_pTable->setFrameStyle(0);
    m_pTable->setFixedHeight(180);

    m_pBtnExport = new CustomPushButton(this, SS_Second);
    m_pBtnExport->setObjectName(QStringLiteral("BtnExportStatistics"));
    m_pBtnExport->cSetFontColor(QStringLiteral("DB_COLOR_Custom_Font_LittleBlack"), IS_Normal);
    m_pBtnExport->cSetFontSize(14, IS_Normal);
    m_pBtnExport->setFixedHeight(26);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(0, 10, 0, 0);
    pLayout->setSpacing(6);
    pLayout->addWidget(m_pLblLost);
    pLayout->addWidget(m_pTable);
    auto* pRow = new QHBoxLayout;
    pRow->setContentsMargins(0, 0, 0, 0);
    pRow->addStretch();
    pRow->addWidget(m_pBtnExport);
    pLayout->addLayout(pRow);

    m_pMedianTimer = new QTimer(this);
    m_pMedianTimer->setSingleShot(true);
    connect(m_pMedianTimer, &QTimer::timeout, this, &EventStatisticsPanel::Refresh);

    Retranslate();
    hide();
    connect(m_pBtnStatistics, &CustomPushButton::clicked, this, &EventStatisticsPanel::OnToggle);
    connect(m_pBtnExport, &CustomPushButton::clicked, this, &EventStatisticsPanel::OnExport);
}

void EventStatisticsPanel::SetStatusSource(StatusSource source)
{
    m_statusSource = std::move(source);
}

// Open, the window fits the screen's available area and the user may resize it (the panel takes what the
// user adds); closed, it is the fixed window it was, log included.
void EventStatisticsPanel::OnToggle()
{
    const bool bOpen = isHidden();
    m_pBtnStatistics->setChecked(bOpen);
    auto* pMain = qobject_cast<CustomMainWindow*>(m_pWindow);
    QWidget* pLog = m_pWindow->findChild<QWidget*>(QStringLiteral("EventMonitorLog"));
    if (!bOpen) {
        hide();
        if (pLog)
            pLog->setFixedHeight(m_nLogHeight);
        if (pMain)
            pMain->cSetStrechEdges(m_nClosedEdges);
        m_pWindow->setFixedSize(m_closedSize);
        return;
    }
    MakeChart();
    m_closedSize = m_pWindow->size();
    m_nLogHeight = pLog ? pLog->height() : 0;
    // The closed window is a little short of what its layout asks for; the open one gets it all.
    int nShort = 0;
    if (QWidget* pHolder = parentWidget()) {
        nShort = qMax(0, pHolder->minimumSizeHint().height() - pHolder->height());
        if (auto* pBox = qobject_cast<QBoxLayout*>(pHolder->layout()))
            pBox->setStretchFactor(this, 1);
    }
    const int nBase = m_closedSize.height() + nShort;
    const int nPanelMin = qMax(kMinPanelHeight, minimumSizeHint().height());
    QRect available(m_pWindow->pos(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    if (QScreen* pScreen = m_pWindow->screen())
        available = pScreen->availableGeometry();
    const int nHeight = qMin(nBase + kPanelHeight, available.height());
    // On a low screen the log gives up rows (never all of them) so that the panel keeps its least height.
    const int nGiveUp = pLog ? qBound(0, nBase + nPanelMin - nHeight, m_nLogHeight - kMinLogHeight) : 0;
    if (pLog)
        pLog->setFixedHeight(m_nLogHeight - nGiveUp);
    setMinimumHeight(nPanelMin);
    show();
    m_pWindow->setMinimumSize(m_closedSize.width(), qMin(nHeight, nBase - nGiveUp + nPanelMin));
    m_pWindow->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_pWindow->resize(m_closedSize.width(), nHeight);
    const QRect placed = m_pWindow->geometry();
    if (placed.bottom() > available.bottom() || placed.top() < available.top())
        m_pWindow->move(placed.x(), qMax(available.top(), available.bottom() + 1 - placed.height()));
    if (pMain) {
        m_nClosedEdges = pMain->cStrechEdges();
        pMain->cSetStrechEdges(SE_All);
    }
    Update(true);
}

quint64 EventStatisticsPanel::LostSinceReset()
{
    NXADeviceStatus status{};
    if (!m_statusSource || !m_statusSource(status))
        return 0;
    // A device opened anew counts from 0 again.
    if (status.nLost < m_nLostBase)
        m_nLostBase = 0;
    return status.nLost - m_nLostBase;
}

void EventStatisticsPanel::Refresh()
{
    Update(false);
}

// bNow: everything as it is now (on opening, after a reset, before an export). Otherwise the parts that cost
// with hundreds of kinds come at most once a second, and apart when refreshes come often: the chart (its
// points are a second apart) and the medians behind the suspected misses. Medians left stale are made
// fresh within the second even when no refresh follows (logging stopped).
void EventStatisticsPanel::Update(bool bNow)
{
    if (!isVisible())
        return;
    bool bChart = m_pChart && (bNow || !m_chartClock.isValid() || m_chartClock.elapsed() >= kChartRefreshMs);
    const bool bMedians = bNow || !m_medianClock.isValid()
                          || m_medianClock.elapsed() >= (bChart ? 2 : 1) * kChartRefreshMs;
    using Medians = EventStatistics::Medians;
    const Medians medians = bMedians ? Medians::Fresh : Medians::Last;
    EventStatisticsSnapshot snapshot = m_pStatistics->Snapshot(bChart, medians);
    if (m_pChart && !bChart && snapshot.rows.size() != m_pChart->lineCount()) { // kinds came or went (a cleared log)
        bChart = true;
        snapshot = m_pStatistics->Snapshot(true, medians);
    }
    if (bMedians) {
        m_medianClock.start();
        m_pMedianTimer->stop();
    } else if (!m_pMedianTimer->isActive()) {
        m_pMedianTimer->start(int(qMax<qint64>(0, kChartRefreshMs - m_medianClock.elapsed())));
    }
    m_pModel->setSnapshot(snapshot);
    if (bChart) {
        m_pChart->setSnapshot(snapshot);
        m_chartClock.start();
    }
    const quint64 nLost = LostSinceReset();
    if (nLost != m_nLost || snapshot.nUntracked != m_nUntracked) {
        m_nLost = nLost;
        m_nUntracked = snapshot.nUntracked;
        Retranslate();
    }
}

void EventStatisticsPanel::Reset()
{
    NXADeviceStatus status{};
    m_nLostBase = m_statusSource && m_statusSource(status) ? status.nLost : 0;
    m_nLost = 0;
    m_nUntracked = 0;
    Retranslate();
    Update(true);
}

void EventStatisticsPanel::OnExport()
{
    Update(true); // what is written is what the table shows
    const QString strProposed =
        QStringLiteral("EventStatistics_%1.csv").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmss")));
    // Where the tool keeps its files, as the event configuration's export proposes.
    const QString strPath = Custom::getSaveFileName(m_pWindow, tr("Export Statistics"),
                                                    NXInterface::userDataPath() + QStringLiteral("/Data/Saltire"),
                                                    strProposed, tr("CSV File") + QStringLiteral("(*.csv)"), QStringLiteral("csv"));
    if (strPath.isEmpty())
        return;
    const QByteArray csv = EventStatText::Csv(m_pModel->snapshot());
    // Written beside and moved into place: an existing file is never left half written.
    QSaveFile file(strPath);
    if (file.open(QIODevice::WriteOnly) && file.write(csv) == csv.size() && file.commit()) {
        auto* pDone = new CustomSaveDoneHintDlg(nullptr, QString(), QString());
        pDone->SetMsgText(tr("File exported."), strPath, false, 2000);
        pDone->exec();
        pDone->deleteLater();
        return;
    }
    const QString strError = file.errorString();
    qWarning("The event statistics could not be written to %s: %s", qUtf8Printable(strPath), qUtf8Printable(strError));
    CustomMessageBox::ask(m_pWindow, tr("The statistics could not be written to %1: %2").arg(strPath, strError),
                          tr("Prompt"), MB_Ok);
}

void EventStatisticsPanel::Retranslate()
{
    m_pBtnStatistics->setText(tr("Statistics"));
    m_pBtnExport->setText(tr("Export statistics..."));
    QFont buttonFont = m_pBtnExport->font();
    buttonFont.setPixelSize(14); // the size its style gives it
    m_pBtnExport->setFixedWidth(QFontMetrics(buttonFont).horizontalAdvance(m_pBtnExport->text()) + 32);
    m_pModel->retranslate();
    FitColumns();
    QStringList lines;
    if (m_nLost)
        lines << tr("Lost on the way from the camera, as its producer reports: %1 event packets").arg(m_nLost);
    if (m_nUntracked)
        lines << tr("%1 events of more than %2 kinds are not in the table").arg(m_nUntracked).arg(EventStatistics::kMaxKinds);
    m_pLblLost->setText(lines.join(QStringLiteral("   ")));
    m_pLblLost->setVisible(!lines.isEmpty());
    if (m_pLblNoChart)
        m_pLblNoChart->setText(tr("The chart cannot be shown: %1").arg(m_strChartError));
}

// Last in the panel, taking the room the window has.
void EventStatisticsPanel::MakeChart()
{
    if (m_pChart || m_pLblNoChart)
        return;
    m_pChart = RateChart::create(this, &m_strChartError);
    QWidget* pWidget = m_pChart ? m_pChart->widget() : nullptr;
    if (pWidget) {
        // A plot asks for its size hint at least otherwise.
        pWidget->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        pWidget->setMinimumHeight(60);
    } else {
        qWarning("The rate chart cannot be shown: %s", qPrintable(m_strChartError));
        m_pLblNoChart = new CustomLabel(this);
        m_pLblNoChart->setObjectName(QStringLiteral("NoChartLine"));
        m_pLblNoChart->cSetFontColor(QStringLiteral("#FC0808"), IS_Normal);
        m_pLblNoChart->cSetFontSize(13, IS_Normal);
        m_pLblNoChart->setWordWrap(true);
        m_pLblNoChart->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        pWidget = m_pLblNoChart;
        Retranslate();
    }
    static_cast<QBoxLayout*>(layout())->addWidget(pWidget, 1);
}

// Each column as wide as its title's longer line or its widest likely value, in the table's fonts.
void EventStatisticsPanel::FitColumns()
{
    using namespace EventStatText;
    QFont cellFont = m_pTable->font();
    cellFont.setPixelSize(kFontPixels);
    QFont titleFont = cellFont;
    titleFont.setBold(true);
    const QFontMetrics cells(cellFont), titles(titleFont);
    const QString strSamples[ColumnCount] = {QString(), QStringLiteral("0000000"),
                                             QStringLiteral("000000"), QStringLiteral("000000.00"),
                                             QStringLiteral("00000.000"), QStringLiteral("00000.000"),
                                             QStringLiteral("00000.000"), QStringLiteral("0000.00000000"),
                                             QStringLiteral("000000")};
    for (int c = ColCount; c < ColumnCount; ++c) {
        int nWidth = cells.horizontalAdvance(strSamples[c]);
        for (const QString& strLine : m_pModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().split('\n'))
            nWidth = qMax(nWidth, titles.horizontalAdvance(strLine));
        m_pTable->horizontalHeader()->resizeSection(c, nWidth + kTitlePaddingLeft + kTitlePaddingRight + 2); // and grid line
    }
}

void EventStatisticsPanel::changeEvent(QEvent* pEvent)
{
    if (pEvent->type() == QEvent::LanguageChange)
        Retranslate();
    QWidget::changeEvent(pEvent);
}
