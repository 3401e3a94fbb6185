#pragma once

#include "customobject.h"
#include "trellis_global.h"

#include <QLabel>

class TRELLIS_EXPORT CustomLabel : public QLabel, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomLabel(QWidget* parent = nullptr);
    ~CustomLabel() override;
};
