#include "MessageDialogs.h"

#include "AppTitle.h"
#include "ErrorGuard.h"
#include "Translations.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace MessageDialogs {

static Recorder& recorder()
{
    static Recorder r;
    return r;
}

void setRecorder(Recorder r)
{
    recorder() = std::move(r);
}

Recorder currentRecorder()
{
    return recorder();
}

void show(QWidget* parent, Kind kind, const QString& caption, const QString& text)
{
    if (recorder()) {
        recorder()(kind, caption, text);
        return;
    }
    const QMessageBox::Icon icon = kind == Kind::Critical      ? QMessageBox::Critical
                                   : kind == Kind::Information ? QMessageBox::Information
                                                               : QMessageBox::NoIcon;
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.button(QMessageBox::Ok)->setText(Translations::okButtonText());
    box.exec();
}

} // namespace MessageDialogs

void MessageDialogs::installErrorReporter()
{
    setErrorReporter([](const QString& text) {
        show(QApplication::activeWindow(), Kind::Critical, appTitle(), text);
    });
}
