#pragma once

#include "SpeechEvent.h"

// The event interface of a voice object: a voice hands each of its events to the one sink
// attached to it, on the thread the voice was created on.
class ISpeechVoiceEvents
{
public:
    virtual ~ISpeechVoiceEvents() = default;
    virtual void speechEvent(const SpeechEvent& event) = 0;
};
