#include "PaintPanel.h"

#include "PaintGuard.h"
#include "TBitmap.h"

#include <QPainter>
#include <QStyle>

TPaintPanel::TPaintPanel(QWidget* parent) : Panel(parent), m_picture(std::make_unique<TPicture>())
{
    setBevelOuter(Bevel::None);
    setBevelInner(Bevel::None);
    m_picture->setOnChange([this](TPicture* sender) { PictureChanged(sender); });
}

TPaintPanel::~TPaintPanel()
{
    m_picture->setOnChange({});
}

void TPaintPanel::setPicture(const TPicture* value)
{
    m_picture->assign(value);
    update();
}

TBitmap* TPaintPanel::pictureBitmap()
{
    if (m_picture->empty())
        return nullptr;
    TBitmap* bitmap = m_picture->bitmap();
    return bitmap->empty() ? nullptr : bitmap;
}

void TPaintPanel::PictureChanged(TPicture*)
{
    if (m_picture->empty())
        return;
    // A graphic that turns out not to be a bitmap becomes an empty one, which sizes nothing.
    if (m_autoWidth) {
        if (TBitmap* b = pictureBitmap())
            resize(b->width(), height());
    }
    if (m_autoHeight) {
        if (TBitmap* b = pictureBitmap())
            resize(width(), b->height());
    }
}

void TPaintPanel::setAutoWidth(bool value)
{
    if (m_autoWidth == value || m_picture->empty())
        return;
    m_autoWidth = value;
    if (value) {
        if (TBitmap* b = pictureBitmap())
            resize(b->width(), height());
    }
}

void TPaintPanel::setAutoHeight(bool value)
{
    if (m_autoHeight == value || m_picture->empty())
        return;
    m_autoHeight = value;
    if (value) {
        if (TBitmap* b = pictureBitmap())
            resize(width(), b->height());
    }
}

void TPaintPanel::setPicHorzStretch(THorzStretchType value)
{
    if (m_picHorzStretch == value)
        return;
    m_picHorzStretch = value;
    update();
}

void TPaintPanel::setPicVertStretch(TVertStretchType value)
{
    if (m_picVertStretch == value)
        return;
    m_picVertStretch = value;
    update();
}

void TPaintPanel::setBevelColor(const QColor& value)
{
    if (m_bevelColor == value)
        return;
    m_bevelColor = value;
    update();
}

void TPaintPanel::setBevelStyle(TBorderStyle value)
{
    if (m_bevelStyle == value)
        return;
    m_bevelStyle = value;
    update();
}

void TPaintPanel::setAlignment(TAlignment value)
{
    if (m_alignment == value)
        return;
    m_alignment = value;
    update();
}

void TPaintPanel::setVerticalAlignment(TVerticalAlignment value)
{
    if (m_verticalAlignment == value)
        return;
    m_verticalAlignment = value;
    update();
}

void TPaintPanel::setBiDiMode(TBiDiMode value)
{
    if (m_biDiMode == value)
        return;
    m_biDiMode = value;
    update();
}

void TPaintPanel::setParentBackground(bool value)
{
    if (m_parentBackground == value)
        return;
    m_parentBackground = value;
    update();
}

QList<QRect> TPaintPanel::frameBands(const QRect& r, int penWidth)
{
    const int w = qMax(penWidth, 1);
    const int back = w / 2; // how far the pen reaches out from the edge pixel
    const int left = r.left() - back;
    const int top = r.top() - back;
    const int right = r.right() - back;   // leftmost column of the right band
    const int bottom = r.bottom() - back; // topmost row of the bottom band
    const int outerW = right + w - left;
    const int outerH = bottom + w - top;
    return {QRect(left, top, w, outerH), QRect(left, top, outerW, w), QRect(right, top, w, outerH),
            QRect(left, bottom, outerW, w)};
}

void TPaintPanel::drawCaption(QPainter& p, const QRect& r) const
{
    if (caption().isEmpty())
        return;
    int flags = Qt::TextSingleLine | Qt::TextExpandTabs;
    switch (m_alignment) {
    case taLeftJustify:
        flags |= Qt::AlignLeft;
        break;
    case taRightJustify:
        flags |= Qt::AlignRight;
        break;
    case taCenter:
        flags |= Qt::AlignHCenter;
        break;
    }
    switch (m_verticalAlignment) {
    case taAlignTop:
        flags |= Qt::AlignTop;
        break;
    case taAlignBottom:
        flags |= Qt::AlignBottom;
        break;
    case taVerticalCenter:
        flags |= Qt::AlignVCenter;
        break;
    }
    const bool rtlReading = m_biDiMode != bdLeftToRight;
    if (m_biDiMode == bdRightToLeft)
        flags = int(QStyle::visualAlignment(Qt::RightToLeft, Qt::Alignment(flags))) |
                (flags & ~int(Qt::AlignHorizontal_Mask));
    p.save();
    p.setLayoutDirection(rtlReading ? Qt::RightToLeft : Qt::LeftToRight);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    p.setBackgroundMode(Qt::TransparentMode);
    // Qt::AlignAbsolute keeps left meaning left under a right-to-left painter: the mirroring
    // was decided above.
    p.drawText(r, flags | Qt::AlignAbsolute, caption());
    p.restore();
}

void TPaintPanel::paintEvent(QPaintEvent*)
{
    guardedPaint([this] {
        QPainter p(this);
        m_canvas = &p;
        struct CanvasReset
        {
            QPainter*& canvas;
            ~CanvasReset() { canvas = nullptr; }
        } reset{m_canvas};

        const QRect r = clientRect();
        if (!m_parentBackground && r != rect()) {
            // The border around the client area takes the panel's colour.
            QRegion ring = QRegion(rect()).subtracted(QRegion(r));
            for (const QRect& band : ring)
                p.fillRect(band, color());
        }
        if (TBitmap* bitmap = pictureBitmap()) {
            const QImage f =
                PicStretch::stretch(bitmap->image(), r.size(), m_picHorzStretch, m_picVertStretch);
            if (!f.isNull()) {
                p.setClipRect(r);
                p.drawImage(r.topLeft(), f);
                p.setClipping(false);
            }
        } else if (!m_parentBackground) {
            p.fillRect(r, color());
        }

        drawCaption(p, r);

        if (m_bevelStyle == bsSingle) {
            QRect frame = r;
            if (bevelWidth() % 2 == 0)
                frame.setTopLeft(frame.topLeft() + QPoint(1, 1));
            for (const QRect& band : frameBands(frame, bevelWidth()))
                p.fillRect(band, m_bevelColor);
        }

        emit Paint();
    });
}
