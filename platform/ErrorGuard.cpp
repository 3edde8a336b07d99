#include "ErrorGuard.h"

#include "AppTitle.h"
#include "Exception.h"
#include "MessageDialogs.h"

#include <QApplication>

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
        MessageDialogs::show(QApplication::activeWindow(), MessageDialogs::Kind::Critical,
                             appTitle(), text);
    } catch (...) {
        // Nowhere left to report to; the program goes on.
    }
}
