#include "SpeechLib_TLB.h"

#include "ErrorGuard.h"
#include "SpVoice.h"
#include "SpeechError.h"

#include <utility>

TSpVoice::TSpVoice(QObject* owner) : QObject(owner) {}

TSpVoice::~TSpVoice()
{
    Disconnect();
}

QString TSpVoice::notConnectedMessage()
{
    return QStringLiteral("DefaultInterface is NULL. Component is not connected to Server. You "
                          "must call \"Connect\" or \"ConnectTo\" before this operation");
}

void TSpVoice::setVoiceFactory(VoiceFactory factory)
{
    m_factory = std::move(factory);
}

void TSpVoice::Loaded()
{
    if (m_autoConnect)
        Connect();
}

void TSpVoice::Connect()
{
    if (m_voice)
        return;
    std::shared_ptr<ISpeechVoice> voice;
    switch (m_connectKind) {
    case ckRunningOrNew:
    case ckNewInstance:
        voice = m_factory ? m_factory() : std::make_shared<SpVoice>();
        break;
    case ckRunningInstance:
        throw ESpeechError(QStringLiteral("Operation unavailable: there is no running voice "
                                          "object to connect to."));
    case ckRemote:
        throw ESpeechError(QStringLiteral("Operation unavailable: voice objects on other "
                                          "machines are not supported."));
    case ckAttachToInterface:
        break; // only ConnectTo() supplies the object
    }
    if (voice)
        ConnectTo(std::move(voice));
}

void TSpVoice::ConnectTo(std::shared_ptr<ISpeechVoice> voice)
{
    Disconnect();
    if (!voice)
        return;
    m_voice = std::move(voice);
    m_voice->attachEventSink(this);
    if (const std::optional<int> volume = std::exchange(m_pendingVolume, std::nullopt))
        m_voice->setVolume(*volume);
    if (const std::optional<int> rate = std::exchange(m_pendingRate, std::nullopt))
        m_voice->setRate(*rate);
}

void TSpVoice::Disconnect()
{
    if (!m_voice)
        return;
    std::shared_ptr<ISpeechVoice> voice = std::move(m_voice);
    m_voice.reset();
    voice->detachEventSink(this);
    // Our reference was the only one: releasing it ends the voice object and all its speech.
}

ISpeechVoice* TSpVoice::DefaultInterface()
{
    if (!m_voice)
        Connect();
    if (!m_voice)
        throw ESpeechError(notConnectedMessage());
    return m_voice.get();
}

int TSpVoice::Speak(const QString& text, int flags)
{
    return DefaultInterface()->Speak(text, flags);
}

void TSpVoice::Pause()
{
    DefaultInterface()->Pause();
}

void TSpVoice::Resume()
{
    DefaultInterface()->Resume();
}

int TSpVoice::Volume()
{
    return DefaultInterface()->Volume();
}

void TSpVoice::setVolume(int volume)
{
    try {
        DefaultInterface()->setVolume(volume);
    } catch (...) {
        if (!m_voice)
            m_pendingVolume = volume;
        throw;
    }
}

int TSpVoice::Rate()
{
    return DefaultInterface()->Rate();
}

void TSpVoice::setRate(int rate)
{
    try {
        DefaultInterface()->setRate(rate);
    } catch (...) {
        if (!m_voice)
            m_pendingRate = rate;
        throw;
    }
}

void TSpVoice::speechEvent(const SpeechEvent& event)
{
    const EventHandler* handler = nullptr;
    switch (event.kind) {
    case SpeechEvent::StartStream:
        handler = &OnStartStream;
        break;
    case SpeechEvent::EndStream:
        handler = &OnEndStream;
        break;
    case SpeechEvent::VoiceChange:
        handler = &OnVoiceChange;
        break;
    case SpeechEvent::Bookmark:
        handler = &OnBookmark;
        break;
    case SpeechEvent::Word:
        handler = &OnWord;
        break;
    case SpeechEvent::Sentence:
        handler = &OnSentence;
        break;
    case SpeechEvent::Phoneme:
        handler = &OnPhoneme;
        break;
    case SpeechEvent::Viseme:
        handler = &OnViseme;
        break;
    case SpeechEvent::AudioLevel:
        handler = &OnAudioLevel;
        break;
    case SpeechEvent::EnginePrivate:
        handler = &OnEnginePrivate;
        break;
    }
    if (handler && *handler) {
        const EventHandler run = *handler; // the handler may reassign itself
        guarded([&] { run(this, event); });
    }
}
