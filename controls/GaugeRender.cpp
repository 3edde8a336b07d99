#include "GaugeRender.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace Gauges {

// The percentage arithmetic is defined in 80-bit extended precision (64-bit mantissa), which
// is what long double is on x86 and x86-64.
static_assert(std::numeric_limits<long double>::digits == 64,
              "ScaleByPercent needs long double to be the 80-bit extended format");

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// The platform's window-frame colour, which new blit bitmaps are filled with.
constexpr QRgb kWindowFrame = 0xFF000000;
constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

int saturate(long double value)
{
    const long double t = std::trunc(value);
    if (std::isnan(t))
        return 0;
    if (t >= static_cast<long double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (t <= static_cast<long double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(t);
}

// Round to the nearest integer, an exact half to the even neighbour.
int roundEven(long double value)
{
    return saturate(std::nearbyint(value));
}

QRgb rgbOf(const QColor& colour)
{
    return colour.rgb() | 0xFF000000;
}

// A bitmap the size of `tmpl`, filled with the window-frame colour.
QImage makeLike(const QImage& tmpl)
{
    QImage bitmap(tmpl.size(), QImage::Format_RGB32);
    bitmap.fill(kWindowFrame);
    return bitmap;
}

// Combines `source` into `target` by exclusive-or of the colours (same size, RGB32).
void xorInto(QImage& target, const QImage& source)
{
    for (int y = 0; y < target.height(); ++y) {
        auto* dst = reinterpret_cast<QRgb*>(target.scanLine(y));
        const auto* src = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < target.width(); ++x)
            dst[x] ^= src[x] & 0x00FFFFFF;
    }
}

void setPixel(QImage& image, int x, int y, QRgb rgb)
{
    if (x >= 0 && y >= 0 && x < image.width() && y < image.height())
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = rgb;
}

// Fills (left, top, right, bottom), right and bottom exclusive; nothing when it is empty.
void fillRect(QImage& image, int left, int top, int right, int bottom, QRgb rgb)
{
    const QRect r = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & image.rect();
    if (left >= right || top >= bottom || r.isEmpty())
        return;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + r.left(), line + r.right() + 1, rgb);
    }
}

// A one-pixel line from (x0, y0) towards (x1, y1); the end point itself is not drawn.
void drawLine(QImage& image, int x0, int y0, int x1, int y1, QRgb rgb)
{
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
        setPixel(image, x0, y0, rgb);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// The ellipse inscribed in a box (left, top, right, bottom; right and bottom exclusive), or a
// wedge of it. Pixel (x, y) is taken at the point (x, y): the leftmost column of the box is x =
// left, the rightmost x = right - 1. A wedge runs counter-clockwise as seen on the screen from
// the ray through its first radial point to the ray through its second, both rays from the
// ellipse's centre; when the two rays coincide it is the whole ellipse.
class EllipseShape
{
public:
    EllipseShape(int left, int top, int right, int bottom)
        : m_left(left), m_top(top), m_right(right), m_bottom(bottom),
          m_cx((left + right - 1) / 2.0), m_cy((top + bottom - 1) / 2.0),
          m_ax((right - left) / 2.0), m_ay((bottom - top) / 2.0)
    {}

    void setWedge(const QPoint& from, const QPoint& to)
    {
        m_wedge = true;
        m_fx = from.x() - m_cx;
        m_fy = m_cy - from.y();
        m_tx = to.x() - m_cx;
        m_ty = m_cy - to.y();
        const double span = normalised(std::atan2(m_ty, m_tx) - std::atan2(m_fy, m_fx));
        m_full = span < kEpsilon || span > kFullTurn - kEpsilon;
        m_wide = span > kFullTurn / 2;
    }

    // Brush inside, pen (one pixel) along the edge: the region's pixels with a neighbour
    // (left, right, above, below) outside it.
    void draw(QImage& image, QRgb pen, QRgb brush) const
    {
        if (m_right <= m_left || m_bottom <= m_top)
            return;
        const QRect r =
            QRect(QPoint(m_left, m_top), QPoint(m_right - 1, m_bottom - 1)) & image.rect();
        if (r.isEmpty())
            return;
        // Membership of every pixel of r and of a one-pixel margin around it, worked out once.
        const QRect m = r.adjusted(-1, -1, 1, 1);
        std::vector<char> in(size_t(m.width()) * size_t(m.height()));
        for (int y = m.top(); y <= m.bottom(); ++y)
            for (int x = m.left(); x <= m.right(); ++x)
                in[size_t(y - m.top()) * m.width() + (x - m.left())] = contains(x, y);
        auto at = [&](int x, int y) {
            return in[size_t(y - m.top()) * m.width() + (x - m.left())];
        };
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                if (!at(x, y))
                    continue;
                const bool edge = !at(x - 1, y) || !at(x + 1, y) || !at(x, y - 1) || !at(x, y + 1);
                setPixel(image, x, y, edge ? pen : brush);
            }
        }
    }

