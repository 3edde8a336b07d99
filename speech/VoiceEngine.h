#pragma once

#include "AudioOutput.h"
#include "SpeechLexicon.h"
#include "SpeechSynthesizer.h"
#include "VoiceStream.h"

#include <QMutex>
#include <QString>
#include <QWaitCondition>
#include <functional>
#include <memory>
#include <vector>

class QThread;
class VoicePlayer;

// Ways to watch the engine at work, for tests and benchmarks. Each runs on an engine thread.
struct EngineHooks
{
    // Worker thread: the synthesiser is about to speak `text` with espeak-ng voice `voice`.
    std::function<void(const QString& voice, const QString& text)> synthesizing;
    // Worker thread: that synthesis gave `samples` samples in `nanoseconds`.
    std::function<void(const QString& voice, qint64 samples, qint64 nanoseconds)> synthesized;
    // Audio thread: the first audio of text `streamNumber` of voice `voiceId` was handed to
    // the audio output, `nanoseconds` after Speak.
    std::function<void(quint64 voiceId, int streamNumber, qint64 nanoseconds)> firstAudio;
};

// The one speech engine of the process. espeak-ng is process-global, so the engine owns it on
// a worker thread of its own and serialises the jobs of every voice object there; the audio
// of each voice goes to its own audio output on the engine's audio thread. Calls from the GUI
// thread only queue work and set flags: they never wait for synthesis or audio.
//
// A failure found on an engine thread (no speech data, no audio output, a failing synthesis)
// is kept and raised as an ESpeechError by the voice's next call, which also tries again.
class VoiceEngine
{
public:
    static VoiceEngine& instance();

    // Where espeak-ng's data lives (empty: espeak-ng's own place). The engine starts again.
    void setDataPath(const QString& path);
    // Starts loading espeak-ng and its voices on the worker thread, and the sound card's
    // module on the audio thread, unless that has begun. Otherwise the first Speak starts them
    // and waits for them (some 20 to 40 ms); nothing before needs them, so the program calls
    // this once its window is on screen.
    void prepare();
    // Makes the audio outputs of voices created afterwards (null: the sound card).
    void setAudioOutputFactory(AudioOutputFactory factory);
    void setHooks(EngineHooks hooks);
    // Where the pronunciation of words comes from. The worker calls `source` once, before the
    // first Mandarin text it synthesises after this call, so that reading a large lexicon
    // neither delays the caller nor costs anything until something is spoken. An exception
    // from `source` leaves the lexicon empty. Null: no lexicon.
    void setLexiconSource(std::function<SpeechLexicon()> source);

    // The voice objects' side, GUI thread.
    // Raises ESpeechError at once when espeak-ng's data or one of the two voices is missing.
    // A new voice starts with the volume and rate last set on any voice.
    std::shared_ptr<VoiceStream> createVoice(QObject* eventTarget);
    void releaseVoice(const std::shared_ptr<VoiceStream>& voice);
    int speak(VoiceStream& voice, const QString& text, int flags);
    void pause(VoiceStream& voice);
    void resume(VoiceStream& voice);
    int volume(VoiceStream& voice);
    void setVolume(VoiceStream& voice, int volume);
    int rate(VoiceStream& voice);
    void setRate(VoiceStream& voice, int rate);
    void setEventsWanted(VoiceStream& voice, bool wanted);

    // Ends all speech and stops the engine's threads; later calls raise an error. Runs by
    // itself when the application object is destroyed.
    void shutdown();

    // The audio thread's side (VoicePlayer).
    struct Delivery
    {
        QByteArray pcm;
        int volume = 100;
        bool stop = false;   // the voice is gone
        bool broken = false; // the output failed; the failure is kept for the voice
        bool paused = false;
        bool more = false;                              // audio is waiting
        std::vector<std::pair<int, qint64>> firstAudio; // stream number, time of Speak
    };
    Delivery deliver(VoiceStream& voice, qint64 maxBytes, const QString& outputFailure);
    bool isPaused(VoiceStream& voice);
    bool registerPlayer(VoiceStream& voice, QObject* player);
    void unregisterPlayer(VoiceStream& voice, QObject* player);
    void outputFailed(VoiceStream& voice, const QString& failure);
    void outputOpened();
    std::unique_ptr<AudioOutput> makeAudioOutput();
    EngineHooks hooks();

private:
    struct Work;
    class PieceReceiver;
    enum class InitState
    {
        NotYet, // nothing has needed espeak-ng so far
        Requested,
        Running,
        Ready,
        Failed,
    };

    VoiceEngine();
    ~VoiceEngine() = delete;
    static void shutdownInstance();

    void workerLoop();
    Work nextWork();
    void synthesizePiece(Work& work);
    std::shared_ptr<const SpeechLexicon> lexiconForSynthesis();
    void finishPiece(const Work& work, const QString& failure);
    void finishJob(VoiceStream& voice, VoiceStream::Job& job);
    bool isCurrent(const Work& work) const;
    // Raises what keeps `voice` from working. The sound output's failure is raised only by the
    // calls that act on the sound: volume and rate are settings of the voice, and the output
    // is opened on the audio thread while the window sets them at start-up, so raising it
    // there would depend on which thread came first.
    enum class Sound
    {
        Raise,
        Leave,
    };
    void throwIfFailed(VoiceStream& voice, Sound sound = Sound::Raise);
    void notifyPlayer(VoiceStream& voice);
    void startPlayer(const std::shared_ptr<VoiceStream>& voice);

    QMutex m_mutex;
    QWaitCondition m_wake;
    InitState m_init = InitState::NotYet;
    QString m_initFailure;
    QString m_dataPath;
    bool m_stopped = false;
    std::vector<std::shared_ptr<VoiceStream>> m_voices;
    size_t m_nextVoice = 0;
    quint64 m_nextId = 1;
    AudioOutputFactory m_outputFactory;
    EngineHooks m_hooks;
    int m_defaultVolume = 100;
    int m_defaultRate = 0;
    // An audio failure has been raised and no output has opened since: while the sound server
    // is away, its failure is told once, not at every click.
    bool m_audioOutageTold = false;
    std::function<SpeechLexicon()> m_lexiconSource;
    std::shared_ptr<const SpeechLexicon> m_lexicon;
    int m_lexiconGeneration = 0; // counts setLexiconSource() calls
    int m_lexiconLoaded = 0;     // the generation m_lexicon was made for

    SpeechSynthesizer m_synth; // worker thread only
    QThread* m_worker = nullptr;
    QThread* m_audioThread = nullptr;
    QObject* m_audioHome = nullptr; // lives on the audio thread; parent of the players
    // The players not yet deleted; audio thread only. A player is deleted by whichever comes
    // first of its voice's release and shutdown(), and only through this set.
    std::vector<QObject*> m_players;
    void deletePlayer(QObject* player);
};
