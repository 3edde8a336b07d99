#include "LinkLabel.h"

#include <QPainter>
#include <QStyle>

void LinkLabel::paintEvent(QPaintEvent*)
{
    QFont plain = font();
    plain.setUnderline(false);
    QPainter painter(this);
    painter.setFont(plain);
    const QRect box = contentsRect();
    const int align = int(QStyle::visualAlignment(layoutDirection(), alignment()));
    style()->drawItemText(&painter, box, align, palette(), isEnabled(), text(), foregroundRole());
    if (!font().underline())
        return;
    const QFontMetrics metrics(plain);
    const QRect drawn = style()->itemTextRect(metrics, box, align, isEnabled(), text());
    const int y = qMin(drawn.top() + metrics.ascent() + metrics.underlinePos(), box.bottom());
    painter.setPen(QPen(palette().color(foregroundRole()), qMax(1, metrics.lineWidth())));
    painter.drawLine(qMax(drawn.left(), box.left()), y, qMin(drawn.right(), box.right()), y);
}
