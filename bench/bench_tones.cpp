// Whether a listener can hear the tones: a fixed random sample of the store's idioms with intact
// pinyin, each idiom line (a) synthesised by espeak-ng as the engine does (the voice
// cmn-latn-pinyin given the entry's pinyin) and (b) put together from the recorded syllables
// (each trimmed of silence, its DC offset removed, its loudness evened), every syllable's pitch
// tracked with aubio (yinfft) and its contour classified: first tone high and level, second
// rising, third low or dipping, fourth falling. Prints the share of syllables whose contour
// shows the tone they should carry (after sandhi), the pitch range in semitones, and how many
// syllables have no recording.
//   bench_tones [sample size, 2000 by default]     (after the store has been built)

#include "DbConnection.h"
#include "PinyinSyllables.h"
#include "Pronunciations.h"
#include "SpeechSynthesizer.h"
#include "SyllablePlan.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <algorithm>
#include <aubio/aubio.h>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vorbis/vorbisfile.h>

namespace {

const QString RecordingRoot = QStringLiteral("/usr/share/gcin-voice/ogg");

// One idiom line as sound, with where each syllable lies.
struct Line
{
    int sampleRate = 0;
    std::vector<float> samples;
    QList<std::pair<qint64, qint64>> syllables; // [begin, end) in samples
};

// The recordings of one set, decoded and prepared once each.
class Recordings
{
public:
    explicit Recordings(QString file) : m_file(std::move(file)) {}

    bool has(const QString& folder) const
    {
        return QFileInfo::exists(RecordingRoot + u'/' + folder + u'/' + m_file);
    }

    // Mono samples at 44.1 kHz, prepared; empty when the file is missing or does not decode.
    const std::vector<float>& get(const QString& folder)
    {
        auto found = m_cache.find(folder);
        if (found == m_cache.end())
            found = m_cache.insert(folder,
                                   prepare(decode(RecordingRoot + u'/' + folder + u'/' + m_file)));
        return *found;
    }

private:
    static std::vector<float> decode(const QString& path)
    {
        std::vector<float> out;
        OggVorbis_File vf;
        if (ov_fopen(QFile::encodeName(path).constData(), &vf) != 0)
            return out;
        const vorbis_info* info = ov_info(&vf, -1);
        const int channels = info ? info->channels : 1;
        float** pcm = nullptr;
        int section = 0;
        long n;
        while ((n = ov_read_float(&vf, &pcm, 4096, &section)) > 0) {
            for (long i = 0; i < n; ++i) {
                float sum = 0;
                for (int c = 0; c < channels; ++c)
                    sum += pcm[c][i];
                out.push_back(sum / float(channels));
            }
        }
        ov_clear(&vf);
        return out;
    }

    // DC offset removed, silence trimmed (10 ms frames below 1/30 of the loudest frame's RMS,
    // about -30 dB, at either end), loudness evened to an RMS of 0.1 (-20 dBFS).
    static std::vector<float> prepare(std::vector<float> s)
    {
        if (s.empty())
            return s;
        const double mean = std::accumulate(s.begin(), s.end(), 0.0) / double(s.size());
        for (float& v : s)
            v -= float(mean);
        constexpr size_t Frame = 441;
        std::vector<double> rms;
        for (size_t at = 0; at < s.size(); at += Frame) {
            double sum = 0;
            const size_t end = std::min(s.size(), at + Frame);
            for (size_t i = at; i < end; ++i)
                sum += double(s[i]) * s[i];
            rms.push_back(std::sqrt(sum / double(end - at)));
        }
        const double loudest = *std::max_element(rms.begin(), rms.end());
        size_t first = 0, last = rms.size();
        while (first < last && rms[first] < loudest / 30)
            ++first;
        while (last > first && rms[last - 1] < loudest / 30)
            --last;
        std::vector<float> kept(s.begin() + qsizetype(first * Frame),
                                s.begin() + qsizetype(std::min(s.size(), last * Frame)));
        double sum = 0;
        for (float v : kept)
            sum += double(v) * v;
        const double gain = kept.empty() ? 1 : 0.1 / std::sqrt(sum / double(kept.size()));
        for (float& v : kept)
            v = std::clamp(float(v * gain), -1.0f, 1.0f);
        return kept;
    }

