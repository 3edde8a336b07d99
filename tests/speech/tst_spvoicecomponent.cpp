#include "SpeechError.h"
#include "SpeechLib_TLB.h"

#include <QTest>

namespace {

// Records what the component does with its voice objects.
struct Journal
{
    QStringList calls;
    int created = 0;
    int alive = 0;
};

class FakeVoice : public ISpeechVoice
{
public:
    FakeVoice(Journal* journal, int number) : m_journal(journal), m_number(number)
    {
        ++m_journal->alive;
    }
    ~FakeVoice() override
    {
        --m_journal->alive;
        log(QStringLiteral("released"));
    }

    int Speak(const QString& text, int flags) override
    {
        log(QStringLiteral("Speak(%1,%2)").arg(text).arg(flags));
        return 1;
    }
    void Pause() override { log(QStringLiteral("Pause")); }
    void Resume() override { log(QStringLiteral("Resume")); }
    int Volume() const override { return m_volume; }
    void setVolume(int volume) override
    {
        m_volume = volume;
        log(QStringLiteral("Volume=%1").arg(volume));
    }
    int Rate() const override { return m_rate; }
    void setRate(int rate) override
    {
        m_rate = rate;
        log(QStringLiteral("Rate=%1").arg(rate));
    }
    void attachEventSink(ISpeechVoiceEvents* sink) override
    {
        sinkAttached = sink;
        log(QStringLiteral("attach"));
    }
    void detachEventSink(ISpeechVoiceEvents* sink) override
    {
        if (sink == sinkAttached)
            sinkAttached = nullptr;
        log(QStringLiteral("detach"));
    }

    ISpeechVoiceEvents* sinkAttached = nullptr;

private:
    void log(const QString& what)
    {
        m_journal->calls << QStringLiteral("v%1.%2").arg(m_number).arg(what);
    }

    Journal* m_journal;
    int m_number;
    int m_volume = 100;
    int m_rate = 0;
};

void useFakes(TSpVoice& component, Journal& journal)
{
    component.setVoiceFactory(
        [&journal] { return std::make_shared<FakeVoice>(&journal, ++journal.created); });
}

SpeechEvent makeEvent(SpeechEvent::Kind kind, int stream, qsizetype characterPosition = 0)
{
    SpeechEvent e;
    e.kind = kind;
    e.streamNumber = stream;
    e.characterPosition = characterPosition;
    return e;
}

} // namespace

class TestSpVoiceComponent : public QObject
{
    Q_OBJECT
private slots:
    void startsDisconnected()
    {
        TSpVoice component;
        QCOMPARE(component.AutoConnect(), false);
        QCOMPARE(component.ConnectKind(), ckRunningOrNew);
        QVERIFY(!component.connected());
        component.Loaded(); // AutoConnect is off
        QVERIFY(!component.connected());
        QVERIFY(!component.OnStartStream && !component.OnEndStream && !component.OnWord &&
                !component.OnVoiceChange && !component.OnSentence && !component.OnBookmark &&
                !component.OnPhoneme && !component.OnViseme && !component.OnAudioLevel &&
                !component.OnEnginePrivate);
    }

