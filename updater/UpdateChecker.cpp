#include "UpdateChecker.h"

#include "UpdateNotice.h"
#include "UpdateText.h"

#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

UpdateChecker::UpdateChecker(QWidget* window, const QUrl& address, const QString& runningVersion)
    : QObject(window), m_window(window), m_address(address), m_runningVersion(runningVersion)
{}

void UpdateChecker::start()
{
    const QString scheme = m_address.scheme();
    if (scheme == QLatin1String("file"))
        readFile();
    else if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        readHttp();
    else
        QTimer::singleShot(0, this, [this] { handle({}); });
}

// Runs on a pool thread. Only a regular file is read, and only as much as an update text
// can be: a pipe or a device could block the thread for good.
static QByteArray readUpdateFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > UpdateText::kMaxSize)
        return {};
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.read(UpdateText::kMaxSize + 1);
}

void UpdateChecker::readFile()
{
    auto* watcher = new QFutureWatcher<QByteArray>(this);
    connect(watcher, &QFutureWatcher<QByteArray>::finished, this,
            [this, watcher] { handle(watcher->result()); });
    watcher->setFuture(QtConcurrent::run(readUpdateFile, m_address.toLocalFile()));
}

void UpdateChecker::readHttp()
{
    m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(m_address);
    request.setTransferTimeout(kTransferTimeoutMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(3);
    QNetworkReply* reply = m_network->get(request);
    connect(reply, &QNetworkReply::readyRead, this, [reply] {
        if (reply->bytesAvailable() > UpdateText::kMaxSize)
            reply->abort(); // too large to be an update text
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply] {
        reply->deleteLater();
        handle(reply->error() == QNetworkReply::NoError ? reply->read(UpdateText::kMaxSize + 1)
                                                        : QByteArray());
    });
}

void UpdateChecker::handle(const QByteArray& text)
{
    bool shown = false;
    const std::optional<UpdateText::Announcement> a = UpdateText::parse(text, m_address);
    if (a && m_window && UpdateText::compareVersions(a->version, m_runningVersion) > 0) {
        auto* notice = new UpdateNotice(m_window, a->version, a->address);
        notice->show();
        shown = true;
    }
    emit finished(shown);
    deleteLater();
}
