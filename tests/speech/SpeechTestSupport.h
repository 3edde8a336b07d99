#pragma once

#include "ISpeechVoice.h"
#include "ISpeechVoiceEvents.h"
#include "MemoryAudioOutput.h"

#include <QList>
#include <QStringList>
#include <memory>

// Collects the events a voice hands to its sink.
class EventLog : public ISpeechVoiceEvents
{
public:
    void speechEvent(const SpeechEvent& event) override { events << event; }

    bool has(SpeechEvent::Kind kind, int streamNumber) const;
    const SpeechEvent* find(SpeechEvent::Kind kind, int streamNumber) const;
    QList<SpeechEvent> of(SpeechEvent::Kind kind) const;
    // "S1 E1 S2 E2": the start and end events in the order they came.
    QString streamOrder() const;

    QList<SpeechEvent> events;
};

// What the synthesiser was asked to speak, as "voice:text", in order.
class SynthesisLog
{
public:
    SynthesisLog();
    ~SynthesisLog();
    QStringList requests() const;

private:
    struct Shared;
    std::shared_ptr<Shared> m_shared;
};

qint64 tapeSize(const MemoryAudioOutput::Tape& tape);
QByteArray tapeBytes(const MemoryAudioOutput::Tape& tape, qint64 from = 0);
// Largest absolute sample value.
int peak(const QByteArray& pcm);

// Roughly `seconds` of Chinese speech.
QString longChineseText(int seconds);

// What a stand-in voice was asked to do: its calls in order, the texts it was given (as GBK
// bytes, as the speech text was built) and how many such voices were made.
struct VoiceCalls
{
    QStringList log;
    QList<QByteArray> spoken;
    int voicesMade = 0;
};

// A voice that only writes down what it is asked to do.
class RecordingVoice : public ISpeechVoice
{
public:
    explicit RecordingVoice(VoiceCalls* calls) : m_calls(calls) {}
    int Speak(const QString& text, int flags) override;
    void Pause() override;
    void Resume() override;
    int Volume() const override { return m_volume; }
    void setVolume(int volume) override;
    int Rate() const override { return m_rate; }
    void setRate(int rate) override;
    void attachEventSink(ISpeechVoiceEvents*) override {}
    void detachEventSink(ISpeechVoiceEvents*) override;

private:
    VoiceCalls* m_calls;
    int m_volume = 100;
    int m_rate = 0;
};