    void everyOperationConnectsFirst_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<QString>("call");
        QTest::newRow("Speak") << 0 << "v1.Speak(<LANG LANGID=\"804\">好,1)";
        QTest::newRow("Pause") << 1 << "v1.Pause";
        QTest::newRow("Resume") << 2 << "v1.Resume";
        QTest::newRow("Volume") << 3 << "v1.Volume=100";
        QTest::newRow("Rate") << 4 << "v1.Rate=0";
    }
    void everyOperationConnectsFirst()
    {
        QFETCH(int, operation);
        QFETCH(QString, call);
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        switch (operation) {
        case 0:
            component.Speak(QStringLiteral("<LANG LANGID=\"804\">好"), SVSFlagsAsync);
            break;
        case 1:
            component.Pause();
            break;
        case 2:
            component.Resume();
            break;
        case 3:
            component.setVolume(100);
            break;
        case 4:
            component.setRate(0);
            break;
        }
        QVERIFY(component.connected());
        QCOMPARE(journal.calls, (QStringList{"v1.attach", call}));
    }

    void startUpCreatesOneVoice()
    {
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        component.setVolume(100);
        component.setRate(0);
        QCOMPARE(journal.created, 1);
        QCOMPARE(journal.calls, (QStringList{"v1.attach", "v1.Volume=100", "v1.Rate=0"}));
    }

    void pauseThenSpeakUsesThePausedVoice()
    {
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        component.Pause();
        component.Speak(QStringLiteral("x"), SVSFlagsAsync);
        QCOMPARE(journal.calls, (QStringList{"v1.attach", "v1.Pause", "v1.Speak(x,1)"}));
    }

    void disconnectReleasesTheVoice()
    {
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        component.setVolume(40);
        component.setRate(3);
        component.Disconnect();
        QVERIFY(!component.connected());
        QCOMPARE(journal.alive, 0);
        // Stop, then Resume: a new voice with the engine's defaults gets the Resume.
        component.Resume();
        QCOMPARE(journal.calls, (QStringList{"v1.attach", "v1.Volume=40", "v1.Rate=3", "v1.detach",
                                             "v1.released", "v2.attach", "v2.Resume"}));
        QCOMPARE(component.Volume(), 100);
        QCOMPARE(component.Rate(), 0);
    }

    void disconnectTwiceCreatesNothing()
    {
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        component.Disconnect();
        component.Disconnect();
        QCOMPARE(journal.created, 0);
        QVERIFY(journal.calls.isEmpty());
    }

    void destroyingTheComponentReleasesTheVoice()
    {
        Journal journal;
        {
            TSpVoice component;
            useFakes(component, journal);
            component.Pause();
        }
        QCOMPARE(journal.alive, 0);
        QCOMPARE(journal.calls.last(), QStringLiteral("v1.released"));
    }

    void noVoiceObjectGivesTheConnectError()
    {
        int attempts = 0;
        TSpVoice component;
        component.setVoiceFactory([&attempts]() -> std::shared_ptr<ISpeechVoice> {
            ++attempts;
            return nullptr;
        });
        try {
            component.Speak(QStringLiteral("x"), SVSFlagsAsync);
            QFAIL("no error");
        } catch (const Exception& e) {
            QCOMPARE(e.message(), QStringLiteral("DefaultInterface is NULL. Component is not "
                                                 "connected to Server. You must call \"Connect\" "
                                                 "or \"ConnectTo\" before this operation"));
        }
        QVERIFY(!component.connected());
        QVERIFY_THROWS_EXCEPTION(Exception, component.Pause());
        QCOMPARE(attempts, 2); // every operation tries again
    }

    void failedCreationIsRaisedAndTriedAgain()
    {
        Journal journal;
        bool fail = true;
        TSpVoice component;
        component.setVoiceFactory([&]() -> std::shared_ptr<ISpeechVoice> {
            if (fail)
                throw ESpeechError(QStringLiteral("No speech data"));
            return std::make_shared<FakeVoice>(&journal, ++journal.created);
        });
        QVERIFY_THROWS_EXCEPTION(ESpeechError, component.setVolume(70));
        QVERIFY_THROWS_EXCEPTION(ESpeechError, component.setRate(3));
        QVERIFY(!component.connected());
        fail = false;
        // The settings that found no voice go to the one made next, before its first call.
        component.Pause();
        QCOMPARE(journal.calls,
                 (QStringList{"v1.attach", "v1.Volume=70", "v1.Rate=3", "v1.Pause"}));
        component.Disconnect();
        component.Pause();
        QVERIFY(journal.calls.mid(4).filter(QStringLiteral("v2.Volume")).isEmpty()); // once only
    }

    void otherConnectKinds()
    {
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        component.setConnectKind(ckRunningInstance);
        QVERIFY_THROWS_EXCEPTION(ESpeechError, component.Connect());
        component.setConnectKind(ckAttachToInterface);
        QVERIFY_THROWS_EXCEPTION(ESpeechError, component.Pause());
        component.ConnectTo(std::make_shared<FakeVoice>(&journal, 7));
        component.Pause();
        component.setConnectKind(ckNewInstance);
        component.Disconnect();
        component.Pause();
        QCOMPARE(journal.calls, (QStringList{"v7.attach", "v7.Pause", "v7.detach", "v7.released",
                                             "v1.attach", "v1.Pause"}));
    }

    void autoConnectConnectsWhenLoaded()
    {
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        component.setAutoConnect(true);
        component.Loaded();
        QVERIFY(component.connected());
    }

    void eventsReachAssignedHandlersOnly()
    {
        Journal journal;
        TSpVoice component;
        useFakes(component, journal);
        component.Pause();
        auto voice = std::static_pointer_cast<FakeVoice>(
            std::shared_ptr<ISpeechVoice>(component.DefaultInterface(), [](ISpeechVoice*) {}));
        ISpeechVoiceEvents* sink = voice->sinkAttached;
        QCOMPARE(sink, static_cast<ISpeechVoiceEvents*>(&component));

        // None assigned: dropped.
        sink->speechEvent(makeEvent(SpeechEvent::StartStream, 1));
        sink->speechEvent(makeEvent(SpeechEvent::Viseme, 1));

        QStringList seen;
        component.OnWord = [&](QObject* sender, const SpeechEvent& e) {
            QCOMPARE(sender, &component);
            seen << QStringLiteral("word %1").arg(e.characterPosition);
        };
        component.OnEndStream = [&](QObject*, const SpeechEvent& e) {
            seen << QStringLiteral("end %1").arg(e.streamNumber);
        };
        sink->speechEvent(makeEvent(SpeechEvent::Word, 1, 19));
        sink->speechEvent(makeEvent(SpeechEvent::Sentence, 1));
        sink->speechEvent(makeEvent(SpeechEvent::EndStream, 1));
        QCOMPARE(seen, (QStringList{"word 19", "end 1"}));

        // The sink is taken off before the voice goes (the voice is gone afterwards).
        component.Disconnect();
        QCOMPARE(journal.calls.mid(journal.calls.size() - 2),
                 (QStringList{"v1.detach", "v1.released"}));
        QCOMPARE(journal.alive, 0);
    }
};

QTEST_GUILESS_MAIN(TestSpVoiceComponent)
#include "tst_spvoicecomponent.moc"
