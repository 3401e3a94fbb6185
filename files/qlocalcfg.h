#pragma once

#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

// The local settings file "LocalConfig.ini" in the program-data folder, shared by the suite's tools.
// Every key is loaded and every key is written back when the object goes, so that the other tools'
// settings survive this tool; this tool itself only uses the Event Monitor's auto-save flag.
class QLocalCfg : public QObject
{
    Q_OBJECT
public:
    // The one object, made and loaded on first use; null when it cannot be made.
    static QLocalCfg* Instance();
    // Saves and deletes the object; does nothing without one.
    static void Destroy();

    bool EventAutoSave() const;
    void SetEventAutoSave(bool bOn);

    // Any setting by its key ("Group/Name"), for the suite's other tools; an invalid value when unknown.
    QVariant Value(const QString& strKey) const;
    QString KeyName(int nKey) const { return m_keyNames.value(nKey); }
    QString FilePath() const;

private:
    QLocalCfg();
    ~QLocalCfg() override;
    void Load();
    void Save() const;
    void BuildKeyNames();

    struct Entry {
        QString strKey;
        QVariant value; // typed by its default
    };
    QVector<Entry> m_entries;             // the plain keys, in the order they are written
    QVector<QPair<int, int>> m_shortcuts; // (modifiers, key) per viewer action
    QVector<QPair<QString, QString>> m_customLayouts;
    QStringList m_stayTopCameras;
    QString m_strRenderGridColor;
    bool m_bSupportOtherCameraFeature = true;
    QMap<int, QString> m_keyNames;
};
