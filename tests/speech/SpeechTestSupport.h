#pragma once

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
