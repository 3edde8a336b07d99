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

// The word book's mark: a ribbon bookmark, hollow while the idiom is not in the book, filled
// red once it is.
void drawBookmark(QPainter& p, bool filled)
{
    QPainterPath mark;
    mark.moveTo(4, 1.5);
    mark.lineTo(12, 1.5);
    mark.lineTo(12, 14.5);
    mark.lineTo(8, 10.8);
    mark.lineTo(4, 14.5);
    mark.closeSubpath();
    p.setPen(QPen(QColor(0x9a, 0x2a, 0x1c), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(filled ? QBrush(vertical(QColor(0xf0, 0x5a, 0x3c), QColor(0xb8, 0x2a, 0x1a), 16))
                      : QBrush(QColor(0xff, 0xff, 0xff)));
    p.drawPath(mark);
}

void drawBookOut(QPainter& p)
{
    drawBookmark(p, false);
}

void drawBookIn(QPainter& p)
{
    drawBookmark(p, true);
}

// The navigation strip: 39 x 34 tiles for the two page buttons in five states, 22 x 22 pictures
// for the game button in four, and the 37 x 1 background strip.
enum class NavState
{
    Normal,
    Over,
    Down,
    Disabled,
    Checked,
};

struct TileColours
{
    QColor top, bottom, edge;
};

TileColours tileColours(NavState state)
{
    switch (state) {
    case NavState::Over:
        return {QColor(0x86, 0xab, 0xdb), QColor(0x57, 0x7f, 0xb5), QColor(0x3d, 0x62, 0x96)};
    case NavState::Down:
        return {QColor(0x3a, 0x5c, 0x8c), QColor(0x2a, 0x47, 0x72), QColor(0x1c, 0x33, 0x55)};
    case NavState::Disabled:
        return {QColor(0xd6, 0xd6, 0xd6), QColor(0xbd, 0xbd, 0xbd), QColor(0xa8, 0xa8, 0xa8)};
    case NavState::Checked:
        return {QColor(0xee, 0xa0, 0x4e), QColor(0xc8, 0x55, 0x2e), QColor(0x9a, 0x3a, 0x1c)};
    case NavState::Normal:
        break;
    }
    return {QColor(0x6a, 0x8f, 0xc2), QColor(0x3f, 0x64, 0x98), QColor(0x2c, 0x4a, 0x75)};
}

QColor iconColour(NavState state)
{
    return state == NavState::Disabled ? QColor(0xf4, 0xf4, 0xf4) : QColor(0xff, 0xff, 0xff);
}

void drawTile(QPainter& p, const QRectF& r, NavState state, qreal radius)
{
    const TileColours c = tileColours(state);
    if (state != NavState::Disabled && state != NavState::Down) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 40)); // a soft shadow below
        p.drawRoundedRect(r.translated(0, 1.2), radius, radius);
    }
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, c.top);
    g.setColorAt(1, c.bottom);
    p.setPen(QPen(c.edge, 1));
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(QColor(255, 255, 255, state == NavState::Disabled ? 60 : 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
}

QImage drawNavList(NavState state)
{
    return render(39, 34, [state](QPainter& p) {
        const qreal shift = state == NavState::Down ? 1 : 0;
        drawTile(p, QRectF(5.5, 2.5 + shift, 28, 28), state, 6);
        p.setPen(Qt::NoPen);
        p.setBrush(iconColour(state));
        for (int i = 0; i < 3; ++i) {
            const qreal y = 9.5 + shift + i * 6;
            p.drawEllipse(QPointF(12.5, y + 1), 1.8, 1.8);
            p.drawRoundedRect(QRectF(16, y, 11.5, 2.4), 1.2, 1.2);
        }
    });
}

QImage drawNavSearch(NavState state)
{
    return render(39, 34, [state](QPainter& p) {
        const qreal shift = state == NavState::Down ? 1 : 0;
        drawTile(p, QRectF(5.5, 2.5 + shift, 28, 28), state, 6);
        const QColor ink = iconColour(state);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(ink, 2.4));
        p.drawEllipse(QPointF(17.5, 14.5 + shift), 5.6, 5.6);
        p.setPen(QPen(ink, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(21.7, 18.7 + shift), QPointF(26, 23 + shift));
    });
}

// The game: four cells of an idiom, one of them the blank to fill.
QImage drawNavGame(NavState state)
{
    return render(22, 22, [state](QPainter& p) {
        const qreal shift = state == NavState::Down ? 1 : 0;
        drawTile(p, QRectF(1.5, 1.5 + shift, 19, 19), state, 4);
        const QColor ink = iconColour(state);
        const QRectF cells[4] = {QRectF(5, 5, 5, 5), QRectF(12, 5, 5, 5), QRectF(5, 12, 5, 5),
                                 QRectF(12, 12, 5, 5)};
        for (int i = 0; i < 4; ++i) {
            const QRectF cell = cells[i].translated(0, shift);
            if (i == 3) {
                p.setPen(QPen(ink, 1, Qt::DotLine));
                p.setBrush(Qt::NoBrush);
                p.drawRect(cell.adjusted(0.5, 0.5, -0.5, -0.5));
            } else {
                p.setPen(Qt::NoPen);
                p.setBrush(ink);
                p.drawRoundedRect(cell, 1, 1);
            }
        }
    });
}

// The learner's page: an open book.
QImage drawNavStudy(NavState state)
{
    return render(39, 34, [state](QPainter& p) {
        const qreal shift = state == NavState::Down ? 1 : 0;
        drawTile(p, QRectF(5.5, 2.5 + shift, 28, 28), state, 6);
        const QColor ink = iconColour(state);
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        QPainterPath left;
        left.moveTo(19.5, 11 + shift);
        left.cubicTo(17, 9 + shift, 13.5, 9 + shift, 11, 10 + shift);
        left.lineTo(11, 22 + shift);
        left.cubicTo(13.5, 21 + shift, 17, 21 + shift, 19.5, 23 + shift);
        QPainterPath right;
        right.moveTo(19.5, 11 + shift);
        right.cubicTo(22, 9 + shift, 25.5, 9 + shift, 28, 10 + shift);
        right.lineTo(28, 22 + shift);
        right.cubicTo(25.5, 21 + shift, 22, 21 + shift, 19.5, 23 + shift);
        p.drawPath(left);
        p.drawPath(right);
        p.drawLine(QPointF(19.5, 11 + shift), QPointF(19.5, 23 + shift));
    });
}

// White into a cool grey, the last column darker: the edge between the strip and the lists.
QImage drawNavStrip()
{
    QImage img(37, 1, QImage::Format_RGB32);
    for (int x = 0; x < 36; ++x) {
        const qreal t = x / 35.0;
        img.setPixel(x, 0,
                     qRgb(int(0xfb - t * (0xfb - 0xe2)), int(0xfc - t * (0xfc - 0xe8)),
                          int(0xfe - t * (0xfe - 0xf1))));
    }
    img.setPixel(36, 0, qRgb(0xb4, 0xc0, 0xd2));
    return img;
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
        {"play", drawPlay},   {"pause", drawPause},      {"resume", drawResume},
        {"stop", drawStop},   {"search", drawSearch},    {"deal", drawDeal},
        {"check", drawCheck}, {"book_out", drawBookOut}, {"book_in", drawBookIn},
    };
    bool ok = true;
    for (const auto& [name, draw] : glyphs) {
        const QImage img = render(16, 16, draw);
        const QString base = root + QStringLiteral("/glyphs/") + QLatin1String(name);
        ok &= save(img, base + QStringLiteral(".png"));
        ok &= save(disabled(img), base + QStringLiteral("_disabled.png"));
    }
    QDir().mkpath(root + QStringLiteral("/nav"));
    const std::pair<NavState, const char*> states[] = {
        {NavState::Normal, "normal"},     {NavState::Over, "over"},     {NavState::Down, "down"},
        {NavState::Disabled, "disabled"}, {NavState::Checked, "check"},
    };
    for (const auto& [state, suffix] : states) {
        const QString nav = root + QStringLiteral("/nav/");
        ok &= save(drawNavList(state),
                   nav + QStringLiteral("list_%1.png").arg(QLatin1String(suffix)));
        ok &= save(drawNavSearch(state),
                   nav + QStringLiteral("search_%1.png").arg(QLatin1String(suffix)));
        ok &= save(drawNavStudy(state),
                   nav + QStringLiteral("study_%1.png").arg(QLatin1String(suffix)));
        if (state != NavState::Checked)
            ok &= save(drawNavGame(state),
                       nav + QStringLiteral("game_%1.png").arg(QLatin1String(suffix)));
    }
    ok &= save(drawNavStrip(), root + QStringLiteral("/nav/strip.png"));

    QDir().mkpath(root + QStringLiteral("/icons"));
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok &= save(drawIcon(size), root + QStringLiteral("/icons/wenquell-%1.png").arg(size));
    return ok ? 0 : 1;
}
