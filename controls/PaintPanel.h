#pragma once

#include "Panel.h"
#include "PicStretch.h"
#include "TPicture.h"

#include <QColor>
#include <memory>

class QPainter;
class TBitmap;

enum TBorderStyle : quint8
{
    bsNone,
    bsSingle,
};

enum TAlignment : quint8
{
    taLeftJustify,
    taRightJustify,
    taCenter,
};

enum TVerticalAlignment : quint8
{
    taAlignTop,
    taAlignBottom,
    taVerticalCenter,
};

enum TBiDiMode : quint8
{
    bdLeftToRight,
    bdRightToLeft,            // right-to-left reading, alignment mirrored
    bdRightToLeftNoAlign,     // right-to-left reading, alignment as set
    bdRightToLeftReadingOnly, // right-to-left reading only
};

// A container panel that paints a bitmap as its background, stretched to the panel by the
// horizontal and vertical modes (see PicStretch), then its caption and an optional frame.
// Without a picture it is filled with its colour, unless it takes its parent's background.
// The picture is treated as a bitmap: a graphic of another class is replaced by an empty
// bitmap when the panel paints or sizes itself from it.
class TPaintPanel : public Panel
{
    Q_OBJECT
    Q_PROPERTY(TAlignment Alignment READ Alignment WRITE setAlignment)
    Q_PROPERTY(TBiDiMode BiDiMode READ BiDiMode WRITE setBiDiMode)
    Q_PROPERTY(bool ParentBackground READ ParentBackground WRITE setParentBackground)
    Q_PROPERTY(
        TVerticalAlignment VerticalAlignment READ VerticalAlignment WRITE setVerticalAlignment)
    Q_PROPERTY(TBorderStyle BevelStyle READ BevelStyle WRITE setBevelStyle)
    Q_PROPERTY(QColor BevelColor READ BevelColor WRITE setBevelColor)
    Q_PROPERTY(TPicture* Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool AutoWidth READ AutoWidth WRITE setAutoWidth)
    Q_PROPERTY(bool AutoHeight READ AutoHeight WRITE setAutoHeight)
    Q_PROPERTY(THorzStretchType PicHorzStretch READ PicHorzStretch WRITE setPicHorzStretch)
    Q_PROPERTY(TVertStretchType PicVertStretch READ PicVertStretch WRITE setPicVertStretch)
public:
    explicit TPaintPanel(QWidget* parent = nullptr);
    ~TPaintPanel() override;

    TPicture* Picture() const { return m_picture.get(); }
    // Copies the picture in (the change handler runs) and schedules a repaint.
    void setPicture(const TPicture* value);
    // With AutoWidth the panel's width follows the bitmap's. Setting it is ignored while the
    // picture holds no image; set to true it takes the bitmap's width at once.
    bool AutoWidth() const { return m_autoWidth; }
    void setAutoWidth(bool value);
    bool AutoHeight() const { return m_autoHeight; }
    void setAutoHeight(bool value);
    THorzStretchType PicHorzStretch() const { return m_picHorzStretch; }
    void setPicHorzStretch(THorzStretchType value);
    TVertStretchType PicVertStretch() const { return m_picVertStretch; }
    void setPicVertStretch(TVertStretchType value);
    QColor BevelColor() const { return m_bevelColor; }
    void setBevelColor(const QColor& value);
    // bsSingle draws a frame of BevelWidth pixels in BevelColor around the client area.
    TBorderStyle BevelStyle() const { return m_bevelStyle; }
    void setBevelStyle(TBorderStyle value);

    TAlignment Alignment() const { return m_alignment; }
    void setAlignment(TAlignment value);
    TVerticalAlignment VerticalAlignment() const { return m_verticalAlignment; }
    void setVerticalAlignment(TVerticalAlignment value);
    TBiDiMode BiDiMode() const { return m_biDiMode; }
    void setBiDiMode(TBiDiMode value);
    // Set, a panel without a picture paints no background: the parent's shows through.
    bool ParentBackground() const { return m_parentBackground; }
    void setParentBackground(bool value);

    // The painter of the paint in progress, for Paint handlers; null outside a paint.
    QPainter* Canvas() const { return m_canvas; }

    // The pixel rectangles of a frame drawn around `r` with a pen `penWidth` pixels wide,
    // centred on the outermost rows and columns of `r` (an even pen reaches further out, up
    // and left): left, top, right, bottom.
    static QList<QRect> frameBands(const QRect& r, int penWidth);

signals:
    // Raised at the end of every paint.
    void Paint();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The picture change handler: sizes the panel from the bitmap with AutoWidth/AutoHeight.
    void PictureChanged(TPicture* sender);
    // The picture as a non-empty bitmap, after replacing a graphic of another class; null
    // when it holds no image.
    TBitmap* pictureBitmap();
    void drawCaption(QPainter& p, const QRect& r) const;

    std::unique_ptr<TPicture> m_picture;
    bool m_autoHeight = false;
    bool m_autoWidth = false;
    THorzStretchType m_picHorzStretch = hstNone;
    TVertStretchType m_picVertStretch = vstNone;
    QColor m_bevelColor = QColor(0, 0, 0);
    TBorderStyle m_bevelStyle = bsNone;
    TAlignment m_alignment = taCenter;
    TVerticalAlignment m_verticalAlignment = taVerticalCenter;
    TBiDiMode m_biDiMode = bdLeftToRight;
    bool m_parentBackground = false;
    QPainter* m_canvas = nullptr;
};
