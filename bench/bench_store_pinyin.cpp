// The store's pinyin after the builder's repairs, checked over the whole store:
//  - every entry the report lists as repaired is found by its repaired toneless pinyin and by
//    its initials, through the program's own pinyin search statement, and shows that pinyin;
//  - the check run again on the store's pinyin repairs nothing more, and fails exactly the
//    entries the report lists as failing.
//   bench_store_pinyin            (after the store has been built)

#include "DbConnection.h"
#include "DbQuery.h"
#include "Gbk.h"
#include "Pinyin.h"
#include "PinyinRepair.h"
#include "Readings.h"
#include "Statements.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <cstdio>

namespace {

struct Listed
{
    QString status; // "repaired" or "failing"
    QString idiom;  // as the store holds it, with a lost character restored
    QString after;  // the pinyin the store holds
};

QList<Listed> reportLines(const QString& path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        return {};
    QList<Listed> out;
    const QList<QByteArray> lines = in.readAll().split('\n');
    for (const QByteArray& line : lines.mid(1)) {
        const QStringList cells = QString::fromUtf8(line).split(u'\t');
        if (cells.size() == 8)
            out.append({cells[0], cells[3], cells[5]});
    }
    return out;
}

// Whether searching for `text` the way the main window does finds `idiom` showing `pinyin`.
bool found(DbQuery& query, const QString& text, const QString& idiom, const QString& pinyin)
{
    Statements::run(query, Statements::pinyinSearch(Gbk::fromUnicode(text)));
    for (; !query.eof(); query.next()) {
        if (query.fieldAsString(QStringLiteral("ChengYu")) == idiom &&
            query.fieldAsString(QStringLiteral("PingYin")) == pinyin)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString store = QStringLiteral(WQ_BUILD_DIR "/data/EduData.db");
    const QList<Listed> listed = reportLines(QStringLiteral(WQ_BUILD_DIR "/data/repairs.tsv"));
    if (listed.isEmpty()) {
        std::fprintf(stderr, "no build/data/repairs.tsv: build the store first\n");
        return 1;
    }

    DbConnection connection;
    connection.setConnectionString(DbConnection::forFile(store));
    connection.open();
    DbQuery query;
    query.setConnection(&connection);

    QElapsedTimer clock;
    clock.start();
    int changed = 0, byToneless = 0, byInitials = 0, failingInReport = 0;
    QStringList missed;
    QSet<QString> failingListed;
    for (const Listed& entry : listed) {
        if (entry.status == QLatin1String("failing")) {
            ++failingInReport;
            failingListed.insert(entry.idiom + u'\t' + entry.after);
        }
        if (entry.status != QLatin1String("repaired"))
            continue;
        ++changed;
        const QStringList syllables = Pinyin::syllables(entry.after);
        QString toneless, initials;
        for (const QString& s : syllables) {
            toneless += s;
            initials += s.front();
        }
        const bool a = found(query, toneless, entry.idiom, entry.after);
        const bool b = found(query, initials, entry.idiom, entry.after);
        byToneless += a ? 1 : 0;
        byInitials += b ? 1 : 0;
        if (!a || !b)
            missed.append(entry.idiom);
    }
    const double searchMs = clock.nsecsElapsed() / 1e6;

    const QString example = QStringLiteral("苍白无力");
    const QString shown = QStringLiteral("cāng bái wú lì");
    std::printf("repaired entries: %d; found by their toneless pinyin: %d, by their initials: %d "
                "(%.0f ms for %d searches)\n",
                changed, byToneless, byInitials, searchMs, 2 * changed);
    if (!missed.isEmpty())
        std::printf("not found: %s\n", qPrintable(missed.join(u' ')));
    std::printf("%s: found by cangbaiwuli: %s, by cbwl: %s, showing \"%s\"\n", qPrintable(example),
                found(query, QStringLiteral("cangbaiwuli"), example, shown) ? "yes" : "no",
                found(query, QStringLiteral("cbwl"), example, shown) ? "yes" : "no",
                qPrintable(shown));

    Readings readings;
    QString error;
    if (!readings.load(QStringLiteral(WQ_READINGS), &error)) {
        std::printf("the check again on the store: skipped (%s)\n", qPrintable(error));
        return missed.isEmpty() ? 0 : 1;
    }
    Statements::run(query, Statements::pronunciations());
    int rows = 0, repairedAgain = 0, failing = 0, failingUnlisted = 0;
    for (; !query.eof(); query.next(), ++rows) {
        const QString idiom = query.fieldAsString(QStringLiteral("ChengYu"));
        const QString pinyin = query.fieldAsString(QStringLiteral("PingYin"));
        const PinyinRepair::Outcome again = PinyinRepair::check(idiom, pinyin, readings);
        // A failing entry may keep the repairs it had; only those of passing ones must be final.
        if (again.failure.isEmpty() && !again.changes.isEmpty())
            ++repairedAgain;
        if (!again.failure.isEmpty()) {
            ++failing;
            if (!failingListed.contains(idiom + u'\t' + pinyin))
                ++failingUnlisted;
        }
    }
    std::printf("the check again on the store's %d entries: %d repaired further, %d failing "
                "(%d listed as failing in the report, %d failing but not listed)\n",
                rows, repairedAgain, failing, failingInReport, failingUnlisted);
    return missed.isEmpty() && repairedAgain == 0 && failingUnlisted == 0 ? 0 : 1;
}
