#include "Gauges.h"
#include "Gbk.h"
#include "MainWindowFixture.h"
#include "RichEdit.h"
#include "SpeechLib_TLB.h"
#include "SpeechTestSupport.h"
#include "SpeechText.h"
#include "TestSupport.h"
#include "VoiceEngine.h"
#include "WindowTestMain.h"
#include "uFrmMain.h"

#include <QComboBox>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

class TestSpeechBar : public QObject
{
    Q_OBJECT
private:
    MainWindowFixture m_fixture;
    DialogRecorder* m_dialogs = nullptr;
    TFrmMain* m_w = nullptr;
    VoiceCalls m_calls;

    // From here on every voice the window connects to is a recording one.
    void recordVoices()
    {
        m_w->SpVoice1->Disconnect();
        m_calls = {};
        m_w->SpVoice1->setVoiceFactory([this] {
            ++m_calls.voicesMade;
            return std::make_shared<RecordingVoice>(&m_calls);
        });
    }

private slots:
    void init()
    {
        QVERIFY(m_fixture.open());
        m_w = m_fixture.window();
        m_dialogs = m_fixture.dialogs();
    }
    void cleanup() { m_fixture.close(); }

    void startUpSetsVolumeThenRate()
    {
        QCOMPARE(m_w->TraSound->value(), 100);
        QCOMPARE(m_w->TraSpeed->value(), 0);
        QVERIFY(m_w->SpVoice1->connected()); // setting the volume made the voice
        QCOMPARE(m_w->TraSound->minimum(), 0);
        QCOMPARE(m_w->TraSound->maximum(), 100);
        QCOMPARE(m_w->TraSpeed->minimum(), -5);
        QCOMPARE(m_w->TraSpeed->maximum(), 5);
        QCOMPARE(m_w->YName->currentText(), QStringLiteral("纯中文"));
        QCOMPARE(m_w->YName->count(), 2);
        QVERIFY(m_w->YName->isEditable());
        QCOMPARE(m_w->bPlay->toolTip(), QStringLiteral("播放"));
        QCOMPARE(m_w->bPuse->toolTip(), QStringLiteral("暂停"));
        QCOMPARE(m_w->brPlay->toolTip(), QStringLiteral("继续"));
        QCOMPARE(m_w->bStop->toolTip(), QStringLiteral("停止"));
        QCOMPARE(m_w->bPlay->geometry(), QRect(106, 5, 29, 22));
        QCOMPARE(m_w->bStop->geometry(), QRect(211, 5, 29, 22));
        QCOMPARE(m_w->TraSound->geometry(), QRect(271, 5, 86, 22));
        QCOMPARE(m_w->TraSpeed->geometry(), QRect(388, 5, 86, 22));
        QVERIFY(!m_w->Gauge1->isVisible());
        QVERIFY(!m_w->Gauge1->isEnabled());
        QCOMPARE(m_w->Gauge1->geometry(), QRect(-402, -9, 595, 13));
    }

    // Stop releases the voice; the one Play makes speaks as the sliders show.
    void stopThenPlaySpeaksAsTheSlidersShow_data()
    {
        QTest::addColumn<int>("volume");
        QTest::addColumn<int>("rate");
        QTest::newRow("silent, faster") << 0 << 3;
        QTest::newRow("quieter, slower") << 40 << -4;
    }
    void stopThenPlaySpeaksAsTheSlidersShow()
    {
        QFETCH(int, volume);
        QFETCH(int, rate);
        auto tape = std::make_shared<MemoryAudioOutput::Tape>();
        VoiceEngine::instance().setAudioOutputFactory(MemoryAudioOutput::factory(tape, 50));
        const auto realOutput =
            qScopeGuard([] { VoiceEngine::instance().setAudioOutputFactory(nullptr); });
        m_w->SlectChengYu(Gbk::fromUnicode(u"一言九鼎"));
        m_w->TraSound->setValue(volume);
        m_w->TraSpeed->setValue(rate);
        QTest::mouseClick(m_w->bStop, Qt::LeftButton);
        QVERIFY(!m_w->SpVoice1->connected());
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QVERIFY(m_w->SpVoice1->connected());
        QCOMPARE(m_w->SpVoice1->Volume(), volume);
        QCOMPARE(m_w->SpVoice1->Rate(), rate);
        QTRY_VERIFY_WITH_TIMEOUT(tapeSize(*tape) > 44100, 10000);
        QCOMPARE(peak(tapeBytes(*tape)) == 0, volume == 0);
        QTest::mouseClick(m_w->bStop, Qt::LeftButton);
    }

