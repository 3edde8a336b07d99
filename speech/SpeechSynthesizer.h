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

    // The espeak-ng voice that speaks a language: "cmn-latn-pinyin" (Mandarin) or "en-us".
    // Not "cmn": espeak-ng 1.51's "cmn" reads each character as English-spelled pinyin.
    static QString voiceName(SpeechLanguage language);
    // What of espeak-ng's data the two voices need is missing under `dataPath` (empty:
    // espeak-ng's own place), as the error to show; empty when nothing is. Only looks at files,
    // so it is quick and may run on any thread.
    static QString missingData(const QString& dataPath);
    // Speed in words per minute for a rate of -10..10, such that speech comes out about 1.1
    // times faster for each step. espeak-ng's own speed is not proportional to its words per
    // minute: Mandarin syllables shorten faster than the setting rises (measured with both
    // voices from -10 to 10), so each step raises the setting by 1.1 to the power 0.8.
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
