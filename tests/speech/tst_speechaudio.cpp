// The real engine on the sound server's test sink: records the sink's monitor and looks at
// when there is sound. Needs the private PulseAudio server that the test scripts start.
#include "SpeechError.h"
#include "SpeechLib_TLB.h"
#include "SpeechTestSupport.h"
#include "VoiceEngine.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QMutex>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cmath>
#include <thread>

namespace {

const QString Zh = QStringLiteral("<LANG LANGID=\"804\">");
const QString En = QStringLiteral("<LANG LANGID=\"409\">");
constexpr int SampleRate = 22050;
constexpr int WindowSamples = SampleRate / 50; // 20 ms
constexpr int SoundPeak = 1500;
constexpr int SilencePeak = 64;

// Records a PulseAudio source with parecord on a thread of its own, and places each sample
// on the test's clock: the source delivers samples at a steady rate, so sample n was made
// at t0 + n / rate, with t0 found from the reads that came soonest.
class MonitorRecorder
{
public:
    explicit MonitorRecorder(const QElapsedTimer& clock) : m_clock(clock) {}
    ~MonitorRecorder() { stop(); }

    bool start(const QString& source)
    {
        m_thread = std::thread([this, source] { record(source); });
        // parecord takes a while before the first samples come.
        return QTest::qWaitFor([this] { return started() < 0 || coveredUntil() > 0; }, 10000) &&
               started() > 0;
    }

    void stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
    }

    // Recorded up to this time (ms on the test clock).
    double coveredUntil() const
    {
        QMutexLocker lock(&m_mutex);
        return m_first ? 0 : m_t0 + 1000.0 * (m_pcm.size() / 2) / SampleRate;
    }

    // The peaks of the 20 ms windows that lie within [from, to) ms.
    QList<int> peaks(double from, double to) const
    {
        QMutexLocker lock(&m_mutex);
        QList<int> result;
        const auto* samples = reinterpret_cast<const qint16*>(m_pcm.constData());
        const qsizetype count = m_pcm.size() / 2;
        for (qsizetype w = 0; (w + 1) * WindowSamples <= count; ++w) {
            const double begin = m_t0 + 1000.0 * w * WindowSamples / SampleRate;
            if (begin < from || begin + 20 > to)
                continue;
            int peak = 0;
            for (qsizetype i = w * WindowSamples; i < (w + 1) * WindowSamples; ++i)
                peak = qMax(peak, std::abs(int(samples[i])));
            result << peak;
        }
        return result;
    }

    // How long after `from` the last window above the silence level began; -1 for none.
    double lastNoiseAfter(double from, double to) const
    {
        const QList<int> p = peaks(from, to);
        for (qsizetype i = p.size() - 1; i >= 0; --i) {
            if (p[i] > SilencePeak)
                return i * 20.0;
        }
        return -1;
    }

    bool soundBetween(double from, double to) const
    {
        const QList<int> p = peaks(from, to);
        return std::any_of(p.begin(), p.end(), [](int v) { return v > SoundPeak; });
    }

    // Silent, and recorded all along.
    bool silentBetween(double from, double to, QString* why) const
    {
        const QList<int> p = peaks(from, to);
        const qsizetype expected = qsizetype((to - from) / 20) - 1;
        if (p.size() < expected) {
            *why = QStringLiteral("only %1 of %2 windows recorded").arg(p.size()).arg(expected);
            return false;
        }
        for (qsizetype i = 0; i < p.size(); ++i) {
            if (p[i] > SilencePeak) {
                *why = QStringLiteral("sound (peak %1) %2 ms after %3 ms")
                           .arg(p[i])
                           .arg(i * 20)
                           .arg(from);
                return false;
            }
        }
        return true;
    }

private:
    int started() const { return m_started; }

    void record(const QString& source)
    {
        QProcess parecord;
        parecord.start(QStringLiteral("parecord"),
                       {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                        QStringLiteral("--rate=%1").arg(SampleRate), QStringLiteral("--channels=1"),
                        QStringLiteral("--latency-msec=20"), QStringLiteral("-d"), source});
        if (!parecord.waitForStarted(5000)) {
            m_started = -1;
            return;
        }
        m_started = 1;
        while (!m_stop) {
            if (!parecord.waitForReadyRead(50)) {
                if (parecord.state() != QProcess::Running)
                    break;
                continue;
            }
            const QByteArray data = parecord.readAllStandardOutput();
            const double now = m_clock.nsecsElapsed() / 1e6;
            QMutexLocker lock(&m_mutex);
            m_pcm += data;
            const double start = now - 1000.0 * (m_pcm.size() / 2) / SampleRate;
            if (m_first || start < m_t0)
                m_t0 = start;
            m_first = false;
        }
        parecord.terminate();
        if (!parecord.waitForFinished(3000))
            parecord.kill();
        parecord.waitForFinished(3000);
    }

