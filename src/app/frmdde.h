#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// A second start's hand-off: passes each of its paths to the running instance,
// retrying every 100 ms, and says so when the running instance never answers.
class frmDDE : public QObject {
    Q_OBJECT
public:
    static constexpr int MaxAttempts = 30;

    frmDDE(const QStringList& commandLine, const QString& socketPath, QObject* parent = nullptr);

    void Form_Load();
    void Timer4_Timer();
    void Text1_LinkError(int code);

    QTimer Timer4;
    qint16 LinkAttempts = 0;

signals:
    // The hand-off is over, whether it succeeded or not.
    void unloaded();

private:
    void unload();

    QStringList m_commandLine;
    // One id for every attempt to hand over the first path.
    QByteArray m_requestId;
    QString m_socketPath;
};
