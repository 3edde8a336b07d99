#include "Fonts.h"

#include <QStringList>

namespace Fonts {

static const QString kCjkFallback = QStringLiteral("WenQuanYi Micro Hei");

QFont songTi(int pixelSize)
{
    QFont f;
    f.setFamilies(QStringList() << QStringLiteral("宋体") << QStringLiteral("SimSun")
                                << kCjkFallback);
    f.setPixelSize(pixelSize);
    return f;
}

QFont tahoma(int pixelSize)
{
    QFont f;
    // WenQuanYi Micro Hei lists the tone-marked vowels of Latin Extended-B (ǎ ǒ ǔ ǚ) but draws
    // them blank at small sizes, so Latin text falls back to DejaVu Sans first.
    f.setFamilies(QStringList() << QStringLiteral("Tahoma") << QStringLiteral("DejaVu Sans")
                                << kCjkFallback);
    f.setPixelSize(pixelSize);
    return f;
}

} // namespace Fonts
