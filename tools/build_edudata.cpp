// Converts the idiom data set's text file into the program's idiom store, checking and
// repairing each entry's pinyin on the way.
//   build_edudata <data/3.txt> <EduData.db> [--readings <readings.tsv>] [--report <repairs.tsv>]

#include "DbBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    DbBuilder::Options options;
    for (qsizetype i = 0; i + 1 < args.size();) {
        if (args[i] == QLatin1String("--readings"))
            options.readingsPath = args.takeAt(i + 1);
        else if (args[i] == QLatin1String("--report"))
            options.reportPath = args.takeAt(i + 1);
        else {
            ++i;
            continue;
        }
        args.removeAt(i);
    }
    if (args.size() != 2 || args[0].startsWith(u'-') || args[1].startsWith(u'-')) {
        std::fprintf(stderr, "usage: build_edudata <idiom text file> <database file> "
                             "[--readings <readings file>] [--report <report file>]\n");
        return 2;
    }
    try {
        QDir().mkpath(QFileInfo(args[1]).absolutePath());
        if (!options.reportPath.isEmpty())
            QDir().mkpath(QFileInfo(options.reportPath).absolutePath());
        const DbBuilder::Report r = DbBuilder::build(args[0], args[1], options);
        std::printf("%s: %d idioms written, %d damaged lines skipped", qPrintable(args[1]), r.rows,
                    int(r.skippedLines.size()));
        if (!r.skippedLines.isEmpty()) {
            std::printf(" (lines");
            for (int line : r.skippedLines)
                std::printf(" %d", line);
            std::printf(")");
        }
        std::printf("\npinyin checked: %d entries, %d passed as written, %d repaired, %d still "
                    "failing%s\n",
                    r.rows, r.rows - r.repaired - r.failing, r.repaired, r.failing,
                    options.readingsPath.isEmpty() ? " (no readings given)" : "");
        if (!r.rules.isEmpty()) {
            std::printf("repairs by rule:");
            for (auto it = r.rules.cbegin(); it != r.rules.cend(); ++it)
                std::printf(" %s %d", qPrintable(it.key()), it.value());
            std::printf("\n");
        }
        std::printf("meaning index built in %lld ms\n", static_cast<long long>(r.indexMs));
        return 0;
    } catch (const DbBuilder::Error& e) {
        std::fprintf(stderr, "build_edudata: %s: %s\n", qPrintable(args[0]), e.what());
        return 1;
    }
}
