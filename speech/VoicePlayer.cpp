#include "VoicePlayer.h"

#include "SpeechSynthesizer.h"
#include "VoiceEngine.h"
#include "VoiceStream.h"

#include <chrono>

namespace {

constexpr int FeedMilliseconds = 10;

qint64 steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

VoicePlayer::VoicePlayer(VoiceEngine* engine, std::shared_ptr<VoiceStream> voice, QObject* parent)
    : QObject(parent), m_engine(engine), m_voice(std::move(voice))
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(FeedMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &VoicePlayer::feed);
}

VoicePlayer::~VoicePlayer()
{
    m_engine->unregisterPlayer(*m_voice, this);
    m_output.reset(); // stops the sound
}

void VoicePlayer::applyVolume(QByteArray& pcm, int volume)
{
    if (volume >= 100)
        return;
    auto* samples = reinterpret_cast<qint16*>(pcm.data());
    const qsizetype count = pcm.size() / 2;
    for (qsizetype i = 0; i < count; ++i)
        samples[i] = qint16(int(samples[i]) * volume / 100);
}

void VoicePlayer::reopen()
{
    m_timer.stop();
    m_output.reset();
    std::unique_ptr<AudioOutput> output = m_engine->makeAudioOutput();
    const QString failure = output->open(SpeechSynthesizer::SampleRate);
    if (!failure.isEmpty()) {
        m_engine->outputFailed(*m_voice, failure);
        return;
    }
    m_engine->outputOpened();
    m_output = std::move(output);
    if (m_engine->isPaused(*m_voice))
        m_output->suspend();
    feed();
}

void VoicePlayer::feed()
{
    if (!m_output)
        return;
    const qint64 room = m_output->bytesFree();
    VoiceEngine::Delivery delivery = m_engine->deliver(*m_voice, room, m_output->failure());
    if (delivery.broken)
        m_output.reset();
    if (delivery.stop || delivery.broken || delivery.paused) {
        m_timer.stop();
        return;
    }
    if (!delivery.pcm.isEmpty()) {
        applyVolume(delivery.pcm, delivery.volume);
        m_output->write(delivery.pcm);
    }
    if (!delivery.firstAudio.empty()) {
        const EngineHooks hooks = m_engine->hooks();
        if (hooks.firstAudio) {
            const qint64 now = steadyNanoseconds();
            for (const auto& [streamNumber, queuedAt] : delivery.firstAudio)
                hooks.firstAudio(m_voice->id(), streamNumber, now - queuedAt);
        }
    }
    if (!delivery.more)
        m_timer.stop();
    else if (!m_timer.isActive())
        m_timer.start();
}

void VoicePlayer::applyPause()
{
    if (!m_output)
        return;
    if (m_engine->isPaused(*m_voice)) {
        m_timer.stop();
        m_output->suspend();
    } else {
        m_output->resume();
        feed();
    }
}
