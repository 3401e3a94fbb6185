#pragma once

#include "customobject.h"
#include "trellis_global.h"

#include <QWidget>

class TRELLIS_EXPORT CustomWidget : public QWidget, public CustomObject
{
    Q_OBJECT
public:
    explicit CustomWidget(QWidget* parent = nullptr);
    ~CustomWidget() override;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
};
