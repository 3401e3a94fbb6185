#include "custom.h"

#include "customstyleregistry.h"
#include "hotkeyevent.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QPointer>

#include <atomic>

namespace {
Q_LOGGING_CATEGORY(lcCustom, "trellis")

std::atomic<int> g_language{Lang_English};
QPointer<QWidget> g_pMainDialog;
Custom::FileDialogHandler g_fileDialogHandler;
Custom::ModalHandler g_modalHandler;

struct HotKey
{
    Qt::KeyboardModifiers modifiers;
    int nKey;
};

// Watches key presses of the whole application. A press reaches the application's filters once at its
// window and then again at every widget it is handed to; only the window delivery counts.
class HotKeyFilter : public QObject
{
public:
    QHash<int, HotKey> hotKeys;

    bool eventFilter(QObject* pWatched, QEvent* pEvent) override
    {
        if (pEvent->type() != QEvent::KeyPress || !pWatched->isWindowType() || !g_pMainDialog)
            return false;
        const auto* pKey = static_cast<const QKeyEvent*>(pEvent);
        const Qt::KeyboardModifiers modifiers =
            pKey->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
        for (auto it = hotKeys.cbegin(); it != hotKeys.cend(); ++it) {
            if (it->nKey == pKey->key() && it->modifiers == modifiers)
                QCoreApplication::postEvent(g_pMainDialog, new HotKeyEvent(it.key()));
        }
        return false;
    }
};

QPointer<HotKeyFilter> g_pHotKeyFilter;
} // namespace

namespace Custom {

bool addXmlPath(const QString& strPath)
{
    return CustomStyleRegistry::instance().addXml(strPath);
}

QString styleSheet(StyleSheetType type)
{
    return CustomStyleRegistry::instance().stockSheet(type);
}

QString readFileContent(const QString& strPath)
{
    QFile file(strPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcCustom).noquote() << "Cannot read" << strPath << ":" << file.errorString();
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

Language language()
{
    return Language(g_language.load());
}

void setLanguage(Language language)
{
    g_language.store(language);
}

QString globalFontFamily()
{
    static const QString strFamily = [] {
        const QStringList preferred{QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
                                    QStringLiteral("Noto Sans"), QStringLiteral("DejaVu Sans")};
        const QStringList installed = QFontDatabase().families();
        for (const QString& strCandidate : preferred) {
            if (installed.contains(strCandidate))
                return strCandidate;
        }
        return QApplication::font().family();
    }();
    return strFamily;
}

bool registerHotKey(int nId, Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    if (!qApp) {
        qCWarning(lcCustom) << "registerHotKey needs an application object";
        return false;
    }
    if (!g_pHotKeyFilter) {
        g_pHotKeyFilter = new HotKeyFilter;
        g_pHotKeyFilter->setParent(qApp);
        qApp->installEventFilter(g_pHotKeyFilter);
    }
    g_pHotKeyFilter->hotKeys.insert(nId, HotKey{modifiers, int(key)});
    return true;
}

void unregisterHotKey(int nId)
{
    if (g_pHotKeyFilter)
        g_pHotKeyFilter->hotKeys.remove(nId);
}

void setMainDialog(QWidget* pDialog)
{
    g_pMainDialog = pDialog;
}

QWidget* mainDialog()
{
    return g_pMainDialog.data();
}

QString runFileDialog(const FileDialogRequest& request, QString* pSelectedFilter, QFileDialog::Options options)
{
    if (g_fileDialogHandler)
        return g_fileDialogHandler(request);

    QFileDialog dialog(request.pParent, request.strCaption, request.strDir, request.strFilter);
    dialog.setOptions(options);
    dialog.setAcceptMode(request.mode == FileDialogRequest::Save ? QFileDialog::AcceptSave
                                                                 : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mode == FileDialogRequest::Save ? QFileDialog::AnyFile
                                                               : QFileDialog::ExistingFile);
    if (!request.strDefaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.strDefaultSuffix);
    if (!request.strFileName.isEmpty())
        dialog.selectFile(request.strFileName);
    if (!request.sidebarFolders.isEmpty()) {
        QList<QUrl> urls = dialog.sidebarUrls();
        for (const QString& strFolder : request.sidebarFolders)
            urls.append(QUrl::fromLocalFile(strFolder));
        dialog.setSidebarUrls(urls);
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    if (pSelectedFilter)
        *pSelectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().value(0);
}

QString getSaveFileName(QWidget* parent, const QString& strCaption, const QString& strDir,
                        const QString& strFileName, const QString& strFilter, const QString& strDefaultSuffix,
                        const QStringList& sidebarFolders, QString* pSelectedFilter, QFileDialog::Options options)
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Save;
    request.pParent = parent;
    request.strCaption = strCaption;
    request.strDir = strDir;
    request.strFileName = strFileName;
    request.strFilter = strFilter;
    request.strDefaultSuffix = strDefaultSuffix;
    request.sidebarFolders = sidebarFolders;
    return runFileDialog(request, pSelectedFilter, options);
}

void setFileDialogHandler(FileDialogHandler handler)
{
    g_fileDialogHandler = std::move(handler);
}

void setModalHandler(ModalHandler handler)
{
    g_modalHandler = std::move(handler);
}

void notifyModalShown(QWidget* pWindow)
{
    if (g_modalHandler)
        g_modalHandler(pWindow);
}

} // namespace Custom
