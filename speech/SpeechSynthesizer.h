#pragma once

#include "SpeechEvent.h"
#include "SpeechMarkup.h"

#include <QString>

// The espeak-ng library. It is process-global, so only the voice engine's worker thread may
// use this class, and only one object of it may exist.
class SpeechSynthesizer
{
public:
    // Takes the audio and the word and sentence boundaries of one synthesis.
    class Receiver
    {
    public:
        virtual ~Receiver() = default;
        // 16-bit mono samples at sampleRate(); return false to stop the synthesis.
        virtual bool audio(const short* samples, int count) = 0;
        // A word or sentence begins at `sample` (counted from the start of this synthesis);
        // `textPosition` and `length` count code points of the text synthesised.
        virtual void boundary(SpeechEvent::Kind kind, int textPosition, int length,
                              qint64 sample) = 0;
    };

    static constexpr int SampleRate = 22050;
    static constexpr int NormalWordsPerMinute = 175;

    SpeechSynthesizer() = default;
    SpeechSynthesizer(const SpeechSynthesizer&) = delete;
    SpeechSynthesizer& operator=(const SpeechSynthesizer&) = delete;

    // Loads espeak-ng's data (from `dataPath`, or espeak-ng's own place when empty) and both
    // voices. Returns an empty string when ready, otherwise what is missing. May be called
    // again, to try again or to load other data.
    QString initialize(const QString& dataPath);
    bool isReady() const { return m_ready; }

    // The espeak-ng voice that speaks a language: "cmn" (Mandarin) or "en-us".
    static QString voiceName(SpeechLanguage language);
    // Speed in words per minute for a rate of -10..10: 1.1 times faster for each step.
    static int wordsPerMinute(int rate);

    // Synthesises `text` with the language's voice. With `endPause` a sentence pause follows
    // the text. Returns an empty string when done (also when the receiver stopped it),
    // otherwise what failed.
    QString synthesize(SpeechLanguage language, int rate, const QString& text, bool endPause,
                       Receiver& receiver);

private:
    QString selectVoice(const QString& name);

    bool m_ready = false;
    QString m_voice;
    int m_wordsPerMinute = 0;
};
