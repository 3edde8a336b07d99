#pragma once

#include "AudioOutput.h"

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// The sound card through the sound server's client library (PulseAudio, or PipeWire's
// PulseAudio service), in push mode. A small buffer keeps pause and volume changes quick.
// Each output has a connection of its own: an output opened after the server went away and
// came back reaches the new server. (Qt Multimedia 6.4 gives up for good on a server it has
// lost once, so the program does not go through it.)
class PulseAudioOutput : public AudioOutput
{
public:
    static constexpr int BufferMilliseconds = 120;
    // The longest open() waits for a server that does not answer.
    static constexpr int ConnectTimeoutMs = 5000;

    PulseAudioOutput();
    ~PulseAudioOutput() override;

    QString open(int sampleRate) override;
    qint64 bytesFree() override;
    void write(const QByteArray& pcm) override;
    void suspend() override;
    void resume() override;
    QString failure() const override;

private:
    void close();
    void cork(bool on);
    // Waits, with the loop locked, until `ready` or `failed` says so, or the time is up.
    template <class Ready, class Failed> bool waitFor(Ready ready, Failed failed);

    pa_threaded_mainloop* m_loop = nullptr;
    pa_context* m_context = nullptr;
    pa_stream* m_stream = nullptr;
    bool m_timedOut = false;
};