    void startUpWithoutSpeechData()
    {
        m_fixture.closeWindow();
        m_dialogs->clear();
        const QTemporaryDir nothing;
        VoiceEngine::instance().setDataPath(nothing.path());
        const auto installed = qScopeGuard([] { VoiceEngine::instance().setDataPath({}); });
        QVERIFY(m_fixture.openWindow());
        m_w = m_fixture.window();
        QCOMPARE(m_dialogs->lines(),
                 QStringList{QStringLiteral(
                                 "Wenquell|No speech data: the espeak-ng speech engine cannot load "
                                 "its data (Error processing file '%1/phontab': No such file or "
                                 "directory). Install the espeak-ng-data package.")
                                 .arg(nothing.path())});
        QVERIFY(!m_w->SpVoice1->connected());
        // The first error is the one reported; the settings after it are made all the same.
        QCOMPARE(m_w->TraSound->value(), 100);
        QCOMPARE(m_w->TraSpeed->value(), 0);

        // One click in a bar's groove is one box, however long the button is held.
        m_dialogs->clear();
        m_dialogs->keepOpenFor(1000); // the bar's auto-repeat starts after 0.5 s
        QTest::mousePress(m_w->TraSound, Qt::LeftButton, {}, QPoint(5, 11));
        QTest::qWait(1500);
        QTest::mouseRelease(m_w->TraSound, Qt::LeftButton, {}, QPoint(5, 11));
        QTest::qWait(1500);
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_w->TraSound->value(), 98); // one page step
        m_dialogs->keepOpenFor(0);
        QTest::mouseClick(m_w->TraSpeed, Qt::LeftButton, {}, QPoint(80, 11));
        QTRY_COMPARE(m_dialogs->shown().size(), 2);
        QCOMPARE(m_w->TraSpeed->value(), 2);