    QString m_file;
    QHash<QString, std::vector<float>> m_cache;
};

// espeak-ng's audio and word boundaries.
struct EspeakReceiver : SpeechSynthesizer::Receiver
{
    std::vector<float> samples;
    QList<qint64> words;
    bool audio(const short* s, int count) override
    {
        for (int i = 0; i < count; ++i)
            samples.push_back(s[i] / 32768.0f);
        return true;
    }
    void boundary(SpeechEvent::Kind kind, int, int, qint64 sample) override
    {
        if (kind == SpeechEvent::Word)
            words.append(sample);
    }
};

// Pitch in Hz per hop (0 where unvoiced), and the hop in samples.
struct Track
{
    QList<double> hz;
    int hop = 0;
};

Track trackPitch(const Line& line)
{
    Track track;
    const uint_t window = line.sampleRate > 30000 ? 2048 : 1024;
    track.hop = int(window / 8);
    aubio_pitch_t* pitch =
        new_aubio_pitch("yinfft", window, uint_t(track.hop), uint_t(line.sampleRate));
    aubio_pitch_set_unit(pitch, "Hz");
    aubio_pitch_set_silence(pitch, -60);
    fvec_t* in = new_fvec(uint_t(track.hop));
    fvec_t* out = new_fvec(1);
    for (size_t at = 0; at + size_t(track.hop) <= line.samples.size(); at += size_t(track.hop)) {
        std::copy_n(line.samples.begin() + qsizetype(at), track.hop, in->data);
        aubio_pitch_do(pitch, in, out);
        const double f = out->data[0];
        // Not aubio's confidence: on these voices it drops to nothing within a line while the
        // estimates stay right; the 60 to 500 Hz window and the median filter do instead.
        const bool voiced = f >= 60 && f <= 500;
        track.hz.append(voiced ? f : 0.0);
    }
    del_fvec(out);
    del_fvec(in);
    del_aubio_pitch(pitch);
    return track;
}

double percentile(QList<double> v, double p)
{
    if (v.isEmpty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[qsizetype(std::clamp(p * double(v.size() - 1), 0.0, double(v.size() - 1)))];
}

double semitones(double hz, double reference)
{
    return 12.0 * std::log2(hz / reference);
}

// The tone a contour shows, 1 to 4, or 0 when too little of it is voiced. `pitch` holds the
// voiced frames in semitones against the line's median.
int classify(QList<double> pitch)
{
    // Octave errors: frames more than 7 semitones from the syllable's median are left out.
    const double middle = percentile(pitch, 0.5);
    pitch.removeIf([middle](double v) { return std::abs(v - middle) > 7.0; });
    if (pitch.size() < 6)
        return 0;
    // The first and last tenth carry the consonant's and the join's disturbances.
    const qsizetype cut = pitch.size() / 10;
    pitch = pitch.mid(cut, pitch.size() - 2 * cut);
    QList<double> smooth;
    for (qsizetype i = 0; i < pitch.size(); ++i) {
        QList<double> around;
        for (qsizetype j = std::max<qsizetype>(0, i - 2); j <= std::min(pitch.size() - 1, i + 2);
             ++j)
            around.append(pitch[j]);
        smooth.append(percentile(around, 0.5));
    }
    const qsizetype quarter = std::max<qsizetype>(1, smooth.size() / 4);
    const auto meanOf = [](auto begin, auto end) {
        return std::accumulate(begin, end, 0.0) / double(std::distance(begin, end));
    };
    const double start = meanOf(smooth.begin(), smooth.begin() + quarter);
    const double end = meanOf(smooth.end() - quarter, smooth.end());
    const double low = *std::min_element(smooth.begin(), smooth.end());
    const double level = meanOf(smooth.begin(), smooth.end());
    if (low < start - 1.5 && low < end - 1.5)
        return 3;
    if (end - start <= -2.0)
        return 4;
    if (end - start >= 2.0)
        return 2;
    return level >= -1.0 ? 1 : 3;
}

struct Result
{
    const char* name = "";
    int lines = 0;
    int skippedLines = 0; // no audio, or syllables that could not be told apart
    int syllables = 0;    // with a tone (neutral ones are not counted)
    int matching = 0;
    int unvoiced = 0;
    int perTone[5] = {};
    int perToneMatching[5] = {};
    QList<double> lineRanges; // semitones, 10th to 90th percentile of each line
    QList<double> allHz;
    QString watched; // what 望洋兴叹 shows
};

void measure(const Line& line, const QList<int>& tones, Result& result, bool watch)
{
    const Track track = trackPitch(line);
    QList<double> voiced;
    for (double f : track.hz)
        if (f > 0)
            voiced.append(f);
    if (voiced.size() < 10) {
        ++result.skippedLines;
        return;
    }
    ++result.lines;
    const double median = percentile(voiced, 0.5);
    result.lineRanges.append(semitones(percentile(voiced, 0.9), percentile(voiced, 0.1)));
    result.allHz.append(voiced);
    QStringList seen;
    for (qsizetype s = 0; s < line.syllables.size(); ++s) {
        QList<double> pitch;
        for (qsizetype i = 0; i < track.hz.size(); ++i) {
            const qint64 centre = i * track.hop + track.hop / 2;
            if (centre >= line.syllables[s].first && centre < line.syllables[s].second &&
                track.hz[i] > 0)
                pitch.append(semitones(track.hz[i], median));
        }
        const int shown = classify(pitch);
        if (watch && qEnvironmentVariableIsSet("BENCH_TONES_DEBUG")) {
            QStringList hz;
            for (qsizetype i = line.syllables[s].first / track.hop;
                 i < line.syllables[s].second / track.hop && i < track.hz.size(); ++i)
                hz << QString::number(int(track.hz[i]));
            std::fprintf(stderr, "syllable %lld: %lld voiced: %s\n", qint64(s),
                         qint64(pitch.size()), qPrintable(hz.join(u' ')));
        }
        seen << QString::number(shown);
        if (tones[s] == SyllablePlan::Neutral)
            continue;
        ++result.syllables;
        ++result.perTone[tones[s]];
        if (shown == 0)
            ++result.unvoiced;
        if (shown == tones[s]) {
            ++result.matching;
            ++result.perToneMatching[tones[s]];
        }
    }
    if (watch)
        result.watched = seen.join(u' ');
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int sampleSize = argc > 1 ? std::max(1, atoi(argv[1])) : 2000;
    const QString store = QStringLiteral(WQ_BUILD_DIR "/data/EduData.db");
    const QList<Pronunciations::Row> rows = Pronunciations::rows(DbConnection::forFile(store));

    struct Idiom
    {
        QString idiom;
        QStringList syllables;
    };
    QList<Idiom> intact;
    for (const Pronunciations::Row& row : rows) {
        const QStringList syllables = PinyinSyllables::readingOf(row.idiom, row.pinyin);
        if (!syllables.isEmpty())
            intact.append({row.idiom, syllables});
    }
    // A fixed sample: the same idioms on every run and machine, and 望洋兴叹 among them.
    QRandomGenerator random(26);
    std::shuffle(intact.begin(), intact.end(), random);
    const auto watchedAt = std::find_if(intact.begin(), intact.end(), [](const Idiom& i) {
        return i.idiom == QStringLiteral("望洋兴叹");
    });
    if (watchedAt != intact.end())
        std::iter_swap(intact.begin(), watchedAt);
    const QList<Idiom> sample = intact.mid(0, sampleSize);

    SpeechSynthesizer espeak;
    const QString why = espeak.initialize(QString());
    if (!why.isEmpty()) {
        std::fprintf(stderr, "espeak-ng: %s\n", qPrintable(why));
        return 1;
    }
    const bool haveRecordings = QDir(RecordingRoot).exists();
    if (!haveRecordings)
        std::printf("No recordings under %s (install gcin-voice): only (a) is measured.\n",
                    qPrintable(RecordingRoot));
    Recordings set3(QStringLiteral("3.ogg"));
    Recordings set5(QStringLiteral("5.ogg"));

    Result espeakResult;
    espeakResult.name = "(a) espeak-ng, cmn-latn-pinyin";
    Result recorded;
    recorded.name = "(b) recorded syllables (3.ogg)";
    int syllableCount = 0, noRecording = 0, noChangedTone = 0, noRecording5 = 0, neutral = 0;
    QSet<QString> missingNames;
    QElapsedTimer clock;
    clock.start();
    for (const Idiom& idiom : sample) {
        const bool watch = idiom.idiom == QStringLiteral("望洋兴叹");
        QList<SyllablePlan::Syllable> syllables;
        for (const QString& s : idiom.syllables)
            syllables.append(SyllablePlan::parse(s));
        const QList<int> tones = SyllablePlan::spokenTones(syllables, idiom.idiom);
        syllableCount += int(syllables.size());
        neutral += int(tones.count(SyllablePlan::Neutral));

        // (a) as the engine hands an idiom of the lexicon to espeak-ng: its pinyin.
        EspeakReceiver receiver;
        espeak.synthesize(SpeechLanguage::Chinese, 0, idiom.syllables.join(u' '), false, receiver);
        if (qEnvironmentVariableIsSet("BENCH_TONES_DEBUG"))
            std::fprintf(stderr, "%s: %lld words for %lld syllables\n", qPrintable(idiom.idiom),
                         qint64(receiver.words.size()), qint64(syllables.size()));
        if (receiver.words.size() == syllables.size()) {
            Line line{SpeechSynthesizer::SampleRate, std::move(receiver.samples), {}};
            for (qsizetype i = 0; i < receiver.words.size(); ++i)
                line.syllables.append({receiver.words[i], i + 1 < receiver.words.size()
                                                              ? receiver.words[i + 1]
                                                              : qint64(line.samples.size())});
            measure(line, tones, espeakResult, watch);
        } else {
            ++espeakResult.skippedLines;
        }

        if (!haveRecordings)
            continue;
        // (b) the recordings, 40 ms apart inside the idiom.
        Line line{44100, {}, {}};
        QList<int> heard = tones;
        bool complete = true;
        for (qsizetype i = 0; i < syllables.size(); ++i) {
            SyllablePlan::Syllable spoken = syllables[i];
            spoken.tone = tones[i];
            QString folder;
            for (const QString& f : SyllablePlan::folders(spoken))
                if (folder.isEmpty() && set3.has(f))
                    folder = f;
            if (folder.isEmpty() && tones[i] != syllables[i].tone) {
                // The changed tone is not recorded: the written one is said, and expected.
                for (const QString& f : SyllablePlan::folders(syllables[i]))
                    if (folder.isEmpty() && set3.has(f))
                        folder = f;
                if (!folder.isEmpty()) {
                    ++noChangedTone;
                    heard[i] = syllables[i].tone;
                }
            }
            bool in5 = false;
            for (const QString& f : SyllablePlan::folders(spoken))
                in5 = in5 || set5.has(f);
            noRecording5 += in5 ? 0 : 1;
            if (folder.isEmpty()) {
                ++noRecording;
                missingNames.insert(idiom.syllables[i]);
                complete = false;
                continue;
            }
            const std::vector<float>& sound = set3.get(folder);
            const qint64 begin = qint64(line.samples.size());
            line.samples.insert(line.samples.end(), sound.begin(), sound.end());
            line.syllables.append({begin, qint64(line.samples.size())});
            line.samples.insert(line.samples.end(), 44100 * 40 / 1000, 0.0f);
        }
        if (complete)
            measure(line, heard, recorded, watch);
        else
            ++recorded.skippedLines;
    }
    const double seconds = clock.nsecsElapsed() / 1e9;

    std::printf("idioms with intact pinyin: %lld; sample: %lld idioms (seed 26), %d syllables, "
                "%d of them neutral (not counted)\n",
                qint64(intact.size()), qint64(sample.size()), syllableCount, neutral);
    if (haveRecordings) {
        std::printf("syllables with no recording in 3.ogg: %d (%s); in 5.ogg: %d; a changed "
                    "tone not recorded, the written one said: %d\n",
                    noRecording,
                    qPrintable(QStringList(missingNames.begin(), missingNames.end()).join(u' ')),
                    noRecording5, noChangedTone);
    }
    std::printf("\n| Voice | Syllables matching their tone | Tone 1 | Tone 2 | Tone 3 | Tone 4 "
                "| Unvoiced | Range, median of lines | Range, all lines | Lines measured "
                "(left out) |\n");
    std::printf("| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |\n");
    for (const Result* r : {&espeakResult, &recorded}) {
        if (r->syllables == 0)
            continue;
        std::printf("| %s | %.1f %% (%d of %d) |", r->name, 100.0 * r->matching / r->syllables,
                    r->matching, r->syllables);
        for (int t = 1; t <= 4; ++t)
            std::printf(" %.1f %% |",
                        r->perTone[t] ? 100.0 * r->perToneMatching[t] / r->perTone[t] : 0.0);
        std::printf(" %d | %.1f st | %.1f st | %d (%d) |\n", r->unvoiced,
                    percentile(r->lineRanges, 0.5),
                    semitones(percentile(r->allHz, 0.9), percentile(r->allHz, 0.1)), r->lines,
                    r->skippedLines);
    }
    std::printf("\n望洋兴叹 (4 2 1 4), tones shown: (a) %s, (b) %s\n",
                qPrintable(espeakResult.watched), qPrintable(recorded.watched));
    std::printf("(measured in %.0f s)\n", seconds);
    return 0;
}
