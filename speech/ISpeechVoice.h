#pragma once

#include <QString>

class ISpeechVoiceEvents;

// Flags of Speak.
enum SpeechVoiceSpeakFlags
{
    SVSFDefault = 0,
    SVSFlagsAsync = 1,        // return at once (every Speak here does)
    SVSFPurgeBeforeSpeak = 2, // end what the voice is speaking or has queued first
    SVSFIsFilename = 4,       // not supported: raises an error
    SVSFIsXML = 8,            // read the text as markup even if it does not begin with "<"
    SVSFIsNotXML = 16,        // read the text as plain text even if it begins with "<"
};

// A voice object: speaks texts one after the other, and can be paused, resumed, made louder
// or softer, faster or slower. Releasing it ends all of its speech. Every member may raise an
// Exception when the speech engine, its data or the audio output fails.
class ISpeechVoice
{
public:
    virtual ~ISpeechVoice() = default;

    // Queues the text behind what the voice is already speaking and returns at once with the
    // text's stream number (1, 2, ... per voice).
    virtual int Speak(const QString& text, int flags) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual int Volume() const = 0;
    virtual void setVolume(int volume) = 0; // 0..100
    virtual int Rate() const = 0;
    virtual void setRate(int rate) = 0; // -10..10, each step about 1.1 times faster

    virtual void attachEventSink(ISpeechVoiceEvents* sink) = 0;
    virtual void detachEventSink(ISpeechVoiceEvents* sink) = 0;
};