    const QElapsedTimer& m_clock;
    std::thread m_thread;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_started = 0;
    mutable QMutex m_mutex;
    QByteArray m_pcm;
    double m_t0 = 0;
    bool m_first = true;
};

// A sound server of the test's own, in a folder of its own, that it can kill and start again
// at the same address. While it lives, this process's PULSE_SERVER names it.
class PrivateSoundServer
{
public:
    PrivateSoundServer() : m_saved(qgetenv("PULSE_SERVER")) {}
    ~PrivateSoundServer()
    {
        kill();
        qputenv("PULSE_SERVER", m_saved);
    }

    bool start()
    {
        QDir(m_dir.path()).mkpath(QStringLiteral("runtime"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_dir.path());
        env.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.filePath(QStringLiteral("runtime")));
        m_process.setProcessEnvironment(env);
        m_process.start(QStringLiteral("pulseaudio"),
                        {QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                         QStringLiteral("-n"), QStringLiteral("--use-pid-file=no"),
                         QStringLiteral("--disable-shm=yes"), QStringLiteral("-L"),
                         QStringLiteral("module-null-sink sink_name=wq_restart rate=22050 "
                                        "channels=1"),
                         QStringLiteral("-L"),
                         QStringLiteral("module-native-protocol-unix socket=%1 auth-anonymous=1")
                             .arg(socket())});
        if (!m_process.waitForStarted(5000))
            return false;
        qputenv("PULSE_SERVER", (QStringLiteral("unix:") + socket()).toUtf8());
        return QTest::qWaitFor(
            [this] {
                QLocalSocket probe;
                probe.connectToServer(socket());
                return probe.waitForConnected(100);
            },
            10000);
    }
    void kill()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    static QString monitor() { return QStringLiteral("wq_restart.monitor"); }

private:
    QString socket() const { return m_dir.filePath(QStringLiteral("native")); }

    QTemporaryDir m_dir;
    QProcess m_process;
    QByteArray m_saved;
};

} // namespace

class TestSpeechAudio : public QObject
{
    Q_OBJECT

    QElapsedTimer m_clock;
    std::unique_ptr<MonitorRecorder> m_recorder;

    double now() const { return m_clock.nsecsElapsed() / 1e6; }

    // Waits until the recording reaches `until`, then checks that it was silent from `within`
    // ms after the call at `called` on.
    void expectSilence(double called, double within, double until)
    {
        QTRY_VERIFY_WITH_TIMEOUT(m_recorder->coveredUntil() >= until, 5000);
        const double lastNoise = m_recorder->lastNoiseAfter(called - 300, until);
        if (lastNoise >= 0)
            qInfo("silent %.0f ms after the call", lastNoise + 20 - 300);
        QString why;
        QVERIFY2(m_recorder->silentBetween(called + within, until, &why), qPrintable(why));
    }

    void expectSoundSoon(double from)
    {
        QVERIFY2(QTest::qWaitFor([&] { return m_recorder->soundBetween(from, now()); }, 5000),
                 "no sound arrived");
    }

private slots:
    void initTestCase()
    {
        if (!qEnvironmentVariableIsSet("PULSE_SERVER") ||
            !qEnvironmentVariableIsSet("WENQUELL_TEST_SINK"))
            QSKIP("needs the test sound server (PULSE_SERVER and WENQUELL_TEST_SINK)");
        if (QStandardPaths::findExecutable(QStringLiteral("parecord")).isEmpty())
            QSKIP("needs parecord (pulseaudio-utils)");
        m_clock.start();
        m_recorder = std::make_unique<MonitorRecorder>(m_clock);
        QVERIFY(m_recorder->start(qEnvironmentVariable("WENQUELL_TEST_SINK") +
                                  QStringLiteral(".monitor")));
        // Nothing plays yet.
        const double begin = now();
        QTest::qWait(300);
        expectSilence(begin, 0, now());
    }

    void cleanupTestCase() { m_recorder.reset(); }

