#include "VoiceEngine.h"

#include "ISpeechVoice.h"
#include "SoundModule.h"
#include "SpeechError.h"
#include "SpeechEventPost.h"
#include "VoicePlayer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <utility>

namespace {

constexpr qint64 BytesPerSecond = SpeechSynthesizer::SampleRate * 2;
// Synthesis runs ahead of playback by at most about this much audio per voice...
constexpr qint64 HighWater = 20 * BytesPerSecond;
// ...and goes on once playback has brought it down to this.
constexpr qint64 LowWater = 10 * BytesPerSecond;
// Silence behind each text: lets the sound server play out the text's last sound, and parts
// queued texts.
constexpr qint64 TailSilence = BytesPerSecond / 5;
constexpr qsizetype PieceLimit = 400;

qint64 steadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// UTF-16 offset of code point `codePoints` of `text`.
qsizetype utf16Offset(const QString& text, int codePoints)
{
    qsizetype i = 0;
    for (int n = 0; n < codePoints && i < text.size(); ++n)
        i += (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    return i;
}

QString stoppedText()
{
    return QStringLiteral("The speech engine has been shut down.");
}

} // namespace

// One piece of work for the worker: parse a text, or synthesise a piece of a run.
struct VoiceEngine::Work
{
    enum Kind
    {
        None,
        Parse,
        Synthesize,
    };
    Kind kind = None;
    std::shared_ptr<VoiceStream> voice;
    int generation = 0;
    int streamNumber = 0;
    QString text; // Parse: the whole text; Synthesize: the piece
    MarkupMode mode = MarkupMode::Auto;
    int run = 0;
    qsizetype start = 0; // the piece within the run's text
    qsizetype end = 0;
    qsizetype runSourcePos = 0;
    SpeechLanguage language = SpeechLanguage::Chinese;
    int rate = 0;
    bool endPause = false;
    qint64 base = 0;       // stream position of the piece's first sample
    qint64 audioStart = 0; // stream position of the text's first sample
    SpokenText spoken;     // Synthesize: what the synthesiser is given for the piece
};

class VoiceEngine::PieceReceiver : public SpeechSynthesizer::Receiver
{
public:
    PieceReceiver(VoiceEngine& engine, const Work& work) : m_engine(engine), m_work(work) {}

    qint64 samples = 0;

    bool audio(const short* data, int count) override
    {
        QMutexLocker lock(&m_engine.m_mutex);
        if (!m_engine.isCurrent(m_work))
            return false;
        m_work.voice->append(reinterpret_cast<const char*>(data), qint64(count) * 2);
        samples += count;
        m_engine.notifyPlayer(*m_work.voice);
        return true;
    }

