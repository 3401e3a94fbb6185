#pragma once

#include <QList>

namespace Saltire {

struct EventTypeItem;

// Sets bShow on every record of a device's tree for user level 0 ("Recommended") or 1 ("Guru"): an item is
// shown when it and its ancestors pass the level and, above events, at least one child is shown.
void ApplyUserLevel(const QList<EventTypeItem*>& list, int nUserLevel);

// A parent's state over its counted children: 2 when all are on (also for none), 1 for some, 0 for none.
int AggregateState(int nSum, int nCount);

} // namespace Saltire
