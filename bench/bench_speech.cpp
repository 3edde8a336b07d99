// Speech figures: how long Speak takes on the GUI thread, how long from Speak until the first
// audio reaches the audio output, and how fast espeak-ng synthesises. Prints, asserts nothing.
#include "ISpeechVoiceEvents.h"
#include "MemoryAudioOutput.h"
#include "SoundServerProbe.h"
#include "SpVoice.h"
#include "VoiceEngine.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMutex>
#include <QTest>
#include <algorithm>
#include <cstdio>

namespace {

const QString Zh = QStringLiteral("<LANG LANGID=\"804\">");
const QString En = QStringLiteral("<LANG LANGID=\"409\">");

// An entry as the entry view shows it.
const QString Entry =
    QStringLiteral("【成  语】：一心一意\r\n"
                   "【拼  音】：yī xīn yī yì\r\n"
                   "【解  释】：只有一个心思，没有别的打算。形容做事专心，意志坚定。\r\n"
                   "【举  例】：他一心一意地学习，终于考上了大学。\r\n"
                   "【出  处】：古书中的说法，后来成为常用的成语。");

// The all-Chinese speech text of the entry.
QString chineseText()
{
    QString text = Entry;
    text.replace(u'.', u'。');
    return Zh + text;
}

// A mixed text like the one the mixed mode makes: Latin letters in English sections.
QString mixedText()
{
    QString text;
    int state = -1;
    for (QChar c : Entry) {
        const bool latin = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (latin && state != 1) {
            text += En;
            state = 1;
        } else if (!latin && state != 0) {
            text += Zh;
            state = 0;
        }
        text += latin ? QChar(char16_t(c.toLower().unicode() + 0xFEE0)) : c;
    }
    return text;
}

struct EndWatcher : ISpeechVoiceEvents
{
    void speechEvent(const SpeechEvent& event) override
    {
        if (event.kind == SpeechEvent::EndStream)
            lastEnded = event.streamNumber;
    }
    int lastEnded = 0;
};

struct Figures
{
    QMutex mutex;
    QList<double> firstAudioMs;
    qint64 samples[2] = {0, 0};
    qint64 nanoseconds[2] = {0, 0};
};

void watch(Figures* figures)
{
    EngineHooks hooks;
    hooks.firstAudio = [figures](quint64, int, qint64 ns) {
        QMutexLocker lock(&figures->mutex);
        figures->firstAudioMs << ns / 1e6;
    };
    hooks.synthesized = [figures](const QString& voice, qint64 samples, qint64 ns) {
        QMutexLocker lock(&figures->mutex);
        const int i = voice.startsWith(QLatin1String("cmn")) ? 0 : 1;
        figures->samples[i] += samples;
        figures->nanoseconds[i] += ns;
    };
    VoiceEngine::instance().setHooks(hooks);
}

QString summary(QList<double> values, const char* unit)
{
    if (values.isEmpty())
        return QStringLiteral("no samples");
    std::sort(values.begin(), values.end());
    return QStringLiteral("median %1 %4, min %2 %4, max %3 %4 (%5 runs)")
        .arg(values[values.size() / 2], 0, 'f', 2)
        .arg(values.first(), 0, 'f', 2)
        .arg(values.last(), 0, 'f', 2)
        .arg(QLatin1String(unit))
        .arg(values.size());
}

void speakCallTime(const QString& label, const QString& text, int runs)
{
    QList<double> micros;
    SpVoice voice;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        voice.Speak(text, SVSFlagsAsync | (i ? SVSFPurgeBeforeSpeak : 0));
        micros << clock.nsecsElapsed() / 1e3;
    }
    std::printf("Speak call, %s (%lld characters): %s\n", qPrintable(label), qlonglong(text.size()),
                qPrintable(summary(micros, "us")));
}

void firstAudio(Figures& figures, const QString& label, const QString& text, int runs)
{
    {
        QMutexLocker lock(&figures.mutex);
        figures.firstAudioMs.clear();
    }
    for (int i = 0; i < runs; ++i) {
        SpVoice voice;
        QTest::qWait(200); // the voice's output is open, as it is long before Play
        const qsizetype before = figures.firstAudioMs.size();
        voice.Speak(text, SVSFlagsAsync);
        const bool arrived = QTest::qWaitFor(
            [&] {
                QMutexLocker lock(&figures.mutex);
                return figures.firstAudioMs.size() > before;
            },
            5000);
        if (!arrived)
            std::printf("  run %d: no audio within 5 s\n", i + 1);
    }
    QMutexLocker lock(&figures.mutex);
    std::printf("Speak to first audio frame handed to the output, %s: %s (goal < 150 ms)\n",
                qPrintable(label), qPrintable(summary(figures.firstAudioMs, "ms")));
}

void synthesisSpeed(Figures& figures)
{
    auto tape = std::make_shared<MemoryAudioOutput::Tape>();
    VoiceEngine::instance().setAudioOutputFactory(MemoryAudioOutput::factory(tape, 10000, 1 << 30));
    {
        QMutexLocker lock(&figures.mutex);
        figures.samples[0] = figures.samples[1] = 0;
        figures.nanoseconds[0] = figures.nanoseconds[1] = 0;
    }
    QString chinese = Zh;
    QString english = En;
    for (int i = 0; i < 20; ++i) {
        chinese += Entry.section(u'：', 3, 3);
        english += QStringLiteral("With one heart and one mind, wholly devoted to the task. ");
    }
    SpVoice voice;
    EndWatcher ends;
    voice.attachEventSink(&ends);
    voice.Speak(chinese, SVSFlagsAsync);
    const int last = voice.Speak(english, SVSFlagsAsync);
    if (!QTest::qWaitFor([&] { return ends.lastEnded == last; }, 60000))
        std::printf("Synthesis: the texts did not end within a minute\n");
    QMutexLocker lock(&figures.mutex);
    const char* names[2] = {"Mandarin (cmn)", "English (en-us)"};
    for (int i = 0; i < 2; ++i) {
        const double audio = figures.samples[i] / 22050.0;
        const double seconds = figures.nanoseconds[i] / 1e9;
        std::printf("Synthesis, %s: %.1f s of audio in %.0f ms = %.0f times real time\n", names[i],
                    audio, seconds * 1000, seconds > 0 ? audio / seconds : 0.0);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    Figures figures;
    watch(&figures);

    const bool soundCard = SoundServerProbe::unreachableReason().isEmpty();
    auto tape = std::make_shared<MemoryAudioOutput::Tape>();
    if (!soundCard)
        VoiceEngine::instance().setAudioOutputFactory(MemoryAudioOutput::factory(tape, 1));
    std::printf("Audio output: %s\n",
                soundCard ? "the sound server (libpulse)" : "memory (no sound server reachable)");

    // Start the engine (espeak-ng loads its data and both voices) as the window does at start.
    {
        SpVoice warmUp;
        warmUp.setVolume(100);
        QTest::qWait(1000);
    }

    speakCallTime(QStringLiteral("typical entry, all Chinese"), chineseText(), 200);
    QString huge;
    while (huge.size() < 1000000)
        huge += chineseText();
    speakCallTime(QStringLiteral("one million characters"), huge, 20);

    firstAudio(figures, QStringLiteral("typical entry, all Chinese"), chineseText(), 15);
    firstAudio(figures, QStringLiteral("typical entry, mixed"), mixedText(), 15);
    synthesisSpeed(figures);
    VoiceEngine::instance().setHooks({});
    return 0;
}