        // The voice made once the data is there speaks as the bars show.
        VoiceEngine::instance().setDataPath({});
        QCOMPARE(m_w->SpVoice1->Volume(), 98);
        QCOMPARE(m_w->SpVoice1->Rate(), 2);
    }

    // The window hands the store to the engine: the entry's idiom is spoken as its pinyin.
    void playSpeaksTheIdiomAsItsPinyin()
    {
        auto tape = std::make_shared<MemoryAudioOutput::Tape>();
        VoiceEngine::instance().setAudioOutputFactory(MemoryAudioOutput::factory(tape, 50));
        const auto realOutput =
            qScopeGuard([] { VoiceEngine::instance().setAudioOutputFactory(nullptr); });
        m_w->SlectChengYu(Gbk::fromUnicode(u"项庄舞剑，意在沛公"));
        m_w->SpVoice1->Disconnect();
        SynthesisLog synthesis;
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!synthesis.requests().isEmpty(), 10000);
        QVERIFY2(synthesis.requests().first().startsWith(QStringLiteral(
                     "cmn-latn-pinyin:【成  语】： xiàng zhuāng wǔ jiàn ，yì zài pèi gōng ")),
                 qPrintable(synthesis.requests().first()));
        QTest::mouseClick(m_w->bStop, Qt::LeftButton);
    }

    void chineseModeSpeaksTheEntryOnce()
    {
        m_w->SlectChengYu(Gbk::fromUnicode(u"一言九鼎"));
        recordVoices();
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QCOMPARE(m_calls.spoken.size(), 1);
        QCOMPARE(m_calls.log, QStringList({"Speak 1"}));
        QByteArray expected = SpeechText::chineseTag() + Gbk::fromUnicode(m_w->RichText->text());
        QCOMPARE(m_calls.spoken[0], expected.replace(".", "\xA1\xA3"));
        QVERIFY(m_calls.spoken[0].contains("\r\n"));
        QVERIFY(!m_w->Gauge1->isVisible());
    }

    void mixedModeWalksWithTheGaugeAndSpeaksOnce()
    {
        m_w->SlectChengYu(Gbk::fromUnicode(u"人云亦云")); // its example is in English
        recordVoices();
        m_w->YName->setCurrentIndex(1);
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QCOMPARE(m_calls.spoken.size(), 1);
        QVERIFY(m_w->Gauge1->isVisible());
        QCOMPARE(m_w->Gauge1->Progress(), 100);
        QVERIFY(m_calls.spoken[0].startsWith(SpeechText::chineseTag()));
        QVERIFY(
            m_calls.spoken[0].contains(SpeechText::englishTag() + QByteArray::fromHex("a3e8a3e5")));

        QTest::mouseClick(m_w->bStop, Qt::LeftButton);
        QVERIFY(!m_w->Gauge1->isVisible());
        QVERIFY(!m_w->SpVoice1->connected());
        QCOMPARE(m_calls.log.last(), QStringLiteral("released"));
    }

    void otherModeTextsSpeakNothing_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::newRow("empty") << QString();
        QTest::newRow("typed") << QStringLiteral("English");
        QTest::newRow("with a blank") << QStringLiteral("纯中文 ");
    }
    void otherModeTextsSpeakNothing()
    {
        QFETCH(QString, mode);
        m_w->SlectChengYu(Gbk::fromUnicode(u"一言九鼎"));
        recordVoices();
        m_w->YName->setEditText(mode);
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QVERIFY(m_calls.log.isEmpty());
        QVERIFY(!m_w->Gauge1->isVisible());
    }

    void controlsActOnTheSameVoice()
    {
        recordVoices();
        QTest::mouseClick(m_w->bPuse, Qt::LeftButton);
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton); // queued behind, no Resume issued
        QTest::mouseClick(m_w->brPlay, Qt::LeftButton);
        m_w->TraSound->setValue(0);
        m_w->TraSpeed->setValue(-5);
        QCOMPARE(m_calls.log, QStringList({"Pause", "Speak 1", "Resume", "Volume 0", "Rate -5"}));
        QCOMPARE(m_calls.voicesMade, 1);
        QCOMPARE(m_dialogs->shown().size(), 0);
    }

    void stopReleasesAndTheNextUseMakesANewVoice()
    {
        recordVoices();
        QTest::mouseClick(m_w->bStop, Qt::LeftButton); // not connected: only the gauge hides
        QCOMPARE(m_calls.voicesMade, 0);
        QTest::mouseClick(m_w->brPlay, Qt::LeftButton);
        QCOMPARE(m_calls.voicesMade, 1);
        QTest::mouseClick(m_w->bStop, Qt::LeftButton);
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QCOMPARE(m_calls.voicesMade, 2);
        // The new voice starts at the engine's own settings: no volume or rate is handed over.
        QCOMPARE(m_calls.log, QStringList({"Resume", "released", "Speak 1"}));
    }

    void aVoiceThatCannotBeMadeIsReportedAndTheWindowGoesOn()
    {
        m_w->SpVoice1->Disconnect();
        m_w->SpVoice1->setVoiceFactory([] { return std::shared_ptr<ISpeechVoice>(); });
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QCOMPARE(m_dialogs->shown().size(), 1);
        QCOMPARE(m_dialogs->shown()[0].caption, QStringLiteral("Wenquell"));
        QCOMPARE(m_dialogs->shown()[0].text,
                 QStringLiteral("DefaultInterface is NULL. Component is not connected to "
                                "Server. You must call \"Connect\" or \"ConnectTo\" before "
                                "this operation"));
        recordVoices();
        QTest::mouseClick(m_w->bPlay, Qt::LeftButton);
        QCOMPARE(m_calls.spoken.size(), 1);
    }
};

WQ_WINDOW_TEST_MAIN(TestSpeechBar)
#include "tst_speechbar.moc"
