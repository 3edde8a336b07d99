#include "Update.h"

#include "UpdateChecker.h"

#include <QApplication>
#include <QStringDecoder>
#include <QWidget>

extern "C" void DoUpdate(std::uintptr_t window, const char* address)
{
    // Called from the program's event handler: nothing may escape from here.
    try {
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || !address)
            return;
        QWidget* target = QWidget::find(WId(window));
        if (!target)
            return;
        // The address comes as the program's byte text.
        QStringDecoder gbk("GB18030");
        const QUrl url(gbk.decode(QByteArrayView(address)), QUrl::StrictMode);
        if (!url.isValid())
            return;
        auto* checker = new UpdateChecker(target, url, QCoreApplication::applicationVersion());
        checker->start();
    } catch (...) {
    }
}
