#include "MemoryAudioOutput.h"

#include <utility>

MemoryAudioOutput::MemoryAudioOutput(std::shared_ptr<Tape> tape, double speed, qint64 capacityBytes)
    : m_tape(std::move(tape)), m_speed(speed), m_capacity(capacityBytes)
{}

MemoryAudioOutput::~MemoryAudioOutput()
{
    QMutexLocker lock(&m_tape->mutex);
    ++m_tape->closed;
}

AudioOutputFactory MemoryAudioOutput::factory(std::shared_ptr<Tape> tape, double speed,
                                              qint64 capacityBytes)
{
    return [tape, speed, capacityBytes]() -> std::unique_ptr<AudioOutput> {
        return std::make_unique<MemoryAudioOutput>(tape, speed, capacityBytes);
    };
}

QString MemoryAudioOutput::open(int sampleRate)
{
    QMutexLocker lock(&m_tape->mutex);
    ++m_tape->tries;
    if (!m_tape->failOpen.isEmpty())
        return m_tape->failOpen;
    ++m_tape->opens;
    m_bytesPerSecond = sampleRate * 2;
    m_clock.start();
    return {};
}

void MemoryAudioOutput::advance()
{
    const qint64 elapsed = m_clock.nsecsElapsed();
    m_clock.restart();
    if (!m_suspended)
        m_played = qMin(double(m_written), m_played + elapsed * 1e-9 * m_bytesPerSecond * m_speed);
}

qint64 MemoryAudioOutput::bytesFree()
{
    advance();
    return qMax<qint64>(0, m_capacity - (m_written - qint64(m_played)));
}

void MemoryAudioOutput::write(const QByteArray& pcm)
{
    advance();
    m_written += pcm.size();
    QMutexLocker lock(&m_tape->mutex);
    m_tape->pcm += pcm;
}

void MemoryAudioOutput::suspend()
{
    advance();
    m_suspended = true;
    QMutexLocker lock(&m_tape->mutex);
    ++m_tape->suspends;
    m_tape->suspended = true;
}

void MemoryAudioOutput::resume()
{
    advance();
    m_suspended = false;
    QMutexLocker lock(&m_tape->mutex);
    ++m_tape->resumes;
    m_tape->suspended = false;
}

QString MemoryAudioOutput::failure() const
{
    QMutexLocker lock(&m_tape->mutex);
    if (m_failure.isEmpty())
        m_failure = std::exchange(m_tape->failure, QString());
    return m_failure;
}
