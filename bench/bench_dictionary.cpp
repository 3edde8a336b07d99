// The dictionary's own figures on the full idiom store, with the floors beside them:
//  - search for "yi", "yyjd", "%" (pinyin) and "一" (characters), filling the result list;
//    floor: the sqlite3 command-line tool running the same statement on the same file; and
//    two searches found only by the second try ("yi yan jiu ding", traditional "畫龍點睛"),
//    whose floor is the typed statement's;
//  - OpenCC's set-up, paid once by the first search that needs it;
//  - showing an entry (lookup, entry text, view);
//  - Play to the first audio frame handed to the sound output, for a typical entry;
//  - the mixed-mode walk for the longest entry of the store, with the gauge.
//
//   build/bench/bench_dictionary [runs]
//
// Lines starting with "table|" are for bench/perf-table.sh. Uses $DISPLAY when set, else the
// offscreen platform; the sound goes to $PULSE_SERVER's default sink when there is one.

#include "AppPaths.h"
#include "BrowserEngine.h"
#include "DbQuery.h"
#include "Gauges.h"
#include "Gbk.h"
#include "ISpeechVoice.h"
#include "ListBox.h"
#include "MessageDialogs.h"
#include "RichEdit.h"
#include "SimplifiedChinese.h"
#include "SpeechLib_TLB.h"
#include "SpeechText.h"
#include "Statements.h"
#include "VoiceEngine.h"
#include "uFrmMain.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMutex>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cstdio>

namespace {

double median(QList<double> v)
{
    if (v.isEmpty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

QString describe(QList<double> v, const char* unit)
{
    if (v.isEmpty())
        return QStringLiteral("no samples");
    std::sort(v.begin(), v.end());
    return QStringLiteral("median %1 %4, min %2 %4, max %3 %4")
        .arg(v[v.size() / 2], 0, 'f', 2)
        .arg(v.first(), 0, 'f', 2)
        .arg(v.last(), 0, 'f', 2)
        .arg(QLatin1String(unit));
}

void tableLine(const QString& name, double ours, const QString& unit, double floorValue = -1)
{
    std::printf("table|%s|%.2f|%s|%s\n", qPrintable(name), ours, qPrintable(unit),
                floorValue < 0 ? "" : qPrintable(QString::number(floorValue, 'f', 2)));
}

// The sqlite3 tool's own timing of a statement ("Run Time: real 0.012 ..."), in ms.
double sqliteFloorMs(const QString& db, const QString& statement, int runs)
{
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {QStringLiteral("-readonly"), db});
        p.write(".timer on\n" + statement.toUtf8() + ";\n");
        p.closeWriteChannel();
        if (!p.waitForFinished(30000))
            return -1;
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("Run Time: real ([0-9.]+)")).match(out);
        if (!m.hasMatch())
            return -1;
        ms.append(m.captured(1).toDouble() * 1000.0);
    }
    return median(ms);
}

struct Search
{
    const char* label;
    QString text;
    bool pinyin;
};

void searches(TFrmMain& w, const QString& db, int runs)
{
    // OpenCC reads its dictionaries on the first conversion: paid once, by the first search
    // that needs a second try in character mode, never at start-up.
    QElapsedTimer setUp;
    setUp.start();
    SimplifiedChinese::fromTraditional(QStringLiteral("畫"));
    const double openccMs = setUp.nsecsElapsed() / 1e6;
    std::printf("OpenCC t2s set-up, paid by the first search that needs it: %.1f ms\n", openccMs);
    tableLine(QStringLiteral("OpenCC set-up (once, first traditional-character search)"), openccMs,
              QStringLiteral("ms"), -1);

    const Search all[] = {{"yi", QStringLiteral("yi"), true},
                          {"yyjd", QStringLiteral("yyjd"), true},
                          {"一", QStringLiteral("一"), false},
                          {"%", QStringLiteral("%"), true},
                          {"yi yan jiu ding", QStringLiteral("yi yan jiu ding"), true},
                          {"畫龍點睛", QStringLiteral("畫龍點睛"), false}};
    for (const Search& s : all) {
        (s.pinyin ? w.RadPinYin : w.RadHanZi)->setChecked(true);
        QList<double> ms;
        for (int i = 0; i < runs; ++i) {
            w.edSou->setText(s.text);
            QElapsedTimer t;
            t.start();
            w.BitBtn2Click(w.BitBtn2);
            ms.append(t.nsecsElapsed() / 1e6);
            QApplication::processEvents();
        }
        const QByteArray text = Gbk::fromUnicode(s.text);
        const QString statement = Gbk::toUnicode(s.pinyin ? Statements::pinyinSearch(text)
                                                          : Statements::characterSearch(text));
        const double floorMs = sqliteFloorMs(db, statement, 5);
        std::printf("search \"%s\" (%d results, filling the list): %s; sqlite3 alone: %.2f ms "
                    "(goal < 30 ms)\n",
                    s.label, w.ListBox2->count(), qPrintable(describe(ms, "ms")), floorMs);
        tableLine(QStringLiteral("search \"%1\"").arg(QString::fromUtf8(s.label)), median(ms),
                  QStringLiteral("ms"), floorMs);
    }
}

