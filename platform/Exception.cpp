#include "Exception.h"

Exception::Exception(const QString& message) : m_message(message), m_utf8(message.toUtf8()) {}

const char* Exception::what() const noexcept
{
    return m_utf8.constData();
}

QString exceptionText(const std::exception& e)
{
    if (const auto* own = dynamic_cast<const Exception*>(&e))
        return own->message();
    return QString::fromUtf8(e.what());
}
