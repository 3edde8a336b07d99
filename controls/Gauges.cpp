#include "Gauges.h"

#include "Exception.h"
#include "Panel.h"

#include <QPainter>

namespace {

constexpr qint64 kLowestMinimum = -2147483647;
constexpr qint64 kHighestMaximum = 2147483647;

EInvalidOperation outOfRange(qint64 low, qint64 high)
{
    return EInvalidOperation(QString::asprintf("Value must be between %lld and %lld", low, high));
}

} // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent)
{
    // Every pixel comes from the one image: nothing behind the gauge needs drawing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    resize(100, 100);
}

void TGauge::setKind(Gauges::TGaugeKind kind)
{
    if (m_kind == kind)
        return;
    m_kind = kind;
    repaintNow();
}

void TGauge::setShowText(bool showText)
{
    if (m_showText == showText)
        return;
    m_showText = showText;
    repaintNow();
}

void TGauge::setBorderStyle(Gauges::TBorderStyle borderStyle)
{
    if (m_borderStyle == borderStyle)
        return;
    m_borderStyle = borderStyle;
    repaintNow();
}

void TGauge::setForeColor(const QColor& colour)
{
    if (m_foreColor == colour)
        return;
    m_foreColor = colour;
    repaintNow();
}

void TGauge::setBackColor(const QColor& colour)
{
    if (m_backColor == colour)
        return;
    m_backColor = colour;
    repaintNow();
}

void TGauge::setMinValue(int value)
{
    if (value == m_minValue)
        return;
    if (value > m_maxValue && !m_loading)
        throw outOfRange(kLowestMinimum, qint64(m_maxValue) - 1);
    m_minValue = value;
    if (m_progress < value)
        m_progress = value;
    repaintNow();
}

void TGauge::setMaxValue(int value)
{
    if (value == m_maxValue)
        return;
    if (value < m_minValue && !m_loading)
        throw outOfRange(qint64(m_minValue) + 1, kHighestMaximum);
    m_maxValue = value;
    if (m_progress > value)
        m_progress = value;
    repaintNow();
}

void TGauge::setProgress(int value)
{
    const int percentBefore = PercentDone();
    if (value < m_minValue)
        value = m_minValue;
    else if (value > m_maxValue)
        value = m_maxValue;
    if (value == m_progress)
        return;
    m_progress = value;
    if (PercentDone() != percentBefore)
        repaintNow();
}

QColor TGauge::Color() const
{
    if (m_parentColor) {
        if (const auto* panel = qobject_cast<const Panel*>(parentWidget()))
            return panel->color();
        if (const QWidget* parent = parentWidget())
            return parent->palette().color(parent->backgroundRole());
    }
    return m_color;
}

void TGauge::setColor(const QColor& colour)
{
    const QColor before = Color();
    m_color = colour;
    m_parentColor = false;
    if (Color() != before)
        repaintNow();
}

void TGauge::setParentColor(bool parentColor)
{
    if (m_parentColor == parentColor)
        return;
    const QColor before = Color();
    m_parentColor = parentColor;
    if (Color() != before)
        repaintNow();
}

int TGauge::PercentDone() const
{
    // In 64 bits, so that a range wider than half the 32-bit span cannot wrap around.
    return Gauges::PercentOf(qint64(m_progress) - m_minValue, qint64(m_maxValue) - m_minValue);
}

Gauges::GaugeLook TGauge::look() const
{
    Gauges::GaugeLook look;
    look.kind = m_kind;
    look.showText = m_showText;
    look.borderStyle = m_borderStyle;
    look.foreColor = m_foreColor;
    look.backColor = m_backColor;
    look.color = Color();
    look.font = font();
    look.percent = PercentDone();
    return look;
}

QImage TGauge::image() const
{
    return Gauges::renderGauge(look(), size());
}

void TGauge::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, image());
}

void TGauge::repaintNow()
{
    // Painted straight away, not when the event loop next runs; a hidden gauge (or one whose
    // window is not shown yet) is not drawn.
    if (isVisible())
        repaint();
}
