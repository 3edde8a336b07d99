#include "SpeechSynthesizer.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <QFile>
#include <QLibrary>
#include <QtMath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace {

// espeak-ng is opened by the first initialize() rather than linked: with the sound server's
// client library it brings a dozen codec libraries that every start-up would load.
struct EspeakLibrary
{
    QString failure; // empty when every function below was found
    decltype(&espeak_ng_InitializePath) InitializePath = nullptr;
    decltype(&espeak_ng_Initialize) Initialize = nullptr;
    decltype(&espeak_ng_InitializeOutput) InitializeOutput = nullptr;
    decltype(&espeak_ng_GetSampleRate) GetSampleRate = nullptr;
    decltype(&espeak_ng_ClearErrorContext) ClearErrorContext = nullptr;
    decltype(&espeak_ng_PrintStatusCodeMessage) PrintStatusCodeMessage = nullptr;
    decltype(&espeak_ng_GetStatusCodeMessage) GetStatusCodeMessage = nullptr;
    decltype(&espeak_ng_SetVoiceByName) SetVoiceByName = nullptr;
    decltype(&espeak_ng_SetParameter) SetParameter = nullptr;
    decltype(&espeak_ng_Synthesize) Synthesize = nullptr;
    decltype(&espeak_SetSynthCallback) SetSynthCallback = nullptr;
    decltype(&espeak_Info) Info = nullptr;
};

EspeakLibrary openEspeak()
{
    EspeakLibrary api;
    QLibrary library(QStringLiteral("espeak-ng"), 1);
    // espeak-ng is never terminated (see initialize()), so it is never unloaded either.
    library.setLoadHints(QLibrary::PreventUnloadHint);
    if (!library.load()) {
        api.failure = library.errorString();
        return api;
    }
    const auto find = [&](auto& function, const char* name) {
        function =
            reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
        if (!function && api.failure.isEmpty())
            api.failure = library.errorString();
    };
    find(api.InitializePath, "espeak_ng_InitializePath");
    find(api.Initialize, "espeak_ng_Initialize");
    find(api.InitializeOutput, "espeak_ng_InitializeOutput");
    find(api.GetSampleRate, "espeak_ng_GetSampleRate");
    find(api.ClearErrorContext, "espeak_ng_ClearErrorContext");
    find(api.PrintStatusCodeMessage, "espeak_ng_PrintStatusCodeMessage");
    find(api.GetStatusCodeMessage, "espeak_ng_GetStatusCodeMessage");
    find(api.SetVoiceByName, "espeak_ng_SetVoiceByName");
    find(api.SetParameter, "espeak_ng_SetParameter");
    find(api.Synthesize, "espeak_ng_Synthesize");
    find(api.SetSynthCallback, "espeak_SetSynthCallback");
    find(api.Info, "espeak_Info");
    return api;
}

// Opened once, on the engine's worker thread, by the first initialize().
const EspeakLibrary& espeak()
{
    static const EspeakLibrary api = openEspeak();
    return api;
}

// The receiver of the synthesis running now; espeak-ng calls back on the same thread.
SpeechSynthesizer::Receiver* s_receiver = nullptr;

int synthCallback(short* samples, int count, espeak_EVENT* events)
{
    if (!s_receiver)
        return 1;
    for (espeak_EVENT* e = events; e && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
        if (e->type == espeakEVENT_WORD || e->type == espeakEVENT_SENTENCE) {
            s_receiver->boundary(e->type == espeakEVENT_WORD ? SpeechEvent::Word
                                                             : SpeechEvent::Sentence,
                                 e->text_position - 1, e->length, e->sample);
        }
    }
    if (samples && count > 0 && !s_receiver->audio(samples, count))
        return 1;
    return 0;
}

// espeak-ng's description of a failure, with the file it concerns when there is one.
QString statusText(espeak_ng_STATUS status, espeak_ng_ERROR_CONTEXT context)
{
    char* buffer = nullptr;
    size_t size = 0;
    if (FILE* stream = open_memstream(&buffer, &size)) {
        espeak().PrintStatusCodeMessage(status, stream, context);
        fclose(stream);
    }
    QString text = QString::fromLocal8Bit(buffer, qsizetype(size)).trimmed();
    free(buffer);
    if (text.isEmpty()) {
        char message[512] = {};
        espeak().GetStatusCodeMessage(status, message, sizeof message);
        text = QString::fromLocal8Bit(message).trimmed();
    }
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString languageName(const QString& voice)
{
    return voice.startsWith(QLatin1String("cmn")) ? QStringLiteral("Mandarin")
                                                  : QStringLiteral("English");
}

// The files each voice needs beside the phoneme data: its voice file and its dictionary.
struct VoiceFiles
{
    const char* voice;
    const char* voiceFile;
    const char* dictionary;
};
constexpr VoiceFiles Voices[] = {
    {"cmn-latn-pinyin", "lang/sit/cmn-Latn-pinyin", "cmn_dict"},
    {"en-us", "lang/gmw/en-US", "en_dict"},
};

// espeak-ng's data directory for a data path: the path itself, or where espeak-ng looks by
// itself (ESPEAK_DATA_PATH, else the place the package installs it).
QString dataDirectory(const QString& dataPath)
{
    if (!dataPath.isEmpty())
        return dataPath;
    const QString fromEnvironment = qEnvironmentVariable("ESPEAK_DATA_PATH");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment + QStringLiteral("/espeak-ng-data");
    return QStringLiteral(WENQUELL_ESPEAK_DATA);
}

bool readable(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

} // namespace

QString SpeechSynthesizer::initialize(const QString& dataPath)
{
    // espeak-ng 1.51 can hang in espeak_ng_Terminate(), so it is never called: a failed start
    // leaves nothing behind, and starting again after a good start only reloads the data.
    m_ready = false;
    m_voice.clear();
    m_wordsPerMinute = 0;
    if (!espeak().failure.isEmpty()) {
        return QStringLiteral("The speech engine failed to start: the espeak-ng library cannot "
                              "be loaded (%1). Install the libespeak-ng1 package.")
            .arg(espeak().failure);
    }
    const QByteArray path = dataPath.toLocal8Bit();
    espeak().InitializePath(path.isEmpty() ? nullptr : path.constData());
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak().Initialize(&context);
    if (status != ENS_OK) {
        const QString why = statusText(status, context);
        espeak().ClearErrorContext(&context);
        return QStringLiteral("No speech data: the espeak-ng speech engine cannot load its data "
                              "(%1). Install the espeak-ng-data package.")
            .arg(why);
    }
    status = espeak().InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 50, nullptr);
    if (status != ENS_OK) {
        return QStringLiteral("The speech engine failed to start: espeak-ng reported \"%1\".")
            .arg(statusText(status, nullptr));
    }
    if (espeak().GetSampleRate() != SampleRate) {
        return QStringLiteral("The speech engine failed to start: espeak-ng speaks at %1 Hz "
                              "instead of %2 Hz.")
            .arg(espeak().GetSampleRate())
            .arg(SampleRate);
    }
    espeak().SetSynthCallback(synthCallback);

    // A voice whose dictionary is missing loads without complaint and then says nothing.
    const char* dataDir = nullptr;
    espeak().Info(&dataDir);
    const QString missing = missingData(QFile::decodeName(dataDir));
    if (!missing.isEmpty())
        return missing;
    m_ready = true;
    // Load both voices now, so that the first text does not wait for a dictionary.
    for (SpeechLanguage language : {SpeechLanguage::English, SpeechLanguage::Chinese}) {
        const QString why = selectVoice(voiceName(language));
        if (!why.isEmpty()) {
            m_ready = false;
            return why;
        }
    }
    return {};
}