    void speakPauseResumeVolumeRelease()
    {
        TSpVoice voice;
        bool ended = false;
        voice.OnEndStream = [&ended](QObject*, const SpeechEvent&) { ended = true; };
        voice.setVolume(100);
        voice.setRate(0);

        // After Speak, sound arrives.
        const double spoken = now();
        voice.Speak(Zh + longChineseText(60));
        expectSoundSoon(spoken);
        QTest::qWait(800);

        // After Pause the monitor falls silent within 200 ms, and stays so.
        QVERIFY(m_recorder->soundBetween(now() - 600, now()));
        const double paused = now();
        voice.Pause();
        QTest::qWait(1200);
        const double resumed = now();
        expectSilence(paused, 200, resumed);

        // After Resume sound comes back.
        voice.Resume();
        expectSoundSoon(resumed);
        QTest::qWait(800);

        // At volume 0 time passes in silence; the speech goes on meanwhile.
        const double muted = now();
        voice.setVolume(0);
        QTest::qWait(1200);
        const double unmuted = now();
        expectSilence(muted, 300, unmuted);
        QVERIFY(!ended);
        voice.setVolume(100);
        expectSoundSoon(unmuted);
        QTest::qWait(500);

        // After release it stops for good.
        const double released = now();
        voice.Disconnect();
        QTest::qWait(1500);
        expectSilence(released, 200, now());
        QVERIFY(!ended);
    }

    void releaseWhilePausedStaysSilent()
    {
        TSpVoice voice;
        voice.Speak(Zh + longChineseText(30));
        const double spoken = now();
        expectSoundSoon(spoken);
        voice.Pause();
        const double paused = now();
        QTest::qWait(300);
        voice.Disconnect();
        QTest::qWait(1000);
        expectSilence(paused, 200, now());
    }

    void mixedTextUsesBothVoices()
    {
        SynthesisLog synthesis;
        TSpVoice voice;
        QStringList voices;
        voice.OnVoiceChange = [&voices](QObject*, const SpeechEvent& e) { voices << e.voiceName; };
        bool ended = false;
        voice.OnEndStream = [&ended](QObject*, const SpeechEvent&) { ended = true; };
        const double spoken = now();
        voice.Speak(Zh + QStringLiteral("【成  语】：一心一意") + En +
                    QStringLiteral("ｈｅｌｌｏ ｗｏｒｌｄ") + Zh + QStringLiteral("好"));
        expectSoundSoon(spoken);
        QTRY_VERIFY_WITH_TIMEOUT(ended, 10000);
        QCOMPARE(synthesis.requests(), (QStringList{"cmn-latn-pinyin:【成  语】：一心一意",
                                                    "en-us:hello world", "cmn-latn-pinyin:好"}));
        QCOMPARE(voices, (QStringList{"cmn-latn-pinyin", "en-us", "cmn-latn-pinyin"}));
    }

    // The sound server goes away and comes back: however the buttons were pressed meanwhile,
    // the failure is told once, and Stop then Play speaks on the server that came back.
    void speechComesBackWithTheSoundServer_data()
    {
        QTest::addColumn<QString>("pressed"); // P Play, A Pause, R Resume, S Stop
        QTest::newRow("nothing") << "";
        QTest::newRow("Play") << "P";
        QTest::newRow("Play again and again") << "PPP";
        QTest::newRow("every button") << "PARSP";
    }
    void speechComesBackWithTheSoundServer()
    {
        QFETCH(QString, pressed);
        PrivateSoundServer server;
        QVERIFY(server.start());
        TSpVoice voice;
        voice.Speak(Zh + longChineseText(60));
        {
            MonitorRecorder heard(m_clock);
            QVERIFY(heard.start(PrivateSoundServer::monitor()));
            QVERIFY(QTest::qWaitFor([&] { return heard.soundBetween(0, now()); }, 10000));
        }
        server.kill();
        // Longer than a client library's one quick retry: the voice has found its output gone.
        QTest::qWait(3500);
        int told = 0;
        for (QChar button : pressed) {
            try {
                switch (button.toLatin1()) {
                case 'P':
                    voice.Speak(Zh + longChineseText(5));
                    break;
                case 'A':
                    voice.Pause();
                    break;
                case 'R':
                    voice.Resume();
                    break;
                case 'S':
                    voice.Disconnect();
                    break;
                }
            } catch (const ESpeechError&) {
                ++told;
            }
            QTest::qWait(300);
        }
        QCOMPARE(told, pressed.isEmpty() ? 0 : 1);

        QVERIFY(server.start());
        voice.Disconnect();
        MonitorRecorder heard(m_clock);
        QVERIFY(heard.start(PrivateSoundServer::monitor()));
        const double played = now();
        voice.Speak(Zh + longChineseText(10));
        QVERIFY2(QTest::qWaitFor([&] { return heard.soundBetween(played, now()); }, 10000),
                 "silence on the server that came back");
        voice.Disconnect();
    }
};

QTEST_GUILESS_MAIN(TestSpeechAudio)
#include "tst_speechaudio.moc"