    void boundary(SpeechEvent::Kind kind, int textPosition, int length, qint64 sample) override
    {
        if (kind == SpeechEvent::Word && length <= 0)
            return; // espeak-ng's mark at the very end
        QMutexLocker lock(&m_engine.m_mutex);
        if (!m_engine.isCurrent(m_work))
            return;
        // espeak-ng counts code points of what it was given; the events point into the piece.
        const SpokenText& spoken = m_work.spoken;
        const qsizetype from = spoken.sourceStart(utf16Offset(spoken.text, textPosition));
        const qsizetype to = spoken.sourceEnd(utf16Offset(spoken.text, textPosition + length));
        VoiceStream::Marker marker;
        marker.position = m_work.base + sample * 2;
        marker.event.kind = kind;
        marker.event.streamNumber = m_work.streamNumber;
        marker.event.streamPosition = marker.position - m_work.audioStart;
        marker.event.characterPosition = m_work.runSourcePos + m_work.start + from;
        marker.event.length = to - from;
        marker.run = m_work.run;
        marker.offset = m_work.start + from;
        m_work.voice->addMarker(marker);
    }

private:
    VoiceEngine& m_engine;
    const Work& m_work;
};

VoiceEngine& VoiceEngine::instance()
{
    // Never destroyed: shutdown() stops it while the application object still exists.
    static VoiceEngine* engine = new VoiceEngine;
    return *engine;
}

VoiceEngine::VoiceEngine()
{
    m_audioThread = new QThread;
    m_audioThread->setObjectName(QStringLiteral("wenquell-audio"));
    m_audioHome = new QObject;
    m_audioHome->moveToThread(m_audioThread);
    m_audioThread->start();

    m_worker = QThread::create([this] { workerLoop(); });
    m_worker->setObjectName(QStringLiteral("wenquell-speech"));
    m_worker->start();

    qAddPostRoutine(&VoiceEngine::shutdownInstance);
}

void VoiceEngine::shutdownInstance()
{
    instance().shutdown();
}

void VoiceEngine::shutdown()
{
    {
        QMutexLocker lock(&m_mutex);
        if (m_stopped)
            return;
        m_stopped = true;
        for (const auto& voice : m_voices) {
            voice->released = true;
            voice->clearSpeech();
            voice->eventTarget = nullptr;
        }
        m_voices.clear();
        m_wake.wakeAll();
    }
    m_worker->wait();
    QMetaObject::invokeMethod(
        m_audioHome,
        [this] {
            while (!m_players.empty())
                deletePlayer(m_players.back());
        },
        Qt::BlockingQueuedConnection);
    m_audioThread->quit();
    m_audioThread->wait();
    delete m_audioHome;
    m_audioHome = nullptr;
}

// --- settings ---

void VoiceEngine::setDataPath(const QString& path)
{
    QMutexLocker lock(&m_mutex);
    m_dataPath = path;
    m_init = InitState::Requested;
    m_wake.wakeAll();
}

void VoiceEngine::setAudioOutputFactory(AudioOutputFactory factory)
{
    QMutexLocker lock(&m_mutex);
    m_outputFactory = std::move(factory);
}

void VoiceEngine::setHooks(EngineHooks hooks)
{
    QMutexLocker lock(&m_mutex);
    m_hooks = std::move(hooks);
}

void VoiceEngine::setLexiconSource(std::function<SpeechLexicon()> source)
{
    QMutexLocker lock(&m_mutex);
    m_lexiconSource = std::move(source);
    ++m_lexiconGeneration;
}

EngineHooks VoiceEngine::hooks()
{
    QMutexLocker lock(&m_mutex);
    return m_hooks;
}

std::unique_ptr<AudioOutput> VoiceEngine::makeAudioOutput()
{
    AudioOutputFactory factory;
    {
        QMutexLocker lock(&m_mutex);
        factory = m_outputFactory;
    }
    if (factory)
        return factory();
    return SoundModule::createOutput();
}

void VoiceEngine::prepare()
{
    QMutexLocker lock(&m_mutex);
    if (m_init == InitState::NotYet) {
        m_init = InitState::Requested;
        m_wake.wakeAll();
        // The sound card's module too, on the thread that will use it.
        QMetaObject::invokeMethod(m_audioHome, &SoundModule::load, Qt::QueuedConnection);
    }
}

// --- the voice objects' side ---

void VoiceEngine::throwIfFailed(VoiceStream& voice, Sound sound)
{
    if (m_stopped)
        throw ESpeechError(stoppedText());
    if (m_init == InitState::Failed) {
        const QString why = m_initFailure;
        m_init = InitState::Requested; // the next call finds the outcome of another try
        m_wake.wakeAll();
        throw ESpeechError(why);
    }
    if (!voice.failure.isEmpty() && (sound == Sound::Raise || !voice.failureIsAudio)) {
        const QString why = voice.failure;
        const bool audio = voice.failureIsAudio;
        voice.failure.clear();
        voice.failureIsAudio = false;
        if (audio && voice.player)
            QMetaObject::invokeMethod(voice.player, "reopen", Qt::QueuedConnection);
        if (audio && std::exchange(m_audioOutageTold, true))
            return; // told already; the call goes ahead and the output tries again
        throw ESpeechError(why);
    }
}

std::shared_ptr<VoiceStream> VoiceEngine::createVoice(QObject* eventTarget)
{
    QMutexLocker lock(&m_mutex);
    if (m_stopped)
        throw ESpeechError(stoppedText());
    const QString missing = SpeechSynthesizer::missingData(m_dataPath);
    if (!missing.isEmpty())
        throw ESpeechError(missing);
    auto voice = std::make_shared<VoiceStream>(m_nextId++);
    voice->eventTarget = eventTarget;
    voice->volume = m_defaultVolume;
    voice->rate = m_defaultRate;
    m_voices.push_back(voice);
    QMetaObject::invokeMethod(
        m_audioHome, [this, voice] { startPlayer(voice); }, Qt::QueuedConnection);
    return voice;
}

void VoiceEngine::releaseVoice(const std::shared_ptr<VoiceStream>& voice)
{
    QMutexLocker lock(&m_mutex);
    voice->released = true;
    voice->clearSpeech();
    voice->eventTarget = nullptr;
    std::erase(m_voices, voice);
    if (voice->player) {
        // Its output stops, and with it the sound. Not deleteLater(): shutdown() may delete the
        // player before the deferred delete is delivered, and the two must not both delete it.
        QMetaObject::invokeMethod(
            m_audioHome, [this, player = voice->player] { deletePlayer(player); },
            Qt::QueuedConnection);
        voice->player = nullptr;
    }
    m_wake.wakeAll();
}

int VoiceEngine::speak(VoiceStream& voice, const QString& text, int flags)
{
    QMutexLocker lock(&m_mutex);
    throwIfFailed(voice);
    if (flags & SVSFIsFilename)
        throw ESpeechError(QStringLiteral("Speaking the contents of a file is not supported."));
    if (flags & SVSFPurgeBeforeSpeak)
        voice.clearSpeech();
    VoiceStream::Job job;
    job.streamNumber = voice.nextStreamNumber++;
    job.source = text;
    job.mode = (flags & SVSFIsXML)      ? MarkupMode::Markup
               : (flags & SVSFIsNotXML) ? MarkupMode::PlainText
                                        : MarkupMode::Auto;
    job.queuedAt = steadyNanoseconds();
    voice.jobs.push_back(std::move(job));
    if (m_init == InitState::NotYet)
        m_init = InitState::Requested;
    m_wake.wakeAll();
    return voice.jobs.back().streamNumber;
}

void VoiceEngine::pause(VoiceStream& voice)
{
    QMutexLocker lock(&m_mutex);
    throwIfFailed(voice);
    voice.paused = true;
    if (voice.player)
        QMetaObject::invokeMethod(voice.player, "applyPause", Qt::QueuedConnection);
}

void VoiceEngine::resume(VoiceStream& voice)
{
    QMutexLocker lock(&m_mutex);
    throwIfFailed(voice);
    voice.paused = false;
    if (voice.player)
        QMetaObject::invokeMethod(voice.player, "applyPause", Qt::QueuedConnection);
}

int VoiceEngine::volume(VoiceStream& voice)
{
    QMutexLocker lock(&m_mutex);
    return voice.volume;
}

void VoiceEngine::setVolume(VoiceStream& voice, int volume)
{
    QMutexLocker lock(&m_mutex);
    throwIfFailed(voice, Sound::Leave);
    voice.volume = qBound(0, volume, 100);
    m_defaultVolume = voice.volume; // the voice made after a Stop speaks as the slider shows
}

int VoiceEngine::rate(VoiceStream& voice)
{
    QMutexLocker lock(&m_mutex);
    return voice.rate;
}

void VoiceEngine::setRate(VoiceStream& voice, int rate)
{
    QMutexLocker lock(&m_mutex);
    throwIfFailed(voice, Sound::Leave);
    rate = qBound(-10, rate, 10);
    m_defaultRate = rate;
    if (rate == voice.rate)
        return;
    voice.rate = rate;
    voice.restartRequested = true; // what is not yet playing is spoken again at the new rate
    m_wake.wakeAll();
}

void VoiceEngine::setEventsWanted(VoiceStream& voice, bool wanted)
{
    QMutexLocker lock(&m_mutex);
    voice.eventsWanted = wanted;
}

// --- the worker ---

bool VoiceEngine::isCurrent(const Work& work) const
{
    return !m_stopped && !work.voice->released && work.voice->generation == work.generation;
}

void VoiceEngine::notifyPlayer(VoiceStream& voice)
{
    if (voice.player && !voice.feedPosted) {
        voice.feedPosted = true;
        QMetaObject::invokeMethod(voice.player, "feed", Qt::QueuedConnection);
    }
}

void VoiceEngine::workerLoop()
{
    QMutexLocker lock(&m_mutex);
    while (!m_stopped) {
        if (m_init == InitState::Requested) {
            m_init = InitState::Running;
            const QString path = m_dataPath;
            lock.unlock();
            const QString failure = m_synth.initialize(path);
            lock.relock();
            if (m_init != InitState::Running)
                continue; // asked to start again meanwhile
            if (failure.isEmpty()) {
                m_init = InitState::Ready;
            } else {
                m_init = InitState::Failed;
                m_initFailure = failure;
                for (const auto& voice : m_voices) {
                    voice->clearSpeech();
                    notifyPlayer(*voice);
                }
            }
            continue;
        }
        if (m_init != InitState::Ready) {
            m_wake.wait(&m_mutex);
            continue;
        }
        Work work = nextWork();
        if (work.kind == Work::None) {
            m_wake.wait(&m_mutex);
            continue;
        }
        lock.unlock();
        if (work.kind == Work::Parse) {
            QList<SpeechRun> runs = parseSpeechMarkup(work.text, work.mode);
            lock.relock();
            if (isCurrent(work)) {
                if (VoiceStream::Job* job = work.voice->findJob(work.streamNumber)) {
                    job->runs = std::move(runs);
                    job->parsed = true;
                }
            }
            continue;
        }
        synthesizePiece(work);
        lock.relock();
    }
}

VoiceEngine::Work VoiceEngine::nextWork()
{
    const size_t count = m_voices.size();
    for (size_t k = 0; k < count; ++k) {
        const size_t index = (m_nextVoice + k) % count;
        const std::shared_ptr<VoiceStream>& voice = m_voices[index];
        if (voice->released || !voice->failure.isEmpty())
            continue;
        if (voice->restartRequested) {
            voice->restartRequested = false;
            voice->rewindToNextWord();
        }
        while (VoiceStream::Job* job = voice->jobToSynthesize()) {
            Work work;
            work.voice = voice;
            work.generation = voice->generation;
            work.streamNumber = job->streamNumber;
            if (!job->parsed) {
                work.kind = Work::Parse;
                work.text = job->source;
                work.mode = job->mode;
                return work;
            }
            if (voice->buffered() >= HighWater) {
                voice->waitingForRoom = true;
                break;
            }
            if (!job->startMarked) {
                job->startMarked = true;
                job->audioStart = voice->appended();
                VoiceStream::Marker start;
                start.position = voice->appended();
                start.event.kind = SpeechEvent::StartStream;
                start.event.streamNumber = job->streamNumber;
                voice->addMarker(start);
            }
            if (job->run >= job->runs.size()) {
                finishJob(*voice, *job);
                notifyPlayer(*voice);
                continue;
            }
            const SpeechRun& run = job->runs[job->run];
            if (job->lastRunMarked < job->run) {
                job->lastRunMarked = job->run;
                if (job->run == 0 || job->runs[job->run - 1].language != run.language) {
                    VoiceStream::Marker change;
                    change.position = voice->appended();
                    change.event.kind = SpeechEvent::VoiceChange;
                    change.event.streamNumber = job->streamNumber;
                    change.event.streamPosition = voice->appended() - job->audioStart;
                    change.event.voiceName = SpeechSynthesizer::voiceName(run.language);
                    voice->addMarker(change);
                }
            }
            bool sentence = false;
            const qsizetype end = speechPieceEnd(run.text, job->offset, PieceLimit, &sentence);
            const bool lastPiece = end >= run.text.size() && job->run + 1 >= job->runs.size();
            work.kind = Work::Synthesize;
            work.text = run.text.mid(job->offset, end - job->offset);
            work.run = job->run;
            work.start = job->offset;
            work.end = end;
            work.runSourcePos = run.sourcePos;
            work.language = run.language;
            work.rate = voice->rate;
            work.endPause = sentence || lastPiece;
            work.base = voice->appended();
            work.audioStart = job->audioStart;
            m_nextVoice = (index + 1) % count; // take turns between voices
            return work;
        }
    }
    return {};
}

void VoiceEngine::synthesizePiece(Work& work)
{
    const std::shared_ptr<const SpeechLexicon> lexicon =
        work.language == SpeechLanguage::Chinese ? lexiconForSynthesis() : nullptr;
    if (lexicon)
        work.spoken = lexicon->apply(work.text);
    else
        work.spoken.text = work.text;
    const EngineHooks watch = hooks();
    const QString voiceName = SpeechSynthesizer::voiceName(work.language);
    if (watch.synthesizing)
        watch.synthesizing(voiceName, work.spoken.text);
    PieceReceiver receiver(*this, work);
    QElapsedTimer clock;
    clock.start();
    const QString failure =
        m_synth.synthesize(work.language, work.rate, work.spoken.text, work.endPause, receiver);
    const qint64 elapsed = clock.nsecsElapsed();
    if (watch.synthesized)
        watch.synthesized(voiceName, receiver.samples, elapsed);
    QMutexLocker lock(&m_mutex);
    finishPiece(work, failure);
}

std::shared_ptr<const SpeechLexicon> VoiceEngine::lexiconForSynthesis()
{
    std::function<SpeechLexicon()> source;
    int generation = 0;
    {
        QMutexLocker lock(&m_mutex);
        if (m_lexiconLoaded == m_lexiconGeneration)
            return m_lexicon;
        source = m_lexiconSource;
        generation = m_lexiconGeneration;
    }
    std::shared_ptr<const SpeechLexicon> made;
    if (source) {
        try {
            made = std::make_shared<const SpeechLexicon>(source());
        } catch (const std::exception&) {
            made = nullptr; // the characters are read as they are
        }
    }
    QMutexLocker lock(&m_mutex);
    if (generation == m_lexiconGeneration) {
        m_lexicon = made;
        m_lexiconLoaded = generation;
    }
    return made;
}

void VoiceEngine::finishPiece(const Work& work, const QString& failure)
{
    if (!isCurrent(work))
        return;
    VoiceStream& voice = *work.voice;
    if (!failure.isEmpty()) {
        voice.failure = failure;
        voice.failureIsAudio = false;
        voice.clearSpeech();
        notifyPlayer(voice);
        return;
    }
    VoiceStream::Job* job = voice.findJob(work.streamNumber);
    if (!job || job->run != work.run || job->offset != work.start)
        return;
    job->offset = work.end;
    if (job->offset >= job->runs[job->run].text.size()) {
        ++job->run;
        job->offset = 0;
    }
    if (job->run >= job->runs.size())
        finishJob(voice, *job);
    notifyPlayer(voice);
}

void VoiceEngine::finishJob(VoiceStream& voice, VoiceStream::Job& job)
{
    voice.clampMarkersToAudio();
    voice.appendSilence(TailSilence);
    VoiceStream::Marker end;
    end.position = voice.appended();
    end.event.kind = SpeechEvent::EndStream;
    end.event.streamNumber = job.streamNumber;
    end.event.streamPosition = voice.appended() - job.audioStart;
    voice.addMarker(end);
    job.synthesized = true;
}

// --- the audio thread's side ---

void VoiceEngine::startPlayer(const std::shared_ptr<VoiceStream>& voice)
{
    auto* player = new VoicePlayer(this, voice, m_audioHome);
    if (!registerPlayer(*voice, player)) {
        delete player;
        return;
    }
    m_players.push_back(player);
    player->reopen();
}

void VoiceEngine::deletePlayer(QObject* player)
{
    // Once deleted a player is no longer in the set, so a second request does nothing.
    const auto it = std::find(m_players.begin(), m_players.end(), player);
    if (it == m_players.end())
        return;
    m_players.erase(it);
    delete player;
}

bool VoiceEngine::registerPlayer(VoiceStream& voice, QObject* player)
{
    QMutexLocker lock(&m_mutex);
    if (voice.released || m_stopped)
        return false;
    voice.player = player;
    return true;
}

void VoiceEngine::unregisterPlayer(VoiceStream& voice, QObject* player)
{
    QMutexLocker lock(&m_mutex);
    if (voice.player == player)
        voice.player = nullptr;
}

void VoiceEngine::outputFailed(VoiceStream& voice, const QString& failure)
{
    QMutexLocker lock(&m_mutex);
    if (voice.released)
        return;
    voice.failure = failure;
    voice.failureIsAudio = true;
    voice.clearSpeech();
}

void VoiceEngine::outputOpened()
{
    QMutexLocker lock(&m_mutex);
    m_audioOutageTold = false;
}

bool VoiceEngine::isPaused(VoiceStream& voice)
{
    QMutexLocker lock(&m_mutex);
    return voice.paused;
}

VoiceEngine::Delivery VoiceEngine::deliver(VoiceStream& voice, qint64 maxBytes,
                                           const QString& outputFailure)
{
    Delivery delivery;
    QMutexLocker lock(&m_mutex);
    voice.feedPosted = false;
    if (voice.released || m_stopped) {
        delivery.stop = true;
        return delivery;
    }
    if (!outputFailure.isEmpty()) {
        voice.failure = outputFailure;
        voice.failureIsAudio = true;
        voice.clearSpeech();
        delivery.broken = true;
        return delivery;
    }
    if (voice.paused) {
        delivery.paused = true;
        return delivery;
    }
    delivery.pcm = voice.take(maxBytes);
    delivery.volume = voice.volume;
    for (VoiceStream::Job& job : voice.jobs) {
        if (!job.startMarked)
            break;
        if (!job.firstAudioReported && job.audioStart < voice.consumed()) {
            job.firstAudioReported = true;
            delivery.firstAudio.emplace_back(job.streamNumber, job.queuedAt);
        }
    }
    for (const VoiceStream::Marker& marker : voice.takeDueMarkers()) {
        if (voice.eventsWanted && voice.eventTarget)
            QCoreApplication::postEvent(voice.eventTarget, new SpeechEventPost(marker.event));
    }
    if (voice.waitingForRoom && voice.buffered() < LowWater) {
        voice.waitingForRoom = false;
        m_wake.wakeAll();
    }
    delivery.more = voice.buffered() > 0;
    return delivery;
}
