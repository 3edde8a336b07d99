#include "SpVoice.h"
#include "SpeechError.h"
#include "SpeechTestSupport.h"
#include "VoiceEngine.h"

#include <QTest>
#include <cmath>

namespace {

const QString Zh = QStringLiteral("<LANG LANGID=\"804\">");
const QString En = QStringLiteral("<LANG LANGID=\"409\">");
constexpr int BytesPerSecond = 44100;

} // namespace

class TestVoiceEngine : public QObject
{
    Q_OBJECT

    std::shared_ptr<MemoryAudioOutput::Tape> m_tape;

    // A voice whose audio plays into m_tape at `speed` times real time.
    std::unique_ptr<SpVoice> newVoice(EventLog* log, double speed)
    {
        m_tape = std::make_shared<MemoryAudioOutput::Tape>();
        VoiceEngine::instance().setAudioOutputFactory(
            MemoryAudioOutput::factory(m_tape, speed, qint64(5292 * speed)));
        auto voice = std::make_unique<SpVoice>();
        // A new voice starts as the last one was set; each test starts from the normal ones.
        voice->setVolume(100);
        voice->setRate(0);
        voice->attachEventSink(log);
        return voice;
    }

    // A few idioms as the store would give them, one with damaged pinyin.
    static void useLexicon()
    {
        VoiceEngine::instance().setLexiconSource([] {
            SpeechLexicon lexicon;
            lexicon.add(QStringLiteral("望洋兴叹"), QStringLiteral("wàng yáng xīng tàn"));
            lexicon.add(QStringLiteral("重三迭四"), QStringLiteral("chóng sān dié sì"));
            lexicon.add(QStringLiteral("打草惊蛇"), QStringLiteral("dǎ cǎo jīng shé"));
            lexicon.add(QStringLiteral("苍白无力"), QStringLiteral("āng bái búi lì"));
            return lexicon;
        });
    }

    // Bytes of audio the voice makes of `text` at `rate`, from its end event.
    qint64 spokenLength(const QString& text, int rate)
    {
        EventLog log;
        auto voice = newVoice(&log, 50);
        voice->setRate(rate);
        const int stream = voice->Speak(text, SVSFlagsAsync);
        if (!QTest::qWaitFor([&] { return log.has(SpeechEvent::EndStream, stream); }, 20000))
            return -1;
        return log.find(SpeechEvent::EndStream, stream)->streamPosition;
    }

private slots:
    void cleanup() { VoiceEngine::instance().setLexiconSource(nullptr); }

