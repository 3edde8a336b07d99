#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The program's error type: carries the text the general error handler shows.
class Exception : public std::exception
{
public:
    explicit Exception(const QString& message);

    const QString& message() const { return m_message; }
    const char* what() const noexcept override;

private:
    QString m_message;
    QByteArray m_utf8;
};

// Raised by the idiom store: a connection that will not open, a statement it rejects.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

// Raised by a control when a property is given a value it cannot take.
class EInvalidOperation : public Exception
{
public:
    using Exception::Exception;
};

// The text of any exception, for a message box.
QString exceptionText(const std::exception& e);
