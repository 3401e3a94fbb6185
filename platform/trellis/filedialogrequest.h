#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Everything a file dialog was asked with; tests see it through Custom::setFileDialogHandler.
struct FileDialogRequest
{
    enum Mode { Open, Save };

    Mode mode = Open;
    QWidget* pParent = nullptr;
    QString strCaption;
    QString strDir;
    QString strFileName;
    QString strFilter;
    QString strDefaultSuffix;
    QStringList sidebarFolders;
};
