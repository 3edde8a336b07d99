#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QObject>
#include <QSize>

// The gauge's arithmetic and drawing, without a widget: what TGauge shows is renderGauge() of
// its settings, so the pixels can be checked without a window.
namespace Gauges {
Q_NAMESPACE

// How the value is drawn.
enum TGaugeKind
{
    gkText = 0,          // a plain field (the percentage text only)
    gkHorizontalBar = 1, // filled from the left
    gkVerticalBar = 2,   // filled from the bottom
    gkPie = 3,           // a wedge growing clockwise from 12 o'clock
    gkNeedle = 4,        // a needle on a half dial, left at 0 %, right at 100 %
};
Q_ENUM_NS(TGaugeKind)

enum TBorderStyle
{
    bsNone = 0,
    bsSingle = 1, // a one-pixel black frame
};
Q_ENUM_NS(TBorderStyle)

// The integer part of Z × (Y × 0.01) in 80-bit extended precision, in that order. 0.01 is a
// little below one hundredth there, so some exact products come out one less (Y = 20 of
// Z = 100 gives 19). Results beyond the 32-bit range saturate.
int ScaleByPercent(int Y, int Z);

// The whole percentage X is of Z: the integer part of X × 100.0 / Z in extended precision,
// truncated toward zero; 0 when Z is 0. Exact for every pair of 33-bit values (so for any
// difference of two 32-bit values). Results beyond the 32-bit range saturate.
int PercentOf(qint64 X, qint64 Z);

// What a gauge shows.
struct GaugeLook
{
    TGaugeKind kind = gkHorizontalBar;
    bool showText = true;
    TBorderStyle borderStyle = bsSingle;
    QColor foreColor = QColor(0, 0, 0);
    QColor backColor = QColor(255, 255, 255);
    QColor color = QColor(255, 255, 255); // background of the pie and the needle
    QFont font;                           // of the percentage text
    int percent = 0;
};

// The text written in the middle: the percentage followed by a percent sign.
QString percentText(int percent);

// The gauge drawn off-screen, every pixel of `size` set (RGB32). The kind is drawn on a black
// bitmap that is combined into the black image by exclusive-or; the percentage text, white on
// black, is combined the same way, so each text pixel shows the inverse of the colour beneath.
QImage renderGauge(const GaugeLook& look, const QSize& size);

} // namespace Gauges
