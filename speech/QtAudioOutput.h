#pragma once

#include "AudioOutput.h"

class QAudioSink;
class QIODevice;

// The sound card, through Qt Multimedia's QAudioSink (PulseAudio or PipeWire) in push mode.
// A small device buffer keeps pause and volume changes quick.
class QtAudioOutput : public AudioOutput
{
public:
    static constexpr int BufferMilliseconds = 120;

    QtAudioOutput();
    ~QtAudioOutput() override;

    QString open(int sampleRate) override;
    qint64 bytesFree() override;
    void write(const QByteArray& pcm) override;
    void suspend() override;
    void resume() override;
    QString failure() const override;

private:
    void close();

    QAudioSink* m_sink = nullptr;
    QIODevice* m_device = nullptr;
};
