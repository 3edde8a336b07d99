#pragma once

#include "SpeechEvent.h"
#include "SpeechMarkup.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>
#include <vector>

// The speech of one voice object: its queued texts, how far synthesis has got in them, the
// audio synthesised but not yet handed to the output, and the events due at points of that
// audio. Shared by the GUI, worker and audio threads; every use holds the engine's mutex.
class VoiceStream
{
public:
    struct Job
    {
        int streamNumber = 0;
        QString source; // the text given to Speak
        MarkupMode mode = MarkupMode::Auto;
        QList<SpeechRun> runs;
        bool parsed = false;
        // Synthesis goes on at this run, at this UTF-16 offset in the run's text.
        int run = 0;
        qsizetype offset = 0;
        bool synthesized = false;
        bool startMarked = false;
        int lastRunMarked = -1;
        qint64 audioStart = 0; // stream position of the text's first audio
        qint64 queuedAt = 0;   // steady clock, nanoseconds
        bool firstAudioReported = false;
    };

    struct Marker
    {
        qint64 position = 0;
        SpeechEvent event;
        // Word: synthesis can start again here.
        int run = 0;
        qsizetype offset = 0;
    };

    explicit VoiceStream(quint64 id) : m_id(id) {}

    quint64 id() const { return m_id; }

    // Settings and state, set by the GUI thread.
    int volume = 100;
    int rate = 0;
    bool paused = false;
    bool released = false;
    bool restartRequested = false; // the rate changed: synthesise again from the next word
    bool eventsWanted = false;
    QObject* eventTarget = nullptr; // the voice object, on the GUI thread
    int nextStreamNumber = 1;

    // A failure not yet reported to the voice's user; audio failures reopen the output.
    QString failure;
    bool failureIsAudio = false;

    // Changes whenever queued speech is thrown away, so that work begun before is dropped.
    int generation = 0;

    // The audio thread's player, while it exists.
    QObject* player = nullptr;
    bool feedPosted = false;
    bool waitingForRoom = false;

    std::deque<Job> jobs;

    // Audio, counted in bytes from the voice's first.
    qint64 appended() const { return m_appended; }
    qint64 consumed() const { return m_consumed; }
    qint64 buffered() const { return m_appended - m_consumed; }
    void append(const char* data, qint64 bytes);
    void appendSilence(qint64 bytes);
    // Up to maxBytes (whole samples) from the front.
    QByteArray take(qint64 maxBytes);
    // Drops the audio from `position` (not before consumed()) on.
    void truncate(qint64 position);

    // Positions never go backwards: a marker before the last one is moved up to it.
    void addMarker(Marker marker);
    // Moves markers that lie beyond the audio back to its end.
    void clampMarkersToAudio();
    const std::deque<Marker>& markers() const { return m_markers; }
    // The markers that playback has reached, in order. The jobs they end leave the queue.
    std::vector<Marker> takeDueMarkers();

    // The first job not yet fully synthesised, or null.
    Job* jobToSynthesize();
    Job* findJob(int streamNumber);

    // Throws away every queued text and all audio not yet handed on.
    void clearSpeech();
    // Cuts the audio at the first word not yet handed on and sets synthesis back to that word,
    // so that what follows is synthesised again. False when no word is waiting.
    bool rewindToNextWord();

private:
    quint64 m_id;
    std::deque<QByteArray> m_blocks;
    qint64 m_headOffset = 0; // bytes of the front block already taken
    qint64 m_appended = 0;
    qint64 m_consumed = 0;
    std::deque<Marker> m_markers;
};
