// Any search text: a shape is parsed or not, matched against a few idioms, and the finder runs
// over it; nothing crashes and no text takes long, however many marks it holds.
#include "IdiomFinder.h"
#include "ShapeSearch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QStringList idioms = {
        QStringLiteral("一心一意"), QStringLiteral("高高兴兴"),
        QStringLiteral("天外有天"), QStringLiteral("项庄舞剑，意在沛公"),
        QStringLiteral("心意"),     QStringLiteral("𠀀𠀁")};
    static const IdiomFinder finder(idioms);
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const ShapeSearch::Pattern shape = ShapeSearch::parse(typed);
    (void)ShapeSearch::filter(shape, idioms);
    for (const QString& found : finder.find(typed)) {
        if (!typed.contains(found))
            __builtin_trap(); // the finder listed a headword that is not there
    }
    return 0;
}
