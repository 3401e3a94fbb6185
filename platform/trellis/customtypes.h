#pragma once

#include <QtGlobal>

// Values shared by every styled widget. The numbers are part of the library's interface: callers pass
// them as plain ints, so they never change.

enum ItemStatus {
    IS_Normal = 0,
    IS_Hover = 1,
    IS_Pressed = 2,
    IS_Checked = 3,
    IS_Disabled = 4,
    IS_Indeterminate = 5,
    IS_Focus = 6,
    IS_Selected = 7,
    IS_Unchecked = 8,
};

enum BorderEdge {
    BE_Left = 0,
    BE_Top = 1,
    BE_All = 2,
    BE_Right = 3,
    BE_Bottom = 4,
};

enum BorderCorner {
    BC_TopLeft = 0,
    BC_TopRight = 1,
    BC_BottomLeft = 2,
    BC_BottomRight = 3,
    BC_All = 4,
};

// Picks one of the library's stock looks of a widget class (see Trellis_Default.xml).
enum StyleSelector {
    SS_Default = 0,
    SS_Second = 1,
    SS_Third = 2,
};

enum LineType {
    LT_Vertical = 0,
    LT_Horizontal = 1,
};

enum TitleControl {
    TC_Minimize = 1,
    TC_Maximize = 2,
    TC_Close = 4,
    TC_All = TC_Minimize | TC_Maximize | TC_Close,
};

enum StretchEdge {
    SE_Left = 1,
    SE_Top = 2,
    SE_Right = 4,
    SE_Bottom = 8,
    SE_TopLeft = 16,
    SE_TopRight = 32,
    SE_BottomLeft = 64,
    SE_BottomRight = 128,
    SE_All = 255,
};

enum MessageButton {
    MB_Ok = 1,
    MB_Cancel = 2,
};

enum StyleSheetType {
    SST_Menu = 0,
    SST_ToolTip = 1,
    SST_LineEdit = 2,
    SST_ComboBox = 3,
    SST_CheckBox = 4,
    SST_PushButton = 5,
    SST_ListWidget = 6,
    SST_TableView = 7,
    SST_VerticalScrollBar = 8,
    SST_ScrollArea = 9,
};

enum Language {
    Lang_Chinese = 0,
    Lang_English = 1,
};

// Level of a window relative to the others.
enum WindowLevel {
    WL_Normal = 0,
    WL_AboveParent = 1,
    WL_AlwaysOnTop = 2,
};
