#include "nxeventlogmodel.h"

#include <QCoreApplication>
#include <QThreadPool>

#include <iterator>

NXEventLogModel::NXEventLogModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

NXEventLogModel::~NXEventLogModel() = default;

void NXEventLogModel::appendRows(std::vector<EventLogRow>&& newRows)
{
    if (newRows.empty())
        return;
    const int nCount = int(rows.size());
    const int nTotal = nCount + int(newRows.size());
    if (nTotal <= kMaxRows) {
        beginInsertRows(QModelIndex(), nCount, nTotal - 1);
        rows.insert(rows.end(), std::make_move_iterator(newRows.begin()), std::make_move_iterator(newRows.end()));
        endInsertRows();
        return;
    }
    beginResetModel();
    // The newest kKeptRows of old and new rows, moved, not copied.
    std::vector<EventLogRow> kept;
    kept.reserve(kMaxRows);
    const int nFromOld = qMax(0, kKeptRows - int(newRows.size()));
    kept.insert(kept.end(), std::make_move_iterator(rows.end() - nFromOld), std::make_move_iterator(rows.end()));
    const int nFromNew = kKeptRows - nFromOld;
    kept.insert(kept.end(), std::make_move_iterator(newRows.end() - nFromNew), std::make_move_iterator(newRows.end()));
    rows.swap(kept);
    endResetModel();
    // Tens of thousands of dropped rows are freed on a pool thread: a flush must not stall the GUI.
    auto* pDropped = new std::vector<EventLogRow>[2]{std::move(kept), std::move(newRows)};
    QThreadPool::globalInstance()->start([pDropped] { delete[] pDropped; });
}

void NXEventLogModel::clearRows()
{
    beginResetModel();
    std::vector<EventLogRow>().swap(rows);
    endResetModel();
}

void NXEventLogModel::initHeaders()
{
    headers.clear();
    headers << QCoreApplication::translate("NXEventLogWidget", "Event Timestamp(sec)")
            << QCoreApplication::translate("NXEventLogWidget", "Content")
            << QCoreApplication::translate("NXEventLogWidget", "System Time");
    emit headerDataChanged(Qt::Horizontal, 0, headers.size() - 1);
}

int NXEventLogModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int NXEventLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : headers.size();
}

QVariant NXEventLogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(rows.size()))
        return QVariant();
    const EventLogRow& row = rows[size_t(index.row())];
    switch (index.column()) {
    case 0: return row.timestamp;
    case 1: return row.content;
    case 2: return row.systemTime;
    default: return QVariant();
    }
}

QVariant NXEventLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::DisplayRole && orientation == Qt::Horizontal && section >= 0 && section < headers.size())
        return headers.at(section);
    return QVariant();
}

Qt::ItemFlags NXEventLogModel::flags(const QModelIndex& index) const
{
    return QAbstractTableModel::flags(index);
}
