#pragma once

class QWidget;

// After an apply, the boxes of the events the device refused are marked (red text) with the reason in
// their tooltip, until the next apply that the device takes; the other boxes look as usual. Works on the
// boxes a page shows now: call again after the user level made new ones.
namespace RefusedWriteMarks {

void Update(QWidget* pPage);

} // namespace RefusedWriteMarks
