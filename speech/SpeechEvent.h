#pragma once

#include <QString>
#include <QtGlobal>

// An event of a voice object, in the order of the voice's event interface. The engine raises
// StartStream, EndStream, VoiceChange, Word and Sentence; the other kinds exist for the
// component's event properties and are never raised.
struct SpeechEvent
{
    enum Kind
    {
        StartStream,
        EndStream,
        VoiceChange,
        Bookmark,
        Word,
        Sentence,
        Phoneme,
        Viseme,
        AudioLevel,
        EnginePrivate,
    };

    Kind kind = StartStream;
    int streamNumber = 0;      // what Speak returned for the text
    qint64 streamPosition = 0; // bytes of audio of that text before the event
    // Word and Sentence: where the word or sentence lies in the text given to Speak.
    qsizetype characterPosition = 0;
    qsizetype length = 0;
    QString voiceName; // VoiceChange: the synthesiser voice now speaking ("cmn", "en-us")
};