private:
    static constexpr double kEpsilon = 1e-9;
    static constexpr double kFullTurn = 2 * 3.14159265358979323846;

    static double normalised(double angle)
    {
        angle = std::fmod(angle, kFullTurn);
        return angle < 0 ? angle + kFullTurn : angle;
    }

    // Whether b lies counter-clockwise (as seen on the screen) of a, by less than half a turn;
    // `orOn` also takes b on the line of a.
    static bool turnsLeft(double ax, double ay, double bx, double by, bool orOn)
    {
        const double cross = ax * by - ay * bx;
        const double tolerance = kEpsilon * std::hypot(ax, ay) * std::hypot(bx, by);
        return orOn ? cross >= -tolerance : cross > tolerance;
    }

    bool contains(int x, int y) const
    {
        const double ex = (x - m_cx) / m_ax;
        const double ey = (y - m_cy) / m_ay;
        if (ex * ex + ey * ey > 1.0 + kEpsilon)
            return false;
        if (!m_wedge || m_full)
            return true;
        const double dx = x - m_cx;
        const double dy = m_cy - y; // upwards
        if (dx == 0 && dy == 0)
            return true;
        // Up to half a turn the wedge is where both radii bound it; beyond, it is everything
        // but the narrower wedge that runs on from the second radius back to the first.
        if (!m_wide)
            return turnsLeft(m_fx, m_fy, dx, dy, true) && turnsLeft(dx, dy, m_tx, m_ty, true);
        return !(turnsLeft(m_tx, m_ty, dx, dy, false) && turnsLeft(dx, dy, m_fx, m_fy, false));
    }

    int m_left, m_top, m_right, m_bottom;
    double m_cx, m_cy, m_ax, m_ay;
    bool m_wedge = false;
    bool m_full = false;
    bool m_wide = false;
    double m_fx = 0, m_fy = 0, m_tx = 0, m_ty = 0;
};

struct PaintRect
{
    int L, T, R, B;
};

void drawBar(QImage& overlay, const GaugeLook& look, const PaintRect& p, bool horizontal)
{
    const QRgb fore = rgbOf(look.foreColor);
    const int W = p.R - p.L + 1;
    const int H = p.B - p.T + 1;
    fillRect(overlay, p.L, p.T, p.R, p.B, rgbOf(look.backColor));
    if (horizontal) {
        // F and H are right and bottom edges, not lengths from L and T.
        const int F = std::min(ScaleByPercent(look.percent, W), W);
        if (F > 0)
            fillRect(overlay, p.L, p.T, F, H, fore);
    } else {
        int F = ScaleByPercent(look.percent, H);
        if (F >= H)
            F = H - 1;
        fillRect(overlay, p.L, H - F, W, H, fore);
    }
}

void drawPie(QImage& overlay, const GaugeLook& look, const PaintRect& p, int grow)
{
    const QRgb fore = rgbOf(look.foreColor);
    const int W = p.R - p.L + grow;
    const int H = p.B - p.T + grow;
    fillRect(overlay, p.L, p.T, p.R, p.B, rgbOf(look.color));
    EllipseShape(p.L, p.T, W, H).draw(overlay, fore, rgbOf(look.backColor));
    if (look.percent <= 0)
        return;
    const int MX = W / 2;
    const int MY = H / 2;
    const long double A = kPi * (look.percent / 50.0L + 0.5L);
    const QPoint from(roundEven(MX * (1 - std::cos(A))), roundEven(MY * (1 - std::sin(A))));
    const QPoint to(MX, 0);
    // Two coinciding radial points make a whole ellipse: right at 100 %, but below that only a
    // pie too small to reach the next pixel, which shows nothing.
    if (from == to && look.percent < 100)
        return;
    EllipseShape wedge(p.L, p.T, W, H);
    wedge.setWedge(from, to);
    wedge.draw(overlay, fore, fore);
}

