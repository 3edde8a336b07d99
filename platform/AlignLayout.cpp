#include "AlignLayout.h"

namespace AlignLayout {

QList<QRect> place(const QRect& client, const QList<Item>& items)
{
    QList<QRect> out(items.size());
    QRect rest = client;
    const Align order[] = {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client};
    for (Align pass : order) {
        for (qsizetype i = 0; i < items.size(); ++i) {
            const Item& it = items[i];
            if (it.align != pass)
                continue;
            const int w = it.rect.width(), h = it.rect.height();
            switch (pass) {
            case Align::Top:
                out[i] = QRect(rest.left(), rest.top(), rest.width(), h);
                rest.setTop(rest.top() + h);
                break;
            case Align::Bottom:
                out[i] = QRect(rest.left(), rest.bottom() + 1 - h, rest.width(), h);
                rest.setBottom(rest.bottom() - h);
                break;
            case Align::Left:
                out[i] = QRect(rest.left(), rest.top(), w, rest.height());
                rest.setLeft(rest.left() + w);
                break;
            case Align::Right:
                out[i] = QRect(rest.right() + 1 - w, rest.top(), w, rest.height());
                rest.setRight(rest.right() - w);
                break;
            case Align::Client:
                out[i] = rest;
                break;
            case Align::None:
                break;
            }
        }
    }
    for (qsizetype i = 0; i < items.size(); ++i)
        if (items[i].align == Align::None)
            out[i] = items[i].rect;
    return out;
}

} // namespace AlignLayout
