#pragma once

#include "customobject.h"
#include "customtypes.h"
#include "trellis_global.h"

#include <QPushButton>

class TRELLIS_EXPORT CustomPushButton : public QPushButton, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomPushButton(QWidget* parent = nullptr, StyleSelector selector = SS_Default);
    ~CustomPushButton() override;
};