void drawNeedle(QImage& overlay, const GaugeLook& look, const PaintRect& p, int grow,
                int controlWidth)
{
    const QRgb fore = rgbOf(look.foreColor);
    const int X = p.L;
    const int Y = p.T;
    const int W = p.R - p.L + grow;
    const int H = p.B - p.T + grow;
    fillRect(overlay, p.L, p.T, p.R, p.B, rgbOf(look.color));
    // The upper half of an ellipse twice as tall as the box: a half dial standing on B - 1.
    EllipseShape dial(X, Y, W, 2 * H - 1);
    dial.setWedge(QPoint(X + W, p.B - 1), QPoint(X, p.B - 1));
    dial.draw(overlay, fore, rgbOf(look.backColor));
    drawLine(overlay, X, p.B, X + W, p.B, fore);
    if (look.percent <= 0)
        return;
    const int MC = controlWidth / 2;
    const long double A = kPi * look.percent / 100;
    drawLine(overlay, MC, p.B - 1, roundEven(MC * (1 - std::cos(A))),
             roundEven((p.B - 1) * (1 - std::sin(A))), fore);
}

void drawText(QImage& image, const GaugeLook& look, const PaintRect& p)
{
    QImage bitmap = makeLike(image);
    bitmap.fill(kBlack);
    const QString text = percentText(look.percent);
    QFont font = look.font;
    // Pure white glyph pixels, so that the combine inverts exactly what lies beneath them.
    font.setStyleStrategy(QFont::NoAntialias);
    {
        QPainter painter(&bitmap);
        painter.setFont(font);
        painter.setPen(QColor(kWhite));
        painter.setBrush(Qt::NoBrush);
        const QFontMetrics metrics(font, &bitmap);
        // Coordinates in the bitmap, not offsets from L and T.
        const int x = (p.R - p.L + 1 - metrics.horizontalAdvance(text)) / 2;
        const int y = (p.B - p.T + 1 - metrics.height()) / 2;
        painter.setClipRect(QRect(QPoint(p.L, p.T), QPoint(p.R - 1, p.B - 1)));
        painter.drawText(QPoint(x, y + metrics.ascent()), text);
    }
    xorInto(image, bitmap);
}

} // namespace

int ScaleByPercent(int Y, int Z)
{
    const long double part = static_cast<long double>(Y) * 0.01L;
    return saturate(static_cast<long double>(Z) * part);
}

int PercentOf(qint64 X, qint64 Z)
{
    if (Z == 0)
        return 0;
    return saturate(static_cast<long double>(X) * 100.0L / static_cast<long double>(Z));
}

QString percentText(int percent)
{
    return QString::asprintf("%d%%", percent);
}

QImage renderGauge(const GaugeLook& look, const QSize& size)
{
    QImage image(size.expandedTo(QSize(0, 0)), QImage::Format_RGB32);
    image.fill(kBlack);
    if (image.isNull())
        return image;

    PaintRect p{0, 0, image.width(), image.height()};
    const int grow = look.borderStyle == bsSingle ? 1 : 0;
    if (look.borderStyle == bsSingle)
        p = {1, 1, p.R - 1, p.B - 1};

    QImage overlay = makeLike(image);
    overlay.fill(kBlack);
    switch (look.kind) {
    case gkText:
        fillRect(overlay, p.L, p.T, p.R, p.B, rgbOf(look.backColor));
        break;
    case gkHorizontalBar:
        drawBar(overlay, look, p, true);
        break;
    case gkVerticalBar:
        drawBar(overlay, look, p, false);
        break;
    case gkPie:
        drawPie(overlay, look, p, grow);
        break;
    case gkNeedle:
        drawNeedle(overlay, look, p, grow, image.width());
        break;
    }
    // The image is black, so it now equals the overlay; outside the paint rectangle it stays
    // black, which is the frame of a single border.
    xorInto(image, overlay);

    if (look.showText)
        drawText(image, look, p);
    return image;
}

} // namespace Gauges
