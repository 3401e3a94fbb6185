#include "customobject.h"

#include "customstyleregistry.h"

#include <QColor>
#include <QLoggingCategory>
#include <QWidget>

namespace {
Q_LOGGING_CATEGORY(lcObject, "trellis.style")

QString EdgeName(BorderEdge edge)
{
    switch (edge) {
    case BE_Left: return QStringLiteral("left");
    case BE_Top: return QStringLiteral("top");
    case BE_Right: return QStringLiteral("right");
    case BE_Bottom: return QStringLiteral("bottom");
    case BE_All: break;
    }
    return QString();
}

QString CornerName(BorderCorner corner)
{
    switch (corner) {
    case BC_TopLeft: return QStringLiteral("top-left");
    case BC_TopRight: return QStringLiteral("top-right");
    case BC_BottomLeft: return QStringLiteral("bottom-left");
    case BC_BottomRight: return QStringLiteral("bottom-right");
    case BC_All: break;
    }
    return QString();
}

QString BorderProperty(BorderEdge edge, const char* szWhat)
{
    const QString strEdge = EdgeName(edge);
    return strEdge.isEmpty() ? QStringLiteral("border-%1").arg(QLatin1String(szWhat))
                             : QStringLiteral("border-%1-%2").arg(strEdge, QLatin1String(szWhat));
}

// Qt's style-sheet parser divides a numeric font-weight by 8; this keeps QFont weights exact.
QString CssWeight(int nWeight)
{
    return QString::number(nWeight * 8);
}

QString CssUrl(const QString& strPath)
{
    QString strEscaped = strPath;
    strEscaped.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QStringLiteral("url(\"%1\")").arg(strEscaped);
}
} // namespace

CustomObject::CustomObject(QWidget* pTarget)
    : CustomQssHelper(pTarget)
{
}

CustomObject::~CustomObject() = default;

QString CustomObject::cssColor(const QString& strColor)
{
    const QString strTrimmed = strColor.trimmed();
    if (!strTrimmed.isEmpty() && !strTrimmed.startsWith(QLatin1Char('#'))) {
        const QString strNamed = CustomStyleRegistry::instance().namedColor(strTrimmed);
        return strNamed.startsWith(QLatin1Char('#')) ? cssColor(strNamed) : QString();
    }
    if (!strTrimmed.startsWith(QLatin1Char('#')) || !QColor::isValidColor(strTrimmed))
        return QString();
    if (strTrimmed.size() == 9) {
        const QColor color(strTrimmed);
        return QStringLiteral("rgba(%1,%2,%3,%4)").arg(color.red()).arg(color.green()).arg(color.blue()).arg(color.alpha());
    }
    if (strTrimmed.size() == 7)
        return strTrimmed.toUpper();
    return QString();
}

void CustomObject::SetProperty(const QString& strProperty, const QString& strValue, ItemStatus status,
                               const QStringList& subControls)
{
    const QStringList subs = subControls.isEmpty() ? QStringList{QString()} : subControls;
    for (const QString& strSub : subs) {
        Block* pBlock = nullptr;
        for (Block& block : m_blocks) {
            if (block.nStatus == status && block.strSubControl == strSub) {
                pBlock = &block;
                break;
            }
        }
        if (!pBlock) {
            m_blocks.append(Block{strSub, status, {}});
            pBlock = &m_blocks.last();
        }
        // Re-append so that the newest value also wins over a shorthand set in between.
        for (int i = 0; i < pBlock->declarations.size(); ++i) {
            if (pBlock->declarations.at(i).first == strProperty) {
                pBlock->declarations.removeAt(i);
                break;
            }
        }
        pBlock->declarations.append(qMakePair(strProperty, strValue));
    }
}

const CustomObject::Block* CustomObject::FindBlock(int nStatus, const QString& strSubControl) const
{
    for (const Block& block : m_blocks) {
        if (block.nStatus == nStatus && block.strSubControl == strSubControl)
            return &block;
    }
    return nullptr;
}

QString CustomObject::cStyleValue(const QString& strProperty, ItemStatus status, const QString& strSubControl) const
{
    if (const Block* pBlock = FindBlock(status, strSubControl)) {
        for (const auto& declaration : pBlock->declarations) {
            if (declaration.first == strProperty)
                return declaration.second;
        }
    }
    return QString();
}

QString CustomObject::cOwnRules() const
{
    QString strRules;
    for (const Block& block : m_blocks) {
        strRules += cRuleSelector(block.nStatus, block.strSubControl) + QLatin1Char('{');
        for (const auto& declaration : block.declarations)
            strRules += declaration.first + QLatin1Char(':') + declaration.second + QLatin1Char(';');
        strRules += QStringLiteral("}\n");
    }
    return strRules;
}

bool CustomObject::cSameOwnRules(const CustomQssHelper* pOther) const
{
    const auto* pObject = dynamic_cast<const CustomObject*>(pOther);
    return pObject && pObject->m_blocks == m_blocks;
}

void CustomObject::cSetFontSize(int nPixelSize, ItemStatus status, const QStringList& subControls)
{
    if (nPixelSize <= 0) {
        qCWarning(lcObject) << "Ignoring font size" << nPixelSize;
        return;
    }
    SetProperty(QStringLiteral("font-size"), QStringLiteral("%1px").arg(nPixelSize), status, subControls);
    cApplyStyle();
}

void CustomObject::cSetFontColor(const QString& strColor, ItemStatus status, const QStringList& subControls)
{
    const QString strCss = cssColor(strColor);
    if (strCss.isEmpty()) {
        qCWarning(lcObject).noquote() << "Ignoring font colour" << strColor;
        return;
    }
    SetProperty(QStringLiteral("color"), strCss, status, subControls);
    cApplyStyle();
}

