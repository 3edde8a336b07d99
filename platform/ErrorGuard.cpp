#include "ErrorGuard.h"

#include "Exception.h"

#include <QtGlobal>

#include <cstdio>

namespace {

ErrorReporter& reporter()
{
    static ErrorReporter installed;
    return installed;
}

} // namespace

void setErrorReporter(ErrorReporter report)
{
    reporter() = std::move(report);
}

QString errorText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return exceptionText(e);
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

void printErrorLine(const QString& text) noexcept
{
    try {
        const QByteArray line = QStringLiteral("Wenquell: %1\n").arg(text).toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
        std::fflush(stderr);
    } catch (...) {
        // Nowhere left to say it.
    }
}

void reportUnhandledException(std::exception_ptr error) noexcept
{
    try {
        const QString text = errorText(error);
        if (reporter())
            reporter()(text);
        else
            qWarning("%s", qPrintable(text));
    } catch (...) {
        // Nowhere left to report to; the program goes on.
    }
}
