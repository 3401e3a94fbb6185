#pragma once

#include "trellis_global.h"

#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>

// One rule of a named style: declarations for an item state and an optional sub-control.
struct StyleRule
{
    int nStatus = 0;
    QString strSubControl;
    QString strDeclarations;
};

// Named styles and stock style sheets read from style-sheet XML files:
//   <TrellisStyles>
//     <Style name="KS_Btn_Orange_Main">
//       <Rule status="hover" sub="">background-color:#FF8C33;</Rule>
//     </Style>
//     <Sheet type="9">QScrollArea{border:none;}</Sheet>
//     <Color name="DB_COLOR_Custom_Font_LittleBlack">#383B43</Color>
//   </TrellisStyles>
// A later file overrides styles of the same name from an earlier one.
class TRELLIS_EXPORT CustomStyleRegistry
{
public:
    static CustomStyleRegistry& instance();

    // Returns false, and keeps what was registered before, when the file is missing or not valid XML.
    bool addXml(const QString& strPath, QString* pError = nullptr);
    bool hasStyle(const QString& strName);
    QList<StyleRule> style(const QString& strName);
    // The style's rules as sheet text, each selector starting with selectorPlaceholder() (to be replaced
    // by the widget's own). Made once per style and kept until a file changes the styles.
    QString ruleTemplate(const QString& strName);
    static QString selectorPlaceholder() { return QStringLiteral("\x01"); }
    // A rule's selector in such a text: the placeholder, the sub-control and the item state's pseudo-state.
    static QString templateSelector(int nStatus, const QString& strSubControl);
    QString stockSheet(int nType);
    QStringList styleNames();
    // The colour text of a named suite colour, or an empty text.
    QString namedColor(const QString& strName);

    static int statusFromText(const QString& strText, bool* pOk);
    static QString pseudoState(int nStatus);

private:
    using Styles = QHash<QString, QList<StyleRule>>;
    using Sheets = QHash<int, QString>;
    using Colors = QHash<QString, QString>;

    CustomStyleRegistry() = default;
    static bool Parse(const QString& strPath, Styles* pStyles, Sheets* pSheets, Colors* pColors, QString* pError);
    void LoadDefaultsOnce();

    QMutex m_mutex;
    bool m_bDefaultsLoaded = false;
    QHash<QString, QList<StyleRule>> m_styles;
    QHash<QString, QString> m_templates; // ruleTemplate's texts
    QHash<int, QString> m_sheets;
    Colors m_colors;
};
