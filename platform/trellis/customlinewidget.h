#pragma once

#include "customtypes.h"
#include "customwidget.h"
#include "trellis_global.h"

// A separator line. Its colour is its background colour, its thickness its fixed height or width.
class TRELLIS_EXPORT CustomLineWidget : public CustomWidget
{
    Q_OBJECT
public:
    explicit CustomLineWidget(QWidget* parent = nullptr);
    ~CustomLineWidget() override;

    void cSetLineType(LineType type);
    LineType cLineType() const { return m_lineType; }

    QSize sizeHint() const override;

private:
    LineType m_lineType = LT_Horizontal;
};
