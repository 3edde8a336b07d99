#include "Panel.h"

#include <QPainter>

Panel::Panel(QWidget* parent) : QFrame(parent), m_color(buttonFace())
{
    setFrameShape(QFrame::NoFrame);
}

QColor Panel::buttonFace()
{
    return QColor(0xF0, 0xF0, 0xF0);
}

QColor Panel::buttonHighlight()
{
    return QColor(0xFF, 0xFF, 0xFF);
}

QColor Panel::buttonShadow()
{
    return QColor(0xA0, 0xA0, 0xA0);
}

void Panel::setBevelOuter(Bevel bevel)
{
    if (m_bevelOuter == bevel)
        return;
    m_bevelOuter = bevel;
    update();
}

void Panel::setBevelInner(Bevel bevel)
{
    if (m_bevelInner == bevel)
        return;
    m_bevelInner = bevel;
    update();
}

void Panel::setBevelWidth(int width)
{
    if (m_bevelWidth == width)
        return;
    m_bevelWidth = width;
    update();
}

void Panel::setBorderWidth(int width)
{
    if (m_borderWidth == width)
        return;
    m_borderWidth = width;
    update();
}

void Panel::setColor(const QColor& color)
{
    if (m_color == color)
        return;
    m_color = color;
    update();
}

void Panel::setCaption(const QString& caption)
{
    if (m_caption == caption)
        return;
    m_caption = caption;
    update();
}

QRect Panel::clientRect() const
{
    int inset = m_borderWidth;
    if (m_bevelOuter != Bevel::None)
        inset += m_bevelWidth;
    if (m_bevelInner != Bevel::None)
        inset += m_bevelWidth;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void Panel::drawBevel(QPainter& p, QRect& r, Bevel bevel) const
{
    if (bevel == Bevel::None)
        return;
    const QColor topLeft = bevel == Bevel::Raised ? buttonHighlight() : buttonShadow();
    const QColor bottomRight = bevel == Bevel::Raised ? buttonShadow() : buttonHighlight();
    for (int i = 0; i < m_bevelWidth && r.width() > 0 && r.height() > 0; ++i) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        p.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

void Panel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    p.fillRect(r, m_color);
    drawBevel(p, r, m_bevelOuter);
    r.adjust(m_borderWidth, m_borderWidth, -m_borderWidth, -m_borderWidth);
    drawBevel(p, r, m_bevelInner);
    if (!m_caption.isEmpty()) {
        p.setPen(palette().color(QPalette::WindowText));
        p.setFont(font());
        p.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, m_caption);
    }
}
