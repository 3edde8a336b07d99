// How the idioms of the store are pronounced: for each set-up, the share of idioms whose idiom,
// as the voice engine hands it to espeak-ng, gives the same phonemes as the entry's own pinyin
// read by the same voice (stress marks ignored), and how many are switched to English.
//   bench_pronunciation            (after the store has been built)

#include "DbConnection.h"
#include "DbQuery.h"
#include "PinyinSyllables.h"
#include "Pronunciations.h"
#include "SpeechLexicon.h"
#include "Statements.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>
#include <espeak-ng/speak_lib.h>
#include <malloc.h>

namespace {

using Row = Pronunciations::Row;

// espeak-ng's phonemes for `text` in the voice set last, without stress marks, blanks folded.
QString phonemes(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    const void* at = utf8.constData();
    QString out;
    while (at) {
        if (const char* clause = espeak_TextToPhonemes(&at, espeakCHARS_UTF8, 0))
            out += QString::fromUtf8(clause) + u' ';
    }
    out.remove(u'\'');
    out.remove(u',');
    return out.simplified();
}

struct Setup
{
    const char* name;
    const char* voice;
    bool lexicon;
    int same = 0;        // of the idioms with intact pinyin
    int english = 0;     // of all idioms
    QStringList samples; // the examples that come out right
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString store = QStringLiteral(WQ_BUILD_DIR "/data/EduData.db");
    const QString connectionString = DbConnection::forFile(store);

    const size_t heapBefore = mallinfo2().uordblks;
    QElapsedTimer clock;
    clock.start();
    const SpeechLexicon lexicon = Pronunciations::read(connectionString);
    const double buildMs = clock.nsecsElapsed() / 1e6;
    const double lexiconMb = (mallinfo2().uordblks - heapBefore) / 1048576.0;

    const QList<Row> rows = Pronunciations::rows(connectionString);
    // Checked once: which rows have pinyin the comparison can trust.
    QList<bool> intactRow;
    intactRow.reserve(rows.size());
    for (const Row& row : rows)
        intactRow.append(!PinyinSyllables::readingOf(row.idiom, row.pinyin).isEmpty());
    const int intact = int(intactRow.count(true));

    if (espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, 0) <= 0) {
        std::fprintf(stderr, "espeak-ng did not start\n");
        return 1;
    }
    const QStringList watched = {QStringLiteral("望洋兴叹"), QStringLiteral("重三迭四"),
                                 QStringLiteral("打家劫舍"), QStringLiteral("睹微知著")};
    Setup setups[] = {{"(a) voice cmn, as before", "cmn", false, 0, 0, {}},
                      {"(b) cmn-latn-pinyin, no lexicon", "cmn-latn-pinyin", false, 0, 0, {}},
                      {"(c) cmn-latn-pinyin with the lexicon", "cmn-latn-pinyin", true, 0, 0, {}}};
    clock.restart();
    for (Setup& setup : setups) {
        espeak_SetVoiceByName(setup.voice);
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const Row& row = rows[i];
            const QString handed = setup.lexicon ? lexicon.apply(row.idiom).text : row.idiom;
            const QString said = phonemes(handed);
            if (said.contains(QLatin1String("(en)")))
                ++setup.english;
            if (!intactRow[i])
                continue;
            if (said == phonemes(row.pinyin)) {
                ++setup.same;
                if (watched.contains(row.idiom))
                    setup.samples << row.idiom;
            }
        }
    }
    const double compareS = clock.nsecsElapsed() / 1e9;

    std::printf("idioms in the store: %lld, with intact pinyin: %d, left out of the lexicon: %lld "
                "(damaged pinyin or a repeated idiom)\n",
                qint64(rows.size()), intact, qint64(rows.size() - lexicon.size()));
    std::printf("lexicon: %lld idioms, built in %.0f ms, %.1f MB of heap\n", qint64(lexicon.size()),
                buildMs, lexiconMb);
    std::printf("\n| Set-up | Same phonemes as the entry's pinyin | Switched to English |\n");
    std::printf("| --- | --- | --- |\n");
    for (const Setup& setup : setups) {
        std::printf("| %s | %.2f %% (%d of %d) | %d |\n", setup.name, 100.0 * setup.same / intact,
                    setup.same, intact, setup.english);
    }
    std::printf("\n");
    for (const Setup& setup : setups) {
        std::printf("%s: right among %s: %s\n", setup.name, qPrintable(watched.join(u' ')),
                    qPrintable(setup.samples.join(u' ')));
    }
    std::printf("(compared in %.0f s)\n", compareS);
    return 0;
}
