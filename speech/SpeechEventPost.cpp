#include "SpeechEventPost.h"

SpeechEventPost::SpeechEventPost(const SpeechEvent& event) : QEvent(eventType()), m_event(event) {}

QEvent::Type SpeechEventPost::eventType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}
