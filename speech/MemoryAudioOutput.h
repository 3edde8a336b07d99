#pragma once

#include "AudioOutput.h"

#include <QElapsedTimer>
#include <QMutex>

// An audio output that "plays" into memory, `speed` times faster than real time, keeping all
// it was given on a tape. For tests and benchmarks that need no sound card.
class MemoryAudioOutput : public AudioOutput
{
public:
    // Shared between the output (on the engine's audio thread) and whoever inspects it.
    struct Tape
    {
        mutable QMutex mutex;
        QByteArray pcm; // everything written, in order
        int opens = 0;  // successful opens
        int tries = 0;  // opens asked for, failed or not
        int suspends = 0;
        int resumes = 0;
        bool suspended = false;
        int closed = 0;   // outputs destroyed
        QString failOpen; // when set, open() fails with this text
        // When set, the next output to be asked takes it off the tape and from then on reports
        // it: a device that broke stays broken, and the output opened after it plays again.
        QString failure;
    };

    MemoryAudioOutput(std::shared_ptr<Tape> tape, double speed, qint64 capacityBytes);
    ~MemoryAudioOutput() override;

    static AudioOutputFactory factory(std::shared_ptr<Tape> tape, double speed = 1.0,
                                      qint64 capacityBytes = 5292);

    QString open(int sampleRate) override;
    qint64 bytesFree() override;
    void write(const QByteArray& pcm) override;
    void suspend() override;
    void resume() override;
    QString failure() const override;

private:
    void advance();

    std::shared_ptr<Tape> m_tape;
    double m_speed;
    qint64 m_capacity;
    int m_bytesPerSecond = 0;
    qint64 m_written = 0;
    double m_played = 0;
    bool m_suspended = false;
    QElapsedTimer m_clock;
    mutable QString m_failure;
};
