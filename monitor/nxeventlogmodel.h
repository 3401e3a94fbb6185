#pragma once

#include "eventlogrow.h"

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

// The rows of an event log: time stamp, content, system time. At most 40,000 rows; past that only the
// newest 20,000 are kept.
class NXEventLogModel : public QAbstractTableModel
{
public:
    explicit NXEventLogModel(QObject* parent);
    ~NXEventLogModel() override;

    void appendRows(const QList<EventLogRow>& newRows);
    void clearRows();
    void initHeaders();

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    static constexpr int kMaxRows = 40000;
    static constexpr int kKeptRows = 20000;

private:
    QList<EventLogRow> rows;
    QStringList headers;
};
