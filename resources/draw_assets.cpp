// Draws the program's small pictures and writes them as PNG files beside this source:
//   cmake --build build --target draw_assets && build/resources/draw_assets resources
// The PNG files are committed; run this again after changing a drawing.

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <functional>

namespace {

using Draw = std::function<void(QPainter&)>;

QImage render(int w, int h, const Draw& draw)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

// The disabled look: grey, lighter, half transparent.
QImage disabled(const QImage& src)
{
    QImage out = src.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = line[x];
            const int g = 150 + qGray(c) / 3;
            line[x] = qRgba(g, g, g, qAlpha(c) * 3 / 5);
        }
    }
    return out;
}

QLinearGradient vertical(const QColor& top, const QColor& bottom, qreal h)
{
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void drawPlay(QPainter& p)
{
    QPainterPath path;
    path.moveTo(4.5, 2.5);
    path.lineTo(13.5, 8);
    path.lineTo(4.5, 13.5);
    path.closeSubpath();
    p.setPen(QPen(QColor(0x1d, 0x6b, 0x2c), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(QColor(0x6a, 0xd0, 0x7c), QColor(0x2a, 0x95, 0x3f), 16));
    p.drawPath(path);
}

void drawPause(QPainter& p)
{
    p.setPen(QPen(QColor(0x1f, 0x4f, 0x8f), 1));
    p.setBrush(vertical(QColor(0x7f, 0xb2, 0xef), QColor(0x2f, 0x6f, 0xbf), 16));
    p.drawRoundedRect(QRectF(3.5, 2.5, 3.5, 11), 1, 1);
    p.drawRoundedRect(QRectF(9.5, 2.5, 3.5, 11), 1, 1);
}

void drawResume(QPainter& p)
{
    p.setPen(QPen(QColor(0x9a, 0x55, 0x0c), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(QColor(0xf8, 0xc1, 0x6a), QColor(0xe0, 0x82, 0x1a), 16));
    p.drawRoundedRect(QRectF(2.5, 2.5, 3, 11), 1, 1);
    QPainterPath path;
    path.moveTo(7.5, 2.5);
    path.lineTo(14, 8);
    path.lineTo(7.5, 13.5);
    path.closeSubpath();
    p.drawPath(path);
}

void drawStop(QPainter& p)
{
    p.setPen(QPen(QColor(0x8f, 0x1f, 0x18), 1));
    p.setBrush(vertical(QColor(0xf0, 0x7d, 0x70), QColor(0xc3, 0x32, 0x28), 16));
    p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
}

void drawSearch(QPainter& p)
{
    p.setPen(QPen(QColor(0x6b, 0x4a, 0x2a), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.2, 10.2), QPointF(14, 14));
    p.setPen(QPen(QColor(0x2f, 0x5f, 0x9f), 1.6));
    QRadialGradient lens(5.5, 5, 6);
    lens.setColorAt(0, QColor(0xff, 0xff, 0xff));
    lens.setColorAt(1, QColor(0xb9, 0xd6, 0xf5));
    p.setBrush(lens);
    p.drawEllipse(QPointF(6.8, 6.8), 4.8, 4.8);
}

void drawDeal(QPainter& p)
{
    // Two cards, the front one carrying the blank marker of a question.
    p.setPen(QPen(QColor(0x5a, 0x5a, 0x70), 1));
    p.setBrush(QColor(0xe4, 0xe8, 0xf4));
    p.drawRoundedRect(QRectF(1.5, 3.5, 8, 11), 1.2, 1.2);
    p.setBrush(vertical(QColor(0xff, 0xff, 0xff), QColor(0xdc, 0xe6, 0xfa), 16));
    p.drawRoundedRect(QRectF(6.5, 1.5, 8, 11), 1.2, 1.2);
    QPainterPath tri;
    tri.moveTo(10.5, 4);
    tri.lineTo(13, 9);
    tri.lineTo(8, 9);
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc3, 0x32, 0x28));
    p.drawPath(tri);
}

void drawCheck(QPainter& p)
{
    QPainterPath tick;
    tick.moveTo(2.5, 8.5);
    tick.lineTo(6.5, 12.5);
    tick.lineTo(13.5, 3.5);
    p.setPen(QPen(QColor(0x1d, 0x6b, 0x2c), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(0x4c, 0xc2, 0x5f), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

// The program's icon: a red seal with the character 成 cut into it.
QImage drawIcon(int size)
{
    return render(size, size, [size](QPainter& p) {
        const qreal s = size;
        const QRectF box(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
        QLinearGradient fill(0, 0, s, s);
        fill.setColorAt(0, QColor(0xd2, 0x3b, 0x2c));
        fill.setColorAt(1, QColor(0x8e, 0x1a, 0x13));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(box, s * 0.16, s * 0.16);
        if (size >= 24) {
            p.setPen(QPen(QColor(0xff, 0xe9, 0xc7, 200), qMax(1.0, s / 40)));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(box.adjusted(s * 0.07, s * 0.07, -s * 0.07, -s * 0.07), s * 0.1,
                              s * 0.1);
        }
        QFont font(QStringLiteral("WenQuanYi Micro Hei"));
        font.setPixelSize(int(s * 0.62));
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(0xff, 0xf4, 0xe0));
        p.drawText(box, Qt::AlignCenter, QStringLiteral("成"));
    });
}

bool save(const QImage& img, const QString& path)
{
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString root = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(root + QStringLiteral("/glyphs"));

    const std::pair<const char*, Draw> glyphs[] = {
        {"play", drawPlay},     {"pause", drawPause}, {"resume", drawResume},
        {"stop", drawStop},     {"search", drawSearch}, {"deal", drawDeal},
        {"check", drawCheck},
    };
    bool ok = true;
    for (const auto& [name, draw] : glyphs) {
        const QImage img = render(16, 16, draw);
        const QString base = root + QStringLiteral("/glyphs/") + QLatin1String(name);
        ok &= save(img, base + QStringLiteral(".png"));
        ok &= save(disabled(img), base + QStringLiteral("_disabled.png"));
    }
    QDir().mkpath(root + QStringLiteral("/icons"));
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok &= save(drawIcon(size), root + QStringLiteral("/icons/wenquell-%1.png").arg(size));
    return ok ? 0 : 1;
}