QString SpeechSynthesizer::voiceName(SpeechLanguage language)
{
    return QString::fromLatin1(Voices[language == SpeechLanguage::English ? 1 : 0].voice);
}

QString SpeechSynthesizer::missingData(const QString& dataPath)
{
    const QString dir = dataDirectory(dataPath);
    for (const char* name : {"phontab", "phonindex", "phondata", "intonations"}) {
        const QString path = dir + u'/' + QLatin1String(name);
        if (!readable(path)) {
            return QStringLiteral("No speech data: the espeak-ng speech engine cannot load its "
                                  "data (Error processing file '%1': No such file or "
                                  "directory). Install the espeak-ng-data package.")
                .arg(path);
        }
    }
    for (const VoiceFiles& files : Voices) {
        const QString language = languageName(QString::fromLatin1(files.voice));
        const QString voiceFile = dir + u'/' + QLatin1String(files.voiceFile);
        if (!readable(voiceFile)) {
            return QStringLiteral("No speech data for the %1 voice: espeak-ng's voice file %2 is "
                                  "missing or unreadable. Install the espeak-ng-data package.")
                .arg(language, voiceFile);
        }
        const QString dictionary = dir + u'/' + QLatin1String(files.dictionary);
        if (!readable(dictionary)) {
            return QStringLiteral("No speech data for the %1 voice: espeak-ng's dictionary %2 is "
                                  "missing or unreadable. Install the espeak-ng-data package.")
                .arg(language, dictionary);
        }
    }
    return {};
}

int SpeechSynthesizer::wordsPerMinute(int rate)
{
    return qRound(NormalWordsPerMinute * qPow(1.1, 0.8 * qBound(-10, rate, 10)));
}

QString SpeechSynthesizer::selectVoice(const QString& name)
{
    if (name == m_voice)
        return {};
    const espeak_ng_STATUS status = espeak().SetVoiceByName(name.toUtf8().constData());
    if (status != ENS_OK) {
        m_voice.clear();
        return QStringLiteral("No speech data for the %1 voice: espeak-ng cannot load its voice "
                              "\"%2\" (%3). Install the espeak-ng-data package.")
            .arg(languageName(name), name, statusText(status, nullptr));
    }
    m_voice = name;
    m_wordsPerMinute = 0; // a new voice may come with its own speed
    return {};
}

QString SpeechSynthesizer::synthesize(SpeechLanguage language, int rate, const QString& text,
                                      bool endPause, Receiver& receiver)
{
    if (!m_ready)
        return QStringLiteral("The speech engine is not running.");
    QString why = selectVoice(voiceName(language));
    if (!why.isEmpty())
        return why;
    const int wpm = wordsPerMinute(rate);
    if (wpm != m_wordsPerMinute) {
        const espeak_ng_STATUS status = espeak().SetParameter(espeakRATE, wpm, 0);
        if (status != ENS_OK)
            return QStringLiteral("The speech engine failed: espeak-ng reported \"%1\" while "
                                  "setting the rate.")
                .arg(statusText(status, nullptr));
        m_wordsPerMinute = wpm;
    }
    const QByteArray utf8 = text.toUtf8();
    unsigned int flags = espeakCHARS_UTF8;
    if (endPause)
        flags |= espeakENDPAUSE;
    s_receiver = &receiver;
    const espeak_ng_STATUS status = espeak().Synthesize(
        utf8.constData(), size_t(utf8.size()) + 1, 0, POS_CHARACTER, 0, flags, nullptr, nullptr);
    s_receiver = nullptr;
    if (status != ENS_OK)
        return QStringLiteral("The speech engine failed: espeak-ng reported \"%1\" while "
                              "speaking.")
            .arg(statusText(status, nullptr));
    return {};
}
