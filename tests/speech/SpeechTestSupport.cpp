#include "SpeechTestSupport.h"

#include "Gbk.h"

#include "VoiceEngine.h"

#include <QMutex>
#include <cstdlib>

bool EventLog::has(SpeechEvent::Kind kind, int streamNumber) const
{
    return find(kind, streamNumber) != nullptr;
}

const SpeechEvent* EventLog::find(SpeechEvent::Kind kind, int streamNumber) const
{
    for (const SpeechEvent& e : events) {
        if (e.kind == kind && e.streamNumber == streamNumber)
            return &e;
    }
    return nullptr;
}

QList<SpeechEvent> EventLog::of(SpeechEvent::Kind kind) const
{
    QList<SpeechEvent> found;
    for (const SpeechEvent& e : events) {
        if (e.kind == kind)
            found << e;
    }
    return found;
}

QString EventLog::streamOrder() const
{
    QStringList parts;
    for (const SpeechEvent& e : events) {
        if (e.kind == SpeechEvent::StartStream)
            parts << QStringLiteral("S%1").arg(e.streamNumber);
        else if (e.kind == SpeechEvent::EndStream)
            parts << QStringLiteral("E%1").arg(e.streamNumber);
    }
    return parts.join(u' ');
}

struct SynthesisLog::Shared
{
    QMutex mutex;
    QStringList requests;
};

SynthesisLog::SynthesisLog() : m_shared(std::make_shared<Shared>())
{
    EngineHooks hooks;
    hooks.synthesizing = [shared = m_shared](const QString& voice, const QString& text) {
        QMutexLocker lock(&shared->mutex);
        shared->requests << voice + u':' + text;
    };
    VoiceEngine::instance().setHooks(hooks);
}

SynthesisLog::~SynthesisLog()
{
    VoiceEngine::instance().setHooks({});
}

QStringList SynthesisLog::requests() const
{
    QMutexLocker lock(&m_shared->mutex);
    return m_shared->requests;
}

qint64 tapeSize(const MemoryAudioOutput::Tape& tape)
{
    QMutexLocker lock(&tape.mutex);
    return tape.pcm.size();
}

QByteArray tapeBytes(const MemoryAudioOutput::Tape& tape, qint64 from)
{
    QMutexLocker lock(&tape.mutex);
    return tape.pcm.mid(from);
}

int peak(const QByteArray& pcm)
{
    const auto* samples = reinterpret_cast<const qint16*>(pcm.constData());
    int result = 0;
    for (qsizetype i = 0; i < pcm.size() / 2; ++i)
        result = qMax(result, std::abs(int(samples[i])));
    return result;
}

QString longChineseText(int seconds)
{
    // About three seconds a sentence.
    QString text;
    for (int i = 0; i < (seconds + 2) / 3; ++i)
        text += QStringLiteral("一心一意，没有别的考虑。");
    return text;
}

int RecordingVoice::Speak(const QString& text, int flags)
{
    m_calls->log.append(QStringLiteral("Speak %1").arg(flags));
    m_calls->spoken.append(Gbk::fromUnicode(text));
    return int(m_calls->spoken.size());
}

void RecordingVoice::Pause()
{
    m_calls->log.append(QStringLiteral("Pause"));
}

void RecordingVoice::Resume()
{
    m_calls->log.append(QStringLiteral("Resume"));
}

void RecordingVoice::setVolume(int volume)
{
    m_volume = volume;
    m_calls->log.append(QStringLiteral("Volume %1").arg(volume));
}

void RecordingVoice::setRate(int rate)
{
    m_rate = rate;
    m_calls->log.append(QStringLiteral("Rate %1").arg(rate));
}

void RecordingVoice::detachEventSink(ISpeechVoiceEvents*)
{
    m_calls->log.append(QStringLiteral("released"));
}
