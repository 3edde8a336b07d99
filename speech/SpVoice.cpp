#include "SpVoice.h"

#include "ISpeechVoiceEvents.h"
#include "SpeechEventPost.h"
#include "VoiceEngine.h"

SpVoice::SpVoice(QObject* parent)
    : QObject(parent), m_voice(VoiceEngine::instance().createVoice(this))
{}

SpVoice::~SpVoice()
{
    VoiceEngine::instance().releaseVoice(m_voice);
}

int SpVoice::Speak(const QString& text, int flags)
{
    return VoiceEngine::instance().speak(*m_voice, text, flags);
}

void SpVoice::Pause()
{
    VoiceEngine::instance().pause(*m_voice);
}

void SpVoice::Resume()
{
    VoiceEngine::instance().resume(*m_voice);
}

int SpVoice::Volume() const
{
    return VoiceEngine::instance().volume(*m_voice);
}

void SpVoice::setVolume(int volume)
{
    VoiceEngine::instance().setVolume(*m_voice, volume);
}

int SpVoice::Rate() const
{
    return VoiceEngine::instance().rate(*m_voice);
}

void SpVoice::setRate(int rate)
{
    VoiceEngine::instance().setRate(*m_voice, rate);
}

void SpVoice::attachEventSink(ISpeechVoiceEvents* sink)
{
    m_sink = sink;
    VoiceEngine::instance().setEventsWanted(*m_voice, sink != nullptr);
}

void SpVoice::detachEventSink(ISpeechVoiceEvents* sink)
{
    if (m_sink != sink)
        return;
    m_sink = nullptr;
    VoiceEngine::instance().setEventsWanted(*m_voice, false);
}

quint64 SpVoice::id() const
{
    return m_voice->id();
}

bool SpVoice::event(QEvent* event)
{
    if (event->type() == SpeechEventPost::eventType()) {
        if (m_sink)
            m_sink->speechEvent(static_cast<SpeechEventPost*>(event)->event());
        return true;
    }
    return QObject::event(event);
}
