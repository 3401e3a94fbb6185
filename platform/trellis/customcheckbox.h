#pragma once

#include "customobject.h"
#include "customtypes.h"
#include "trellis_global.h"

#include <QCheckBox>

// A check box that can show the partial state. The partial state is set from code only: a click on a
// partially checked box checks it, a click on a checked box clears it.
class TRELLIS_EXPORT CustomCheckBox : public QCheckBox, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomCheckBox(QWidget* parent = nullptr, StyleSelector selector = SS_Default);
    ~CustomCheckBox() override;

protected:
    void nextCheckState() override;
};
