#pragma once
// What every event page shares: the check-box factory, the separator and the grid geometry.

#include <QString>

class CustomCheckBox;
class CustomLineWidget;
class QWidget;

// Event check boxes per grid row and their fixed width, shared by the pages of all devices.
extern int g_nColumnCount;
extern int g_nEventCheckBoxWidth;

// Every check box of the pages: bold, dark, 24 px high, with "name : value" as its tool tip.
CustomCheckBox* CreateCheckBox(const QString& strName, int nValue, QWidget* parent);

// The line between two groups.
CustomLineWidget* CreateSeparator(QWidget* parent);

// True when the interface language is Chinese.
bool IsChineseLanguage();