void entries(TFrmMain& w, const QString& db, int runs)
{
    QList<double> ms;
    auto* rng = QRandomGenerator::global();
    for (int i = 0; i < runs; ++i) {
        const QString idiom = w.ListBox1->itemText(int(rng->bounded(w.ListBox1->count())));
        QElapsedTimer t;
        t.start();
        w.SlectChengYu(Gbk::fromUnicode(idiom));
        ms.append(t.nsecsElapsed() / 1e6);
        QApplication::processEvents();
    }
    const double floorMs =
        sqliteFloorMs(db, QStringLiteral("select * from ChenYu where ChengYu = '一言九鼎'"), 5);
    std::printf("entry shown (lookup, text, view): %s; sqlite3 lookup alone: %.2f ms "
                "(goal < 10 ms)\n",
                qPrintable(describe(ms, "ms")), floorMs);
    tableLine(QStringLiteral("entry shown"), median(ms), QStringLiteral("ms"), floorMs);
}

struct AudioWatch
{
    QMutex mutex;
    QList<qint64> firstAudioNs; // after Speak
    qint64 samples = 0, synthNs = 0;
};

void playToFirstAudio(TFrmMain& w, AudioWatch& watch, int runs)
{
    w.YName->setCurrentIndex(0);
    w.SlectChengYu(Gbk::fromUnicode(u"一言九鼎"));
    QList<double> ms;
    for (int i = 0; i < runs; ++i) {
        w.CloseClick(w.bStop);
        w.TraSoundChange(w.TraSound); // the voice is there before Play, as in use
        QTest::qWait(200);
        qsizetype before;
        {
            QMutexLocker lock(&watch.mutex);
            before = watch.firstAudioNs.size();
        }
        QElapsedTimer t;
        t.start();
        w.PlayClick(w.bPlay);
        const qint64 playNs = t.nsecsElapsed();
        const bool arrived = QTest::qWaitFor(
            [&] {
                QMutexLocker lock(&watch.mutex);
                return watch.firstAudioNs.size() > before;
            },
            5000);
        if (arrived) {
            QMutexLocker lock(&watch.mutex);
            ms.append((playNs + watch.firstAudioNs.last()) / 1e6);
        }
    }
    w.CloseClick(w.bStop);
    std::printf("Play to the first audio frame handed to the sound output: %s (goal < 150 ms)\n",
                qPrintable(describe(ms, "ms")));
    tableLine(QStringLiteral("Play to first audio"), median(ms), QStringLiteral("ms"));
}

// espeak-ng's own tool synthesising the same text into a file, as multiples of real time.
double espeakFloor(const QString& text, const char* voice)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("espeak-ng"),
            {QStringLiteral("-v"), QLatin1String(voice), QStringLiteral("--stdout"), text});
    QByteArray wav;
    while (p.state() != QProcess::NotRunning || p.bytesAvailable() > 0) {
        p.waitForReadyRead(100);
        wav += p.readAllStandardOutput();
    }
    const double seconds = t.nsecsElapsed() / 1e9;
    const qint64 bytes = qMax<qint64>(0, wav.size() - 44); // a WAV file: 22050 Hz, 16 bit, mono
    return seconds > 0 ? (bytes / 2.0 / 22050.0) / seconds : -1;
}

