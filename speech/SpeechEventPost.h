#pragma once

#include "SpeechEvent.h"

#include <QEvent>

// Carries a voice's event from the engine's threads to the voice object.
class SpeechEventPost : public QEvent
{
public:
    explicit SpeechEventPost(const SpeechEvent& event);
    static QEvent::Type eventType();

    const SpeechEvent& event() const { return m_event; }

private:
    SpeechEvent m_event;
};
