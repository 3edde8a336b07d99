#pragma once

#include <QObject>

class QLocalServer;
class QLocalSocket;

// The listening end of the wake-up channel, owned by the running copy's main window.
// messageReceived is emitted on the GUI thread; the reply goes out after its slots returned.
class WakeServer : public QObject
{
    Q_OBJECT
public:
    explicit WakeServer(QObject* parent = nullptr);

    // Starts listening under `caption`. Only the holder of the instance lock calls this, so an
    // existing socket file is a leftover of a copy that died, and is replaced.
    bool listen(const QString& caption);
    void close();

signals:
    void messageReceived(unsigned message, qint64 wParam, qint64 lParam);

private:
    void accept();
    void readFrom(QLocalSocket* socket);

    QLocalServer* m_server;
};
