#pragma once

#include "eventstatrow.h"

#include <QAbstractTableModel>

// The rows of the statistics table: one per kind of event, replaced by each refresh. Rows keep their
// place while the same kinds come in, so a sorted view and a selection survive refreshes.
class EventStatisticsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The role a sorting proxy sorts by: numbers for the numeric columns.
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit EventStatisticsModel(QObject* parent = nullptr);

    void setSnapshot(const EventStatisticsSnapshot& snapshot);
    const EventStatisticsSnapshot& snapshot() const { return m_snapshot; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override;

    // Column titles follow the language.
    void retranslate();

private:
    EventStatisticsSnapshot m_snapshot;
};
