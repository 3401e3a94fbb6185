#pragma once

#include "customobject.h"
#include "trellis_global.h"

#include <QMenu>

class TRELLIS_EXPORT CustomMenu : public QMenu, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomMenu(QWidget* parent = nullptr);
    ~CustomMenu() override;
};