void synthesisSpeed(TFrmMain& w, AudioWatch& watch)
{
    {
        QMutexLocker lock(&watch.mutex);
        watch.samples = watch.synthNs = 0;
    }
    QString chinese = w.RichText->toPlainText();
    for (int i = 0; i < 3; ++i)
        chinese += chinese;
    w.SpVoice1->setVolume(0);
    w.SpVoice1->Speak(SpeechText::chineseTag() + chinese, SVSFlagsAsync);
    QTest::qWait(3000);
    w.CloseClick(w.bStop);
    QMutexLocker lock(&watch.mutex);
    const double ours = watch.synthNs > 0 ? (watch.samples / 22050.0) / (watch.synthNs / 1e9) : -1;
    const double floorSpeed = espeakFloor(chinese, "cmn-latn-pinyin");
    std::printf("synthesis speed (Mandarin): %.0f times real time; espeak-ng's own tool: %.0f "
                "times (start-up included)\n",
                ours, floorSpeed);
    tableLine(QStringLiteral("synthesis speed"), ours, QStringLiteral("x real time"), floorSpeed);
}

void mixedWalk(TFrmMain& w, const QString& db, int runs)
{
    // The longest entry of the store.
    DbQuery q;
    q.setConnection(w.ADOConnection1);
    Statements::run(q, "select ChengYu from ChenYu order by length(PingYin) + length(DianGu) + "
                       "length(LiZi) + length(Chuchu) desc");
    const QByteArray idiom = q.fieldAsGbk(Fields::Idiom);
    w.SlectChengYu(idiom);
    const QByteArray source = Gbk::fromUnicode(w.RichText->text());
    Q_UNUSED(db);

    QList<double> pure, withGauge;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        SpeechText::WalkState state;
        int spoken = 0;
        SpeechText::mixedWalk(
            SpeechText::mixedReplacements(source), state, [](int v) { return qBound(0, v, 100); },
            [&](const QByteArray&) { ++spoken; });
        pure.append(t.nsecsElapsed() / 1e6);
    }
    // Through Play, with the gauge painting itself at each whole percent; the voice is a mute
    // stand-in so that only the walk is timed.
    struct Mute : ISpeechVoice
    {
        int Speak(const QString&, int) override { return 1; }
        void Pause() override {}
        void Resume() override {}
        int Volume() const override { return 100; }
        void setVolume(int) override {}
        int Rate() const override { return 0; }
        void setRate(int) override {}
        void attachEventSink(ISpeechVoiceEvents*) override {}
        void detachEventSink(ISpeechVoiceEvents*) override {}
    };
    w.SpVoice1->Disconnect();
    w.SpVoice1->setVoiceFactory([] { return std::make_shared<Mute>(); });
    w.YName->setCurrentIndex(1);
    for (int i = 0; i < runs; ++i) {
        w.Gauge1->setProgress(0);
        QElapsedTimer t;
        t.start();
        w.PlayClick(w.bPlay);
        withGauge.append(t.nsecsElapsed() / 1e6);
    }
    std::printf("mixed-mode walk of the longest entry (%s, %lld bytes): %s alone, %s through "
                "Play with the gauge\n",
                qPrintable(Gbk::toUnicode(idiom)), qlonglong(source.size()),
                qPrintable(describe(pure, "ms")), qPrintable(describe(withGauge, "ms")));
    tableLine(QStringLiteral("mixed walk, longest entry (Play)"), median(withGauge),
              QStringLiteral("ms"));
}

} // namespace

int main(int argc, char** argv)
{
    // The windows made here keep their learner's file in a folder of the run's own.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    prepareBrowserEngine();
    QApplication app(argc, argv);
    MessageDialogs::installErrorReporter();
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    AppPaths::setExecutableFileForTests(QStringLiteral(WQ_WENQUELL_EXE));
    const QString db = QStringLiteral(WQ_BUILD_DIR "/data/EduData.db");

    AudioWatch watch;
    EngineHooks hooks;
    hooks.firstAudio = [&watch](quint64, int, qint64 ns) {
        QMutexLocker lock(&watch.mutex);
        watch.firstAudioNs.append(ns);
    };
    hooks.synthesized = [&watch](const QString&, qint64 samples, qint64 ns) {
        QMutexLocker lock(&watch.mutex);
        watch.samples += samples;
        watch.synthNs += ns;
    };
    VoiceEngine::instance().setHooks(hooks);

    TFrmMain w;
    FrmMain = &w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    if (w.ListBox1->count() == 0) {
        std::fprintf(stderr, "The idiom store is empty or missing: build it first (./run.sh).\n");
        return 1;
    }
    std::printf("idiom store: %d idioms; %d runs each\n", w.ListBox1->count(), runs);
    searches(w, db, runs);
    entries(w, db, runs * 5);
    playToFirstAudio(w, watch, std::max(3, runs / 4));
    synthesisSpeed(w, watch);
    mixedWalk(w, db, runs);
    FrmMain = nullptr;
    return 0;
}
