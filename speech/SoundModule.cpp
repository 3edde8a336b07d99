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

// The module's entry, loading the module if it is not loaded yet; null with `why` set when it
// cannot be loaded. Tried again at each call until it loads.
WqCreateAudioOutput loadModule(QString& why)
{
    const QString path = modulePath();
    QMutexLocker lock(&s_lock);
    if (WqCreateAudioOutput create = s_loaded.value(path))
        return create;
    if (!QFileInfo::exists(path)) {
        why = QStringLiteral("No audio output: the sound module %1 is missing.").arg(path);
        return nullptr;
    }
    QLibrary library(path);
    // The sound server's client library keeps its own state until exit.
    library.setLoadHints(QLibrary::PreventUnloadHint);
    WqCreateAudioOutput create = nullptr;
    if (library.load())
        create =
            reinterpret_cast<WqCreateAudioOutput>(library.resolve("wenquellCreateAudioOutput"));
    if (!create) {
        why = QStringLiteral("No audio output: the sound module %1 cannot be loaded (%2).")
                  .arg(path, library.errorString());
        return nullptr;
    }
    s_loaded.insert(path, create);
    return create;
}

} // namespace

void SoundModule::load()
{
    QString why;
    loadModule(why);
}

std::unique_ptr<AudioOutput> SoundModule::createOutput()
{
    QString why;
    const WqCreateAudioOutput create = loadModule(why);
    if (!create)
        return std::make_unique<MissingOutput>(why);
    return std::unique_ptr<AudioOutput>(create());
}
