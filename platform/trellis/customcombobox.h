#pragma once

#include "customobject.h"
#include "customtypes.h"
#include "trellis_global.h"

#include <QComboBox>

class TRELLIS_EXPORT CustomComboBox : public QComboBox, public CustomObject
{
    Q_OBJECT
public:
    CustomComboBox(QWidget* parent = nullptr, StyleSelector selector = SS_Default, bool bEditable = false);
    ~CustomComboBox() override;

    void showPopup() override;

private:
    bool m_bListView = false;
};
