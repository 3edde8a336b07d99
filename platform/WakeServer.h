#pragma once

#include <QObject>

class QLocalSocket;
class QSocketNotifier;

// The listening end of the wake-up channel, owned by the running copy's main window.
// messageReceived is emitted on the GUI thread; the reply goes out after its slots returned.
// The server outlives a shortage of file descriptors: it keeps its socket and accepts again a
// moment later (a QLocalServer closes for good and deletes its socket file). A connection
// that sends no request within a few seconds is dropped, so idle ones cannot pile up.
class WakeServer : public QObject
{
    Q_OBJECT
public:
    explicit WakeServer(QObject* parent = nullptr);
    ~WakeServer() override;

    // Starts listening under `caption`. Only the holder of the instance lock calls this, so an
    // existing socket file is a leftover of a copy that died, and is replaced.
    bool listen(const QString& caption);
    void close();

    static constexpr int IdleTimeoutMs = 5000;
    static constexpr int RetryAcceptMs = 250;

signals:
    void messageReceived(unsigned message, qint64 wParam, qint64 lParam);

private:
    void accept();
    void serve(int fd);
    void readFrom(QLocalSocket* socket);

    int m_fd = -1;
    QString m_path;
    QSocketNotifier* m_notifier = nullptr;
};
