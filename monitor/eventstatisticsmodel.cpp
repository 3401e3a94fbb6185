#include "eventstatisticsmodel.h"

#include "eventstattext.h"

EventStatisticsModel::EventStatisticsModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

void EventStatisticsModel::setSnapshot(const EventStatisticsSnapshot& snapshot)
{
    // New kinds only ever come at the end; anything else (a cleared log) is a new table.
    bool bSameKinds = snapshot.rows.size() >= m_snapshot.rows.size();
    for (int i = 0; bSameKinds && i < m_snapshot.rows.size(); ++i)
        bSameKinds = snapshot.rows[i].nId == m_snapshot.rows[i].nId
                     && snapshot.rows[i].strName == m_snapshot.rows[i].strName;
    if (!bSameKinds) {
        beginResetModel();
        m_snapshot = snapshot;
        endResetModel();
        return;
    }
    const int nOld = m_snapshot.rows.size();
    const int nNew = snapshot.rows.size();
    if (nNew > nOld)
        beginInsertRows(QModelIndex(), nOld, nNew - 1);
    m_snapshot = snapshot;
    if (nNew > nOld)
        endInsertRows();
    if (nOld > 0)
        emit dataChanged(index(0, 0), index(nOld - 1, EventStatText::ColumnCount - 1), {Qt::DisplayRole, SortRole});
}

int EventStatisticsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_snapshot.rows.size();
}

int EventStatisticsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(EventStatText::ColumnCount);
}

QVariant EventStatisticsModel::data(const QModelIndex& index, int nRole) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return QVariant();
    const EventStatRow& row = m_snapshot.rows.at(index.row());
    switch (nRole) {
    case Qt::DisplayRole: return EventStatText::Cell(row, index.column());
    case SortRole: return EventStatText::SortKey(row, index.column());
    case Qt::TextAlignmentRole:
        return int(Qt::AlignVCenter | (EventStatText::IsNumeric(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::ToolTipRole:
        if (index.column() == EventStatText::ColName)
            return EventStatText::Title(row);
        if (index.column() == EventStatText::ColSuspectedMissed && row.nIntervals)
            return tr("Intervals longer than 1.5 times the median interval (%1 ms), counted as the periods they "
                      "span less one")
                .arg(row.dMedianInterval * 1000.0, 0, 'f', 3);
        if (index.column() == EventStatText::ColMinInterval && row.nBackwards)
            return tr("The time stamp went backwards %1 times; those steps are not intervals").arg(row.nBackwards);
        return QVariant();
    default: return QVariant();
    }
}

QVariant EventStatisticsModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation == Qt::Horizontal && nRole == Qt::DisplayRole) // a word a line: narrow columns
        return EventStatText::Header(nSection).replace(QLatin1Char(' '), QLatin1Char('\n'));
    return QAbstractTableModel::headerData(nSection, orientation, nRole);
}

void EventStatisticsModel::retranslate()
{
    emit headerDataChanged(Qt::Horizontal, 0, EventStatText::ColumnCount - 1);
}
