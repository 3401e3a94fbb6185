#pragma once

#include "customqsshelper.h"
#include "customtypes.h"
#include "trellis_global.h"

#include <QFont>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

class QWidget;

// Style setters of every styled widget. Each value is kept per item state and sub-control and turned
// into one style-sheet rule for the widget alone; a later setter overrides an earlier one.
class TRELLIS_EXPORT CustomObject : public CustomQssHelper
{
public:
    explicit CustomObject(QWidget* pTarget);
    ~CustomObject() override;

    void cSetFontSize(int nPixelSize, ItemStatus status = IS_Normal, const QStringList& subControls = {});
    void cSetFontColor(const QString& strColor, ItemStatus status = IS_Normal, const QStringList& subControls = {});
    void cSetFontFamily(const QString& strFamily, ItemStatus status = IS_Normal, const QStringList& subControls = {});
    void cSetFont(const QFont& font, ItemStatus status = IS_Normal, const QStringList& subControls = {});
    QFont cFont(ItemStatus status = IS_Normal, const QStringList& subControls = {}) const;
    void cSetBackgroundColor(const QString& strColor, ItemStatus status = IS_Normal,
                             const QStringList& subControls = {});
    void cSetBackgroundImage(const QString& strPath, ItemStatus status = IS_Normal,
                             const QStringList& subControls = {});
    void cSetBorderWidth(int nWidth, BorderEdge edge = BE_All, ItemStatus status = IS_Normal,
                         const QStringList& subControls = {});
    void cSetBorderRadius(int nRadius, BorderCorner corner = BC_All, ItemStatus status = IS_Normal,
                          const QStringList& subControls = {});
    void cSetBorderColor(const QString& strColor, BorderEdge edge = BE_All, ItemStatus status = IS_Normal,
                         const QStringList& subControls = {});
    void cSetBorderImage(const QString& strPath, ItemStatus status = IS_Normal, const QStringList& subControls = {});

    // The value a setter stored, or an empty text; for tests and for widgets that lay out by it.
    QString cStyleValue(const QString& strProperty, ItemStatus status = IS_Normal,
                        const QString& strSubControl = QString()) const;

    // "#RRGGBB" stays; "#AARRGGBB" (alpha first) becomes rgba(); anything else is empty.
    static QString cssColor(const QString& strColor);

protected:
    QString cOwnRules() const override;
    bool cSameOwnRules(const CustomQssHelper* pOther) const override;

private:
    using Declarations = QVector<QPair<QString, QString>>;
    struct Block
    {
        QString strSubControl;
        int nStatus = IS_Normal;
        Declarations declarations;
        bool operator==(const Block& other) const
        {
            return nStatus == other.nStatus && strSubControl == other.strSubControl && declarations == other.declarations;
        }
    };

    void SetProperty(const QString& strProperty, const QString& strValue, ItemStatus status,
                     const QStringList& subControls);
    void ApplyFontProperties(QFont& font, int nStatus, const QString& strSubControl) const;
    const Block* FindBlock(int nStatus, const QString& strSubControl) const;

    QVector<Block> m_blocks;
};
