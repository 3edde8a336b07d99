#pragma once

#include "ISpeechVoice.h"
#include "ISpeechVoiceEvents.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

// How the component finds its voice object when it connects. There is no table of running
// objects here, so both usable kinds create a new voice object.
enum TConnectKind
{
    ckRunningOrNew,
    ckNewInstance,
    ckRunningInstance,   // fails: there is never a running voice object to take
    ckRemote,            // fails: no remote machines
    ckAttachToInterface, // only ConnectTo() gives it a voice object
};

// The main window's voice component: holds at most one voice object, connecting (creating it
// and attaching its event sink) before any operation that needs one. Disconnect() detaches
// the sink and releases the voice object, which ends all of its speech.
//
// Every operation may raise: the connect error below when no voice object can be had, or the
// voice's own ESpeechError (no speech data, no audio output, a failing engine call). Nothing
// is left half done, and the next operation simply tries again.
class TSpVoice : public QObject, public ISpeechVoiceEvents
{
    Q_OBJECT
public:
    using VoiceFactory = std::function<std::shared_ptr<ISpeechVoice>()>;
    using EventHandler = std::function<void(QObject* sender, const SpeechEvent& event)>;

    explicit TSpVoice(QObject* owner = nullptr);
    ~TSpVoice() override;

    static QString notConnectedMessage();

    // Settings of the component (the window's resources leave them at these defaults).
    bool AutoConnect() const { return m_autoConnect; }
    void setAutoConnect(bool value) { m_autoConnect = value; }
    TConnectKind ConnectKind() const { return m_connectKind; }
    void setConnectKind(TConnectKind value) { m_connectKind = value; }
    // Where new voice objects come from (default: the speech engine's SpVoice).
    void setVoiceFactory(VoiceFactory factory);

    // Connects when AutoConnect is set; the owner calls it once its resources are loaded.
    void Loaded();

    void Connect();
    void ConnectTo(std::shared_ptr<ISpeechVoice> voice);
    void Disconnect();
    bool connected() const { return m_voice != nullptr; }
    // The voice object, connecting first if need be.
    ISpeechVoice* DefaultInterface();

    // The voice object's operations; each connects first. A volume or rate set when no voice
    // object can be had still raises, and is kept for the voice object connected next, so
    // that it speaks as the window's sliders show.
    int Speak(const QString& text, int flags = SVSFlagsAsync);
    void Pause();
    void Resume();
    int Volume();
    void setVolume(int volume);
    int Rate();
    void setRate(int rate);

    // Events of the voice object; none is assigned by default, and an event with no handler
    // is dropped. Handlers run through the general error handler.
    EventHandler OnStartStream;
    EventHandler OnEndStream;
    EventHandler OnVoiceChange;
    EventHandler OnBookmark;
    EventHandler OnWord;
    EventHandler OnSentence;
    EventHandler OnPhoneme;
    EventHandler OnViseme;
    EventHandler OnAudioLevel;
    EventHandler OnEnginePrivate;

    void speechEvent(const SpeechEvent& event) override;

private:
    bool m_autoConnect = false;
    TConnectKind m_connectKind = ckRunningOrNew;
    VoiceFactory m_factory;
    std::shared_ptr<ISpeechVoice> m_voice;
    std::optional<int> m_pendingVolume;
    std::optional<int> m_pendingRate;
};
