// Converts the idiom data set's text file into the program's idiom store.
//   build_edudata <data/3.txt> <EduData.db>

#include "DbBuilder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: build_edudata <idiom text file> <database file>\n");
        return 2;
    }
    try {
        QDir().mkpath(QFileInfo(args[2]).absolutePath());
        const DbBuilder::Report r = DbBuilder::build(args[1], args[2]);
        std::printf("%s: %d idioms written, %d damaged lines skipped",
                    qPrintable(args[2]), r.rows, int(r.skippedLines.size()));
        if (!r.skippedLines.isEmpty()) {
            std::printf(" (lines");
            for (int line : r.skippedLines)
                std::printf(" %d", line);
            std::printf(")");
        }
        std::printf("\n");
        return 0;
    } catch (const DbBuilder::Error& e) {
        std::fprintf(stderr, "build_edudata: %s: %s\n", qPrintable(args[1]), e.what());
        return 1;
    }
}
