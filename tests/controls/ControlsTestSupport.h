#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>

class QWidget;
class TPicture;

// A PNG file as the window layouts carry them: 8-bit RGBA (colour type 6), not interlaced,
// with sRGB, gAMA, cHRM and pHYs chunks, written chunk by chunk here rather than by Qt.
QByteArray layoutStylePng(const QImage& image);

// w x h opaque pixels that tell their position: red 6 * x, green 6 * y, blue 100.
QImage positionImage(int w, int h);
QRgb positionColor(int x, int y);

// An opaque w x h image of one colour, with an optional different top-left pixel.
QImage solidImage(int w, int h, QRgb color);

// Picture data naming TnxPNGImage with `png` as its data.
QByteArray pngPictureData(const QByteArray& png);
// A picture holding a PNG image of `image` (read through picture data).
void setPngPicture(TPicture& picture, const QImage& image);

// The widget as drawn on screen (its parent's painting under it included).
QImage screenOf(QWidget* widget);

// Counts the paint events a widget gets and the rectangles they cover.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget);
    int count() const { return m_rects.size(); }
    const QList<QRect>& rects() const { return m_rects; }
    void reset() { m_rects.clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QRect> m_rects;
};
