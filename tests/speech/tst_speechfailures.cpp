#include "SpeechError.h"
#include "SpeechLib_TLB.h"
#include "SpeechTestSupport.h"
#include "VoiceEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The text of the error the call raises; empty when it raises none.
template <class F> QString errorOf(F&& call)
{
    try {
        call();
    } catch (const ESpeechError& e) {
        return e.message();
    }
    return {};
}

// Calls until one raises an error (empty: none did in time), waiting a little between calls.
template <class F> QString firstError(F&& call, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        const QString error = errorOf(call);
        if (!error.isEmpty() || clock.elapsed() > timeoutMs)
            return error;
        QTest::qWait(20);
    }
}

// Calls until one raises no error; false if none did in time.
template <class F> bool firstSuccess(F&& call, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (errorOf(call).isEmpty())
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
}

QString installedSpeechData()
{
    for (const char* path :
         {"/usr/lib/x86_64-linux-gnu/espeak-ng-data", "/usr/share/espeak-ng-data"}) {
        if (QFile::exists(QString::fromLatin1(path) + QStringLiteral("/phontab")))
            return QString::fromLatin1(path);
    }
    return {};
}

} // namespace

class TestSpeechFailures : public QObject
{
    Q_OBJECT
private slots:
    // Runs first: Qt Multimedia must not have been used in this process yet.
    void noAudioOutput_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        const QString server = QStringLiteral("unix:") + QDir::tempPath() +
                               QStringLiteral("/wenquell-no-such-server/native");
        QTest::newRow("no sound server")
            << QByteArray("PULSE_SERVER") << server
            << QStringLiteral("No audio output device: the sound server \"%1\" (PULSE_SERVER) "
                              "cannot be reached.")
                   .arg(server);
        const QString module = QDir::tempPath() + QStringLiteral("/wenquell-no-such-module.so");
        QTest::newRow("no sound module")
            << QByteArray("WENQUELL_SOUND_MODULE") << module
            << QStringLiteral("No audio output: the sound module %1 is missing.").arg(module);
    }
    void noAudioOutput()
    {
        QFETCH(QByteArray, variable);
        QFETCH(QString, value);
        QFETCH(QString, message);
        const QByteArray realValue = qgetenv(variable.constData());
        qputenv(variable.constData(), value.toUtf8());
        std::atomic<int> audioStarted = 0;
        EngineHooks hooks;
        hooks.firstAudio = [&audioStarted](quint64, int, qint64) { ++audioStarted; };
        VoiceEngine::instance().setHooks(hooks);

        TSpVoice voice;
        QCOMPARE(firstError([&] { voice.Speak(QStringLiteral("好")); }), message);
        // The window goes on; each later call on the sound tries again, and says nothing
        // more: the learner has been told once. Volume and rate are the voice's settings:
        // they are taken without a word, as they are while the window starts, whichever
        // thread is first.
        QCOMPARE(firstError([&] { voice.Resume(); }), QString());
        QTest::qWait(200); // the retry started by Resume has failed by now
        QCOMPARE(errorOf([&] { voice.setVolume(50); }) + errorOf([&] { voice.setRate(0); }),
                 QString());
        if (realValue.isNull())
            qunsetenv(variable.constData());
        else
            qputenv(variable.constData(), realValue);
        if (realValue.isEmpty() || !qEnvironmentVariableIsSet("WENQUELL_TEST_SINK")) {
            VoiceEngine::instance().setHooks({});
            QSKIP("no test sound server or sound module to come back to");
        }
        QVERIFY(firstSuccess([&] { voice.Speak(QStringLiteral("好")); }));
        QTRY_VERIFY_WITH_TIMEOUT(audioStarted > 0, 5000);
        VoiceEngine::instance().setHooks({});
    }

    void noSpeechData_data()
    {
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("message");
        QTest::newRow("no data at all")
            << "*"
            << "No speech data: the espeak-ng speech engine cannot load its data (Error "
               "processing file '%1/phontab': No such file or directory). Install the "
               "espeak-ng-data package.";
        QTest::newRow("no Mandarin dictionary")
            << "cmn_dict"
            << "No speech data for the Mandarin voice: espeak-ng's dictionary %1/cmn_dict is "
               "missing or unreadable. Install the espeak-ng-data package.";
    }
    void noSpeechData()
    {
        QFETCH(QString, missing);
        QFETCH(QString, message);
        const QString installed = installedSpeechData();
        if (installed.isEmpty())
            QSKIP("espeak-ng-data is not where it is expected");
        QTemporaryDir data;
        if (missing != u'*') {
            const QDir from(installed);
            for (const QString& name : from.entryList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
                if (name != missing)
                    QVERIFY(QFile::link(from.filePath(name), data.filePath(name)));
            }
        }
        auto tape = std::make_shared<MemoryAudioOutput::Tape>();
        VoiceEngine::instance().setAudioOutputFactory(MemoryAudioOutput::factory(tape, 20));
        VoiceEngine::instance().setDataPath(data.path());

        TSpVoice voice;
        const QString error = firstError([&] { voice.Speak(QStringLiteral("好")); });
        QCOMPARE(error, message.arg(data.path()));
        QCOMPARE(firstError([&] { voice.Pause(); }), error);

        // Once the data is back, the next calls work again.
        VoiceEngine::instance().setDataPath(QString());
        bool ended = false;
        voice.OnEndStream = [&ended](QObject*, const SpeechEvent&) { ended = true; };
        QVERIFY(firstSuccess([&] { voice.Resume(); }));
        voice.Speak(QStringLiteral("好"));
        QTRY_VERIFY_WITH_TIMEOUT(ended, 5000);
        QVERIFY(tapeSize(*tape) > 0);
    }

    void audioOutputThatWillNotOpen()
    {
        auto tape = std::make_shared<MemoryAudioOutput::Tape>();
        tape->failOpen = QStringLiteral("No audio output device: test");
        VoiceEngine::instance().setAudioOutputFactory(MemoryAudioOutput::factory(tape, 20));
        TSpVoice voice;
        // As the window starts: the volume makes the voice, whose output fails to open on the
        // audio thread before the rate is set. Neither says so; the first Speak does.
        voice.setVolume(100);
        QTRY_COMPARE(tape->tries, 1);
        QCOMPARE(errorOf([&] { voice.setRate(0); }), QString());
        QCOMPARE(firstError([&] { voice.Speak(QStringLiteral("好")); }),
                 QStringLiteral("No audio output device: test"));
        {
            QMutexLocker lock(&tape->mutex);
            tape->failOpen.clear();
        }
        bool ended = false;
        voice.OnEndStream = [&ended](QObject*, const SpeechEvent&) { ended = true; };
        QVERIFY(firstSuccess([&] { voice.Speak(QStringLiteral("好")); }));
        QTRY_VERIFY_WITH_TIMEOUT(ended, 5000);
        QCOMPARE(tape->opens, 1);
    }

    void audioOutputFailingWhilePlaying()
    {
        auto tape = std::make_shared<MemoryAudioOutput::Tape>();
        VoiceEngine::instance().setAudioOutputFactory(MemoryAudioOutput::factory(tape, 2));
        TSpVoice voice;
        QList<int> ended;
        voice.OnEndStream = [&ended](QObject*, const SpeechEvent& e) { ended << e.streamNumber; };
        voice.Speak(longChineseText(20));
        QTRY_VERIFY_WITH_TIMEOUT(tapeSize(*tape) > 0, 5000);
        {
            QMutexLocker lock(&tape->mutex);
            tape->failure = QStringLiteral("The audio output stopped working (test).");
        }
        // The error queues a reopen, which may run at once; the broken output alone says so.
        QCOMPARE(firstError([&] { voice.Resume(); }),
                 QStringLiteral("The audio output stopped working (test)."));
        // What was being said is gone; new speech plays on a reopened output.
        int stream = 0;
        QVERIFY(firstSuccess([&] { stream = voice.Speak(QStringLiteral("好")); }));
        QTRY_VERIFY_WITH_TIMEOUT(ended.contains(stream), 5000);
        QCOMPARE(ended, QList<int>{stream});
        QCOMPARE(tape->opens, 2);
    }
};

QTEST_GUILESS_MAIN(TestSpeechFailures)
#include "tst_speechfailures.moc"