void CustomObject::cSetFontFamily(const QString& strFamily, ItemStatus status, const QStringList& subControls)
{
    QString strQuoted = strFamily;
    strQuoted.remove(QLatin1Char('"'));
    SetProperty(QStringLiteral("font-family"), QStringLiteral("\"%1\"").arg(strQuoted), status, subControls);
    cApplyStyle();
}

void CustomObject::cSetFont(const QFont& font, ItemStatus status, const QStringList& subControls)
{
    QString strFamily = font.family();
    strFamily.remove(QLatin1Char('"'));
    const QStringList subs = subControls;
    if (!strFamily.isEmpty())
        SetProperty(QStringLiteral("font-family"), QStringLiteral("\"%1\"").arg(strFamily), status, subs);
    if (font.pixelSize() > 0)
        SetProperty(QStringLiteral("font-size"), QStringLiteral("%1px").arg(font.pixelSize()), status, subs);
    else if (font.pointSizeF() > 0)
        SetProperty(QStringLiteral("font-size"), QStringLiteral("%1pt").arg(font.pointSizeF()), status, subs);
    SetProperty(QStringLiteral("font-weight"), CssWeight(font.weight()), status, subs);
    SetProperty(QStringLiteral("font-style"), font.italic() ? QStringLiteral("italic") : QStringLiteral("normal"),
                status, subs);
    cApplyStyle();
}

void CustomObject::ApplyFontProperties(QFont& font, int nStatus, const QString& strSubControl) const
{
    const Block* pBlock = FindBlock(nStatus, strSubControl);
    if (!pBlock)
        return;
    for (const auto& declaration : pBlock->declarations) {
        const QString& strValue = declaration.second;
        if (declaration.first == QLatin1String("font-family")) {
            QString strFamily = strValue;
            font.setFamily(strFamily.remove(QLatin1Char('"')));
        } else if (declaration.first == QLatin1String("font-size")) {
            if (strValue.endsWith(QLatin1String("px")))
                font.setPixelSize(strValue.chopped(2).toInt());
            else if (strValue.endsWith(QLatin1String("pt")))
                font.setPointSizeF(strValue.chopped(2).toDouble());
        } else if (declaration.first == QLatin1String("font-weight")) {
            font.setWeight(qBound(0, strValue.toInt() / 8, 99));
        } else if (declaration.first == QLatin1String("font-style")) {
            font.setItalic(strValue == QLatin1String("italic"));
        }
    }
}

QFont CustomObject::cFont(ItemStatus status, const QStringList& subControls) const
{
    const QString strSub = subControls.value(0);
    QFont font = cTarget()->font();
    ApplyFontProperties(font, IS_Normal, strSub);
    if (status != IS_Normal)
        ApplyFontProperties(font, status, strSub);
    return font;
}

void CustomObject::cSetBackgroundColor(const QString& strColor, ItemStatus status, const QStringList& subControls)
{
    const QString strCss = cssColor(strColor);
    if (strCss.isEmpty()) {
        qCWarning(lcObject).noquote() << "Ignoring background colour" << strColor;
        return;
    }
    SetProperty(QStringLiteral("background-color"), strCss, status, subControls);
    cApplyStyle();
}

void CustomObject::cSetBackgroundImage(const QString& strPath, ItemStatus status, const QStringList& subControls)
{
    SetProperty(QStringLiteral("background-image"), CssUrl(strPath), status, subControls);
    SetProperty(QStringLiteral("background-position"), QStringLiteral("center"), status, subControls);
    SetProperty(QStringLiteral("background-repeat"), QStringLiteral("no-repeat"), status, subControls);
    cApplyStyle();
}

void CustomObject::cSetBorderWidth(int nWidth, BorderEdge edge, ItemStatus status, const QStringList& subControls)
{
    if (nWidth < 0) {
        qCWarning(lcObject) << "Ignoring border width" << nWidth;
        return;
    }
    SetProperty(QStringLiteral("border-style"), QStringLiteral("solid"), status, subControls);
    SetProperty(BorderProperty(edge, "width"), QStringLiteral("%1px").arg(nWidth), status, subControls);
    cApplyStyle();
}

void CustomObject::cSetBorderRadius(int nRadius, BorderCorner corner, ItemStatus status,
                                    const QStringList& subControls)
{
    if (nRadius < 0) {
        qCWarning(lcObject) << "Ignoring border radius" << nRadius;
        return;
    }
    const QString strCorner = CornerName(corner);
    const QString strProperty = strCorner.isEmpty() ? QStringLiteral("border-radius")
                                                    : QStringLiteral("border-%1-radius").arg(strCorner);
    SetProperty(strProperty, QStringLiteral("%1px").arg(nRadius), status, subControls);
    cApplyStyle();
}

void CustomObject::cSetBorderColor(const QString& strColor, BorderEdge edge, ItemStatus status,
                                   const QStringList& subControls)
{
    const QString strCss = cssColor(strColor);
    if (strCss.isEmpty()) {
        qCWarning(lcObject).noquote() << "Ignoring border colour" << strColor;
        return;
    }
    SetProperty(BorderProperty(edge, "color"), strCss, status, subControls);
    cApplyStyle();
}

void CustomObject::cSetBorderImage(const QString& strPath, ItemStatus status, const QStringList& subControls)
{
    SetProperty(QStringLiteral("border-image"), CssUrl(strPath) + QStringLiteral(" 0 0 0 0 stretch stretch"), status,
                subControls);
    cApplyStyle();
}
