#pragma once

#include "AudioOutput.h"

#include <QObject>
#include <QTimer>
#include <memory>

class VoiceEngine;
class VoiceStream;

// Plays one voice's audio: lives on the engine's audio thread and moves the voice's
// synthesised audio to its audio output as room frees up, at the voice's volume.
class VoicePlayer : public QObject
{
    Q_OBJECT
public:
    VoicePlayer(VoiceEngine* engine, std::shared_ptr<VoiceStream> voice, QObject* parent);
    ~VoicePlayer() override;

    // Scales 16-bit samples in place to volume 0..100.
    static void applyVolume(QByteArray& pcm, int volume);

public slots:
    // (Re)opens the audio output; a failure is kept for the voice.
    void reopen();
    void feed();
    void applyPause();

private:
    VoiceEngine* m_engine;
    std::shared_ptr<VoiceStream> m_voice;
    std::unique_ptr<AudioOutput> m_output;
    QTimer m_timer;
};
