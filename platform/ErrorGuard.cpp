#include "ErrorGuard.h"

#include "Exception.h"

#include <QtGlobal>

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

void reportUnhandledException(std::exception_ptr error) noexcept
{
    QString text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        text = exceptionText(e);
    } catch (...) {
        text = QStringLiteral("Unknown error");
    }
    try {
        if (reporter())
            reporter()(text);
        else
            qWarning("%s", qPrintable(text));
    } catch (...) {
        // Nowhere left to report to; the program goes on.
    }
}
