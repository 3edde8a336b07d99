#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// Where a voice's audio goes: 16-bit mono PCM, written as room frees up. Each voice object has
// one, used only on the voice engine's audio thread.
class AudioOutput
{
public:
    virtual ~AudioOutput() = default;

    // Returns an empty string when the output is ready, otherwise what is missing.
    virtual QString open(int sampleRate) = 0;
    virtual qint64 bytesFree() = 0;
    virtual void write(const QByteArray& pcm) = 0;
    // Halts the sound at once, keeping what is buffered; resume() plays on from there.
    virtual void suspend() = 0;
    virtual void resume() = 0;
    // Empty while the output works; otherwise what went wrong with it.
    virtual QString failure() const = 0;
};

using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;
