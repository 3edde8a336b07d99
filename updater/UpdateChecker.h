#pragma once

#include <QObject>
#include <QPointer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;
class QWidget;

// Reads one update text in the background and, when it announces a version newer than
// `runningVersion`, puts an UpdateNotice on the window. A child of the window: it goes with it,
// and takes any transfer still running along.
class UpdateChecker : public QObject
{
    Q_OBJECT
public:
    UpdateChecker(QWidget* window, const QUrl& address, const QString& runningVersion);

    void start();

    // Gives up on a server that sends nothing for this long.
    static constexpr int kTransferTimeoutMs = 15000;

signals:
    // The check is over, with or without a notice.
    void finished(bool noticeShown);

private:
    void readFile();
    void readHttp();
    void handle(const QByteArray& text);

    QPointer<QWidget> m_window;
    QUrl m_address;
    QString m_runningVersion;
    QNetworkAccessManager* m_network = nullptr;
};
