#include "SoundModule.h"

#include "AppPaths.h"

#include <QFileInfo>
#include <QHash>
#include <QLibrary>
#include <QMutex>

namespace {

// Stands in for the sound card when its module is missing: opening it gives the reason.
class MissingOutput : public AudioOutput
{
public:
    explicit MissingOutput(QString why) : m_why(std::move(why)) {}
    QString open(int) override { return m_why; }
    qint64 bytesFree() override { return 0; }
    void write(const QByteArray&) override {}
    void suspend() override {}
    void resume() override {}
    QString failure() const override { return m_why; }

private:
    QString m_why;
};

// The modules loaded so far, by path: a module that loaded stays loaded.
QMutex s_lock;
QHash<QString, WqCreateAudioOutput> s_loaded;

QString modulePath()
{
    const QString chosen = qEnvironmentVariable("WENQUELL_SOUND_MODULE");
    if (!chosen.isEmpty())
        return chosen;
    return QFileInfo(AppPaths::executableFile()).absolutePath() +
           QStringLiteral("/libwenquell-sound.so");
}

} // namespace

std::unique_ptr<AudioOutput> SoundModule::createOutput()
{
    const QString path = modulePath();
    QMutexLocker lock(&s_lock);
    WqCreateAudioOutput create = s_loaded.value(path);
    if (!create) {
        // Tried again by each output, as the voice tries again after a failure.
        if (!QFileInfo::exists(path)) {
            return std::make_unique<MissingOutput>(
                QStringLiteral("No audio output: the sound module %1 is missing.").arg(path));
        }
        QLibrary library(path);
        // Qt Multimedia keeps threads and the sound server's callbacks running until exit.
        library.setLoadHints(QLibrary::PreventUnloadHint);
        if (library.load())
            create =
                reinterpret_cast<WqCreateAudioOutput>(library.resolve("wenquellCreateAudioOutput"));
        if (!create) {
            return std::make_unique<MissingOutput>(
                QStringLiteral("No audio output: the sound module %1 cannot be loaded (%2).")
                    .arg(path, library.errorString()));
        }
        s_loaded.insert(path, create);
    }
    return std::unique_ptr<AudioOutput>(create());
}