    void textsQueueBehindEachOther()
    {
        EventLog log;
        auto voice = newVoice(&log, 20);
        QCOMPARE(voice->Speak(Zh + QStringLiteral("一心一意"), SVSFlagsAsync), 1);
        QCOMPARE(voice->Speak(QStringLiteral("三心二意"), SVSFlagsAsync), 2);
        QCOMPARE(voice->Speak(En + QStringLiteral("ｏｋ"), SVSFlagsAsync), 3);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, 3), 10000);
        QCOMPARE(log.streamOrder(), QStringLiteral("S1 E1 S2 E2 S3 E3"));
        // Each text's audio is all on the tape, one after the other.
        qint64 total = 0;
        for (int stream = 1; stream <= 3; ++stream) {
            const qint64 length = log.find(SpeechEvent::EndStream, stream)->streamPosition;
            QVERIFY2(length > BytesPerSecond / 4, qPrintable(QString::number(length)));
            total += length;
        }
        QTRY_COMPARE(tapeSize(*m_tape), total);
        QVERIFY(peak(tapeBytes(*m_tape)) > 3000);
    }

    void wordEventsPointIntoTheText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words"); // position+length in the text
        QTest::addColumn<QStringList>("voices");
        QTest::newRow("both voices")
            << Zh + QStringLiteral("一心，") + En + QStringLiteral("ｈｅｌｌｏ ｗｏｒｌｄ")
            << QStringList{"19+1", "20+1", "41+5", "47+5"}
            << QStringList{"cmn-latn-pinyin", "en-us"};
        // Spoken as its pinyin, each syllable still points at its character.
        QTest::newRow("an idiom of the lexicon")
            << Zh + QStringLiteral("他望洋兴叹。")
            << QStringList{"19+1", "20+1", "21+1", "22+1", "23+1"}
            << QStringList{"cmn-latn-pinyin"};
    }
    void wordEventsPointIntoTheText()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QFETCH(QStringList, voices);
        useLexicon();
        EventLog log;
        auto voice = newVoice(&log, 50);
        const int stream = voice->Speak(text, SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, stream), 10000);
        QStringList got;
        for (const SpeechEvent& e : log.of(SpeechEvent::Word))
            got << QStringLiteral("%1+%2").arg(e.characterPosition).arg(e.length);
        QCOMPARE(got, words);
        QStringList gotVoices;
        for (const SpeechEvent& e : log.of(SpeechEvent::VoiceChange))
            gotVoices << e.voiceName;
        QCOMPARE(gotVoices, voices);
    }

    // What the synthesiser is given, as "voice:text": Chinese never goes to a voice that reads
    // it as English, and an idiom of the lexicon goes as its pinyin.
    void whatReachesTheSynthesiser_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("requests");
        QTest::newRow("mixed text")
            << Zh + QStringLiteral("【成  语】：") + En + QStringLiteral("ｏｋ") + Zh +
                   QStringLiteral("  12。")
            << QStringList{"cmn-latn-pinyin:【成  语】：", "en-us:ok", "cmn-latn-pinyin:  12。"};
        QTest::newRow("plain text as it is")
            << QStringLiteral("a<b>ｃ") << QStringList{"cmn-latn-pinyin:a<b>ｃ"};
        QTest::newRow("an idiom line, plain text")
            << QStringLiteral("【成  语】：望洋兴叹")
            << QStringList{"cmn-latn-pinyin:【成  语】： wàng yáng xīng tàn "};
        QTest::newRow("an idiom line, mixed text")
            << Zh + QStringLiteral("【成  语】：重三迭四") + En + QStringLiteral("ａ")
            << QStringList{"cmn-latn-pinyin:【成  语】： chóng sān dié sì ", "en-us:a"};
        QTest::newRow("two third tones")
            << QStringLiteral("打草惊蛇") << QStringList{"cmn-latn-pinyin: dǎ cǎo jīng shé "};
        QTest::newRow("quoted in an explanation")
            << QStringLiteral("【解  释】：比喻望洋兴叹。")
            << QStringList{"cmn-latn-pinyin:【解  释】：比喻 wàng yáng xīng tàn 。"};
        QTest::newRow("damaged pinyin: the characters")
            << QStringLiteral("苍白无力") << QStringList{"cmn-latn-pinyin:苍白无力"};
    }
    void whatReachesTheSynthesiser()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, requests);
        useLexicon();
        SynthesisLog synthesis;
        EventLog log;
        auto voice = newVoice(&log, 50);
        const int stream = voice->Speak(text, SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, stream), 10000);
        QCOMPARE(synthesis.requests(), requests);
    }

    void pauseHaltsAndResumeGoesOn()
    {
        const QString text = longChineseText(6);
        const qint64 unpaused = spokenLength(text, 0);
        QVERIFY(unpaused > 4 * BytesPerSecond);

        EventLog log;
        auto voice = newVoice(&log, 4);
        const int stream = voice->Speak(text, SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(tapeSize(*m_tape) > BytesPerSecond, 5000);
        voice->Pause();
        QTRY_VERIFY(m_tape->suspended);
        QTest::qWait(50);
        const qint64 atPause = tapeSize(*m_tape);
        QTest::qWait(400); // at four times real time, 1.6 s of speech would have passed
        QCOMPARE(tapeSize(*m_tape), atPause);
        QVERIFY(!log.has(SpeechEvent::EndStream, stream));

        voice->Resume();
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, stream), 10000);
        QVERIFY(!m_tape->suspended);
        // Nothing was lost or repeated across the pause (synthesis varies by a few samples).
        const qint64 length = log.find(SpeechEvent::EndStream, stream)->streamPosition;
        QVERIFY2(std::abs(length - unpaused) < BytesPerSecond / 20,
                 qPrintable(QStringLiteral("%1 vs %2").arg(length).arg(unpaused)));
        QTRY_COMPARE(tapeSize(*m_tape), length);
    }

    void textSpokenWhilePausedWaitsForResume()
    {
        EventLog log;
        auto voice = newVoice(&log, 20);
        voice->Pause();
        const int stream = voice->Speak(Zh + QStringLiteral("一心一意"), SVSFlagsAsync);
        QTest::qWait(300);
        QCOMPARE(tapeSize(*m_tape), 0);
        QVERIFY(!log.has(SpeechEvent::StartStream, stream));
        voice->Resume();
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, stream), 10000);
        QVERIFY(tapeSize(*m_tape) > 0);
    }

    void releaseEndsAllSpeech_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::newRow("speaking") << false;
        QTest::newRow("paused") << true;
    }
    void releaseEndsAllSpeech()
    {
        QFETCH(bool, paused);
        EventLog log;
        auto voice = newVoice(&log, 2);
        voice->Speak(longChineseText(20), SVSFlagsAsync);
        voice->Speak(longChineseText(20), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(tapeSize(*m_tape) > BytesPerSecond / 2, 5000);
        if (paused)
            voice->Pause();
        voice.reset();
        QTRY_COMPARE(m_tape->closed, 1);
        const qint64 atRelease = tapeSize(*m_tape);
        QVERIFY(atRelease < 4 * BytesPerSecond);
        QTest::qWait(400);
        QCOMPARE(tapeSize(*m_tape), atRelease);
        QVERIFY(!log.has(SpeechEvent::EndStream, 1));
    }

    void fiftyPlaysQueueAndOneReleaseEndsThemAll()
    {
        EventLog log;
        auto voice = newVoice(&log, 4);
        for (int i = 1; i <= 50; ++i)
            QCOMPARE(voice->Speak(Zh + QStringLiteral("一言九鼎，驷马难追。"), SVSFlagsAsync), i);
        // They play one after the other, in order.
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, 2), 10000);
        QVERIFY(!log.has(SpeechEvent::StartStream, 4) || log.has(SpeechEvent::EndStream, 3));
        voice.reset();
        QTRY_COMPARE(m_tape->closed, 1);
        const qint64 atRelease = tapeSize(*m_tape);
        QTest::qWait(400);
        QCOMPARE(tapeSize(*m_tape), atRelease);
        QVERIFY(!log.has(SpeechEvent::EndStream, 50));
    }

    void volumeScalesTheAudio_data()
    {
        QTest::addColumn<int>("volume");
        QTest::newRow("0") << 0;
        QTest::newRow("25") << 25;
        QTest::newRow("50") << 50;
        QTest::newRow("above range") << 150;
    }
    void volumeScalesTheAudio()
    {
        QFETCH(int, volume);
        const QString text = Zh + QStringLiteral("一心一意");
        EventLog log;
        auto voice = newVoice(&log, 50);
        QCOMPARE(voice->Volume(), 100);
        voice->Speak(text, SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, 1), 10000);
        QTRY_VERIFY(tapeSize(*m_tape) > 0);
        const int full = peak(tapeBytes(*m_tape));
        QVERIFY(full > 3000);

        voice->setVolume(volume);
        QCOMPARE(voice->Volume(), qBound(0, volume, 100));
        const qint64 before = tapeSize(*m_tape);
        voice->Speak(text, SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, 2), 10000);
        const int expected = full * qBound(0, volume, 100) / 100;
        const int got = peak(tapeBytes(*m_tape, before));
        QVERIFY2(std::abs(got - expected) <= full / 50 + 1,
                 qPrintable(QStringLiteral("peak %1, expected %2").arg(got).arg(expected)));
    }

    void aNewVoiceSpeaksAsTheLastOneWasSet()
    {
        EventLog log;
        newVoice(&log, 50)->setVolume(30);
        {
            SpVoice other;
            other.setRate(4);
        }
        SpVoice next;
        QCOMPARE(next.Volume(), 30);
        QCOMPARE(next.Rate(), 4);
        next.setVolume(100);
        next.setRate(0);
    }

    void volumeActsOnWhatIsPlaying()
    {
        EventLog log;
        auto voice = newVoice(&log, 1);
        const int stream = voice->Speak(longChineseText(10), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(tapeSize(*m_tape) > BytesPerSecond / 2, 5000);
        voice->setVolume(0);
        const qint64 atChange = tapeSize(*m_tape);
        QTest::qWait(800);
        // Past what the output already held, the time went by in silence.
        const QByteArray quiet = tapeBytes(*m_tape, atChange + 5292);
        QVERIFY2(quiet.size() > BytesPerSecond / 2, qPrintable(QString::number(quiet.size())));
        QCOMPARE(peak(quiet), 0);
        QVERIFY(!log.has(SpeechEvent::EndStream, stream));

        voice->setVolume(100);
        const qint64 atLoud = tapeSize(*m_tape);
        QTRY_VERIFY_WITH_TIMEOUT(peak(tapeBytes(*m_tape, atLoud + 5292)) > 3000, 3000);
    }

    void rateChangesSpeed_data()
    {
        QTest::addColumn<int>("rate");
        QTest::newRow("-5") << -5;
        QTest::newRow("-1") << -1;
        QTest::newRow("3") << 3;
        QTest::newRow("5") << 5;
    }
    void rateChangesSpeed()
    {
        QFETCH(int, rate);
        const QString text = longChineseText(6);
        const double normal = spokenLength(text, 0);
        const double changed = spokenLength(text, rate);
        QVERIFY(normal > 0 && changed > 0);
        // Each step is about 1.1 times faster; pauses do not scale quite the same way.
        const double speedUp = normal / changed;
        const double expected = std::pow(1.1, rate);
        QVERIFY2(speedUp > expected * 0.85 && speedUp < expected * 1.15,
                 qPrintable(QStringLiteral("speed-up %1, expected %2").arg(speedUp).arg(expected)));
    }

    void rateActsOnWhatIsQueued()
    {
        const QString text = longChineseText(12);
        const qint64 normal = spokenLength(text, 0);
        const qint64 fast = spokenLength(text, 5);

        EventLog reference;
        {
            auto voice = newVoice(&reference, 50);
            voice->Speak(text, SVSFlagsAsync);
            QTRY_VERIFY_WITH_TIMEOUT(reference.has(SpeechEvent::EndStream, 1), 10000);
        }
        EventLog log;
        auto voice = newVoice(&log, 4);
        const int stream = voice->Speak(text, SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(tapeSize(*m_tape) > 2 * BytesPerSecond, 5000);
        voice->setRate(5);
        QCOMPARE(voice->Rate(), 5);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, stream), 15000);
        const qint64 length = log.find(SpeechEvent::EndStream, stream)->streamPosition;
        QVERIFY2(
            length < normal - BytesPerSecond && length > fast,
            qPrintable(QStringLiteral("%1: normal %2, fast %3").arg(length).arg(normal).arg(fast)));
        // Every word was spoken once, in order, across the change.
        auto positions = [](const EventLog& l) {
            QList<qsizetype> p;
            for (const SpeechEvent& e : l.of(SpeechEvent::Word))
                p << e.characterPosition;
            return p;
        };
        QCOMPARE(positions(log), positions(reference));
        QTRY_COMPARE(tapeSize(*m_tape), length);
    }

    void purgeBeforeSpeakDropsEarlierTexts()
    {
        EventLog log;
        auto voice = newVoice(&log, 2);
        voice->Speak(longChineseText(30), SVSFlagsAsync);
        voice->Speak(longChineseText(30), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::StartStream, 1), 5000);
        const int stream =
            voice->Speak(Zh + QStringLiteral("好"), SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        QCOMPARE(stream, 3);
        QTRY_VERIFY_WITH_TIMEOUT(log.has(SpeechEvent::EndStream, stream), 5000);
        QCOMPARE(log.streamOrder(), QStringLiteral("S1 S3 E3"));
    }

    void fileNamesAreRefused()
    {
        EventLog log;
        auto voice = newVoice(&log, 50);
        QVERIFY_THROWS_EXCEPTION(ESpeechError, voice->Speak("/etc/hostname", SVSFIsFilename));
        QCOMPARE(voice->Speak(QStringLiteral("好"), SVSFlagsAsync), 1);
    }

    void longTextIsSynthesisedAsPlaybackNeedsIt()
    {
        // Three minutes of speech: synthesis runs ahead by a bounded amount only.
        SynthesisLog synthesis;
        EventLog log;
        auto voice = newVoice(&log, 1);
        voice->Speak(longChineseText(180), SVSFlagsAsync);
        QTRY_VERIFY_WITH_TIMEOUT(tapeSize(*m_tape) > BytesPerSecond / 4, 5000);
        QTest::qWait(300);
        const qsizetype pieces = synthesis.requests().size();
        QVERIFY2(pieces > 3 && pieces < 20, qPrintable(QString::number(pieces)));
    }
};

QTEST_GUILESS_MAIN(TestVoiceEngine)
#include "tst_voiceengine.moc"
