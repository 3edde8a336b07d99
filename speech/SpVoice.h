#pragma once

#include "ISpeechVoice.h"

#include <QObject>
#include <memory>

class VoiceStream;

// The voice object: one voice of the process's speech engine (VoiceEngine). Created and used
// on the GUI thread; its calls return at once. Destroying it ends all of its speech, spoken,
// queued or paused.
class SpVoice : public QObject, public ISpeechVoice
{
    Q_OBJECT
public:
    explicit SpVoice(QObject* parent = nullptr);
    ~SpVoice() override;

    int Speak(const QString& text, int flags) override;
    void Pause() override;
    void Resume() override;
    int Volume() const override;
    void setVolume(int volume) override;
    int Rate() const override;
    void setRate(int rate) override;
    void attachEventSink(ISpeechVoiceEvents* sink) override;
    void detachEventSink(ISpeechVoiceEvents* sink) override;

    // Tells this voice apart in the engine's hooks.
    quint64 id() const;

protected:
    bool event(QEvent* event) override;

private:
    std::shared_ptr<VoiceStream> m_voice;
    ISpeechVoiceEvents* m_sink = nullptr;
};
