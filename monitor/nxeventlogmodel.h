#pragma once

#include "eventlogrow.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// The rows of an event log: time stamp, content, system time. At most 40,000 rows; past that only the
// newest 20,000 are kept.
class NXEventLogModel : public QAbstractTableModel
{
public:
    explicit NXEventLogModel(QObject* parent);
    ~NXEventLogModel() override;

    // Takes the rows over; one insertion, or past the cap one reset that keeps the newest rows.
    void appendRows(std::vector<EventLogRow>&& newRows);
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
    std::vector<EventLogRow> rows;
    QStringList headers;
};
