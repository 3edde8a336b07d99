#include "Update.h"
#include "UpdateText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

class TestUpdater : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile f(m_dir.filePath(name));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(bytes);
        return f.fileName();
    }

    // The notice is private to the library: found by its object name.
    static QList<QFrame*> notices(QWidget* w)
    {
        return w->findChildren<QFrame*>(QStringLiteral("UpdateNotice"));
    }

    // Runs DoUpdate on a fresh window and gives the check `ms` to come to an answer.
    static int noticesAfter(const QByteArray& address, int ms = 800)
    {
        QWidget w;
        w.resize(772, 565);
        w.show();
        DoUpdate(std::uintptr_t(w.winId()), address.constData());
        QTest::qWait(ms);
        return int(notices(&w).size());
    }

private slots:
    void initTestCase() { QApplication::setApplicationVersion(QStringLiteral("1.0.0")); }

    void texts_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("address");
        QTest::newRow("ours") << QByteArray("# c\nversion=1.2.0\naddress=../../home.html\n") << true
                              << "1.2.0"
                              << "file:///site/home.html";
        QTest::newRow("absolute address, CR LF, blanks")
            << QByteArray("\xEF\xBB\xBFVersion = 2\r\naddress = https://example.org/x\r\n") << true
            << "2"
            << "https://example.org/x";
        QTest::newRow("no address") << QByteArray("version=1.0.1") << true << "1.0.1"
                                    << "";
        QTest::newRow("empty") << QByteArray() << false << ""
                               << "";
        QTest::newRow("no version") << QByteArray("address=x\n") << false << ""
                                    << "";
        QTest::newRow("version with words") << QByteArray("version=1.0 beta\n") << false << ""
                                            << "";
        QTest::newRow("five parts") << QByteArray("version=1.2.3.4.5\n") << false << ""
                                    << "";
        QTest::newRow("garbled") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11) << false << ""
                                 << "";
        QTest::newRow("not UTF-8") << QByteArray("version=1.1\n\xff\xfe\n") << false << ""
                                   << "";
        QTest::newRow("line without =") << QByteArray("version=1.1\nhello\n") << false << ""
                                        << "";
        QTest::newRow("script address")
            << QByteArray("version=3\naddress=javascript:alert(1)\n") << false << ""
            << "";
        QTest::newRow("control character")
            << QByteArray("version=3\naddress=http://a/\x07\n") << false << ""
            << "";
        QTest::newRow("too large")
            << QByteArray("version=3\n") + QByteArray(20000, '#') << false << ""
            << "";
    }
    void texts()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, ok);
        QFETCH(QString, version);
        QFETCH(QString, address);
        const auto a =
            UpdateText::parse(text, QUrl(QStringLiteral("file:///site/SiteBack/updateTxt/18.txt")));
        QCOMPARE(a.has_value(), ok);
        if (ok) {
            QCOMPARE(a->version, version);
            QCOMPARE(a->address.toString(), address);
        }
    }

    void versions_data()
    {
        QTest::addColumn<QString>("a");
        QTest::addColumn<QString>("b");
        QTest::addColumn<int>("order");
        QTest::newRow("equal") << "1.0.0"
                               << "1.0" << 0;
        QTest::newRow("patch") << "1.0.1"
                               << "1.0.0" << 1;
        QTest::newRow("numeric, not text") << "1.10"
                                           << "1.9" << 1;
        QTest::newRow("older") << "0.9.9"
                               << "1.0.0" << -1;
    }
    void versions()
    {
        QFETCH(QString, a);
        QFETCH(QString, b);
        QFETCH(int, order);
        QCOMPARE(UpdateText::compareVersions(a, b), order);
    }

    void siteAnnouncesThisVersion()
    {
        QFile f(QStringLiteral(WQ_SITE_DIR "/SiteBack/updateTxt/18.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const auto a = UpdateText::parse(f.readAll(), QUrl::fromLocalFile(f.fileName()));
        QVERIFY(a.has_value());
        QCOMPARE(a->version, QStringLiteral(WENQUELL_VERSION));
        QVERIFY(QFile::exists(a->address.toLocalFile()));
    }

    void newerVersionShowsOneNotice_data()
    {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QString>("shown");
        QTest::newRow("web page") << QByteArray("https://example.org/get")
                                  << QStringLiteral(">https://example.org/get</a>");
        QTest::newRow("page on this machine")
            << QByteArray("get.html") << QStringLiteral(">查看详情</a>");
    }
    void newerVersionShowsOneNotice()
    {
        QFETCH(QByteArray, address);
        QFETCH(QString, shown);
        const QString path = writeFile("new.txt", "version=1.3\naddress=" + address + '\n');
        QWidget w;
        w.resize(772, 565);
        w.show();
        DoUpdate(std::uintptr_t(w.winId()),
                 QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toUtf8().constData());
        QTRY_COMPARE(notices(&w).size(), 1);
        QFrame* n = notices(&w).first();
        const QString text = n->findChild<QLabel*>()->text();
        QVERIFY(text.contains(QStringLiteral("1.3")));
        QVERIFY2(text.contains(shown), qPrintable(text));
        QVERIFY(w.rect().contains(n->geometry()));
        QVERIFY(!n->hasFocus());
    }

    void nothingToAnnounce_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("same version") << QByteArray("version=1.0.0\n");
        QTest::newRow("older version") << QByteArray("version=0.9\n");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("garbled") << QByteArray("\x01\x02\x03 version=9 \xff", 15);
        QTest::newRow("huge") << QByteArray("version=9\n") + QByteArray(10 * 1024 * 1024, 'x');
    }
    void nothingToAnnounce()
    {
        QFETCH(QByteArray, content);
        const QString path = writeFile("none.txt", content);
        QCOMPARE(noticesAfter(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toUtf8()), 0);
    }

    void unusableAddresses_data()
    {
        QTest::addColumn<QByteArray>("address");
        QTest::newRow("missing file") << QByteArray("file:///nonexistent/18.txt");
        QTest::newRow("a directory") << QByteArray("file:///tmp");
        QTest::newRow("closed port") << QByteArray("http://127.0.0.1:9/18.txt");
        QTest::newRow("no such host") << QByteArray("http://wenquell.invalid/18.txt");
        QTest::newRow("not an address") << QByteArray("::: not a url");
        QTest::newRow("other scheme") << QByteArray("ftp://127.0.0.1/18.txt");
        QTest::newRow("empty") << QByteArray("");
    }
    void unusableAddresses()
    {
        QFETCH(QByteArray, address);
        QCOMPARE(noticesAfter(address), 0);
    }

    void aPipeDoesNotBlock()
    {
        const QString fifo = m_dir.filePath("fifo");
        QCOMPARE(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
        QCOMPARE(noticesAfter(QUrl::fromLocalFile(fifo).toString().toUtf8(), 500), 0);
    }

    void unknownWindowIsIgnored()
    {
        DoUpdate(0, "file:///tmp/x");
        DoUpdate(0xdeadbeef, nullptr);
    }

    void httpServerAnswers()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        connect(&server, &QTcpServer::newConnection, this, [&] {
            QTcpSocket* s = server.nextPendingConnection();
            connect(s, &QTcpSocket::readyRead, s, [s] {
                s->readAll();
                s->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 12\r\n"
                         "Connection: close\r\n\r\nversion=2.0\n");
                s->disconnectFromHost();
            });
        });
        const QByteArray url = "http://127.0.0.1:" + QByteArray::number(server.serverPort()) + "/u";
        QCOMPARE(noticesAfter(url), 1);
    }

    void silentServerNeitherShowsNorHangs()
    {
        QTcpServer server; // accepts, then never says a word
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const QByteArray url = "http://127.0.0.1:" + QByteArray::number(server.serverPort()) + "/u";
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(noticesAfter(url, 800), 0); // the window goes while the request waits
        QVERIFY(clock.elapsed() < 5000);
        QTest::qWait(100); // the aborted transfer is gone with the window
    }
};

QTEST_MAIN(TestUpdater)
#include "tst_updater.moc"
