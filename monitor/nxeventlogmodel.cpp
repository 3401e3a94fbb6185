#include "nxeventlogmodel.h"

#include <QCoreApplication>

NXEventLogModel::NXEventLogModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

NXEventLogModel::~NXEventLogModel() = default;

void NXEventLogModel::appendRows(const QList<EventLogRow>& newRows)
{
    if (newRows.isEmpty())
        return;
    const int nCount = rows.size();
    const int nTotal = nCount + newRows.size();
    if (nTotal <= kMaxRows) {
        beginInsertRows(QModelIndex(), nCount, nTotal - 1);
        rows.append(newRows);
        endInsertRows();
        return;
    }
    beginResetModel();
    rows.append(newRows);
    rows.erase(rows.begin(), rows.begin() + (nTotal - kKeptRows));
    endResetModel();
}

void NXEventLogModel::clearRows()
{
    beginResetModel();
    rows.clear();
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
    return parent.isValid() ? 0 : rows.size();
}

int NXEventLogModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : headers.size();
}

QVariant NXEventLogModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows.size())
        return QVariant();
    const EventLogRow& row = rows.at(index.row());
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
