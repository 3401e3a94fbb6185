#pragma once

#include "customobject.h"
#include "trellis_global.h"

#include <QListWidget>

class TRELLIS_EXPORT CustomListWidget : public QListWidget, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomListWidget(QWidget* parent = nullptr);
    ~CustomListWidget() override;
};
