#pragma once

#include "customtypes.h"
#include "filedialogrequest.h"
#include "trellis_global.h"

#include <QFileDialog>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace Custom {

// Registers a style-sheet XML with named styles; call once at start, before any widget exists.
TRELLIS_EXPORT bool addXmlPath(const QString& strPath);
TRELLIS_EXPORT QString styleSheet(StyleSheetType type);
// The UTF-8 text of a file or resource, empty when it cannot be read.
TRELLIS_EXPORT QString readFileContent(const QString& strPath);

TRELLIS_EXPORT Language language();
TRELLIS_EXPORT void setLanguage(Language language);
TRELLIS_EXPORT QString globalFontFamily();

// Hot keys are watched in every window of the application; a press posts a HotKeyEvent to the main dialog.
TRELLIS_EXPORT bool registerHotKey(int nId, Qt::KeyboardModifiers modifiers, Qt::Key key);
TRELLIS_EXPORT void unregisterHotKey(int nId);
TRELLIS_EXPORT void setMainDialog(QWidget* pDialog);
TRELLIS_EXPORT QWidget* mainDialog();

// A save dialog. Returns the chosen path, or an empty text when cancelled.
TRELLIS_EXPORT QString getSaveFileName(QWidget* parent, const QString& strCaption, const QString& strDir,
                                       const QString& strFileName, const QString& strFilter,
                                       const QString& strDefaultSuffix, const QStringList& sidebarFolders = {},
                                       QString* pSelectedFilter = nullptr, QFileDialog::Options options = {});

// Runs an open or save dialog; the common ground of every file dialog of the suite.
TRELLIS_EXPORT QString runFileDialog(const FileDialogRequest& request, QString* pSelectedFilter = nullptr,
                                     QFileDialog::Options options = {});

// Test seams. A file-dialog handler answers every file dialog instead of showing one. A modal handler is
// called, inside the modal loop, with every modal window the library runs (message boxes, exec()).
using FileDialogHandler = std::function<QString(const FileDialogRequest&)>;
using ModalHandler = std::function<void(QWidget*)>;
TRELLIS_EXPORT void setFileDialogHandler(FileDialogHandler handler);
TRELLIS_EXPORT void setModalHandler(ModalHandler handler);
TRELLIS_EXPORT void notifyModalShown(QWidget* pWindow);

} // namespace Custom
