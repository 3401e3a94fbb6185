#include "nxinterface.h"

#include "custom.h"

#include <QDesktopServices>
#include <QUrl>

namespace NXInterface {

QString toQtFileFilter(const QString& strFilter)
{
    if (!strFilter.contains(QLatin1Char('|')))
        return strFilter;
    const QStringList parts = strFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i < parts.size(); i += 2) {
        const QString strDescription = parts.at(i).trimmed();
        const QString strPatterns = parts.value(i + 1).trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        if (strDescription.isEmpty() && strPatterns.isEmpty())
            continue;
        // Qt takes the patterns from the parentheses of the description.
        if (strDescription.contains(QLatin1Char('(')) || strPatterns.isEmpty())
            filters.append(strDescription);
        else
            filters.append(QStringLiteral("%1 (%2)").arg(strDescription, strPatterns));
    }
    return filters.join(QStringLiteral(";;"));
}

QString getOpenFileName(QWidget* parent, const QString& strCaption, const QString& strDir, const QString& strFilter,
                        QString* pSelectedFilter, QFileDialog::Options options)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Open;
    request.pParent = parent;
    request.strCaption = strCaption;
    request.strDir = strDir;
    request.strFilter = toQtFileFilter(strFilter);
    return Custom::runFileDialog(request, pSelectedFilter, options);
}

bool OpenHtmlByDefBrowser(const QString& strUrl)
{
    const QUrl url(strUrl);
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}

} // namespace NXInterface
