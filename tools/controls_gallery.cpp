// Paints every custom control in every state into one PNG, side by side, for a person to look
// at: image buttons and check buttons in each visual state, the caption layouts, the picture
// panel's stretch modes (growing and shrinking), its frames and captions, and PNG drawing.
//
//   build/tools/controls_gallery [out.png]     (default: controls-gallery.png)
//
// Runs without a display (offscreen) unless QT_QPA_PLATFORM says otherwise.

#include "ControlsTestSupport.h"
#include "GraphicUnits.h"
#include "ImgButton.h"
#include "PaintPanel.h"
#include "TBitmap.h"
#include "nxGDIPlusClasses.h"

#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

enum Role
{
    Normal,
    Enter,
    Down,
    Disable,
    Check,
};

// A button picture: a rounded tile with a soft shadow and a glyph, coloured by role.
QImage icon(QSize size, Role role, bool listGlyph)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF tile = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(3, 2, -4, -4);
    for (int i = 3; i >= 1; --i) { // shadow
        QPainterPath s;
        s.addRoundedRect(tile.translated(1.5, 2).adjusted(-i, -i, i, i), 6 + i, 6 + i);
        p.fillPath(s, QColor(0, 0, 0, 22));
    }
    QColor top, bottom;
    switch (role) {
    case Normal:
        top = QColor(0x8c, 0xaa, 0xcc);
        bottom = QColor(0x52, 0x76, 0xa0);
        break;
    case Enter:
        top = QColor(0xb4, 0xd2, 0xf2);
        bottom = QColor(0x6e, 0x98, 0xc8);
        break;
    case Down:
        top = QColor(0x3c, 0x5a, 0x80);
        bottom = QColor(0x5c, 0x7e, 0xa8);
        break;
    case Disable:
        top = QColor(0xc8, 0xc8, 0xc8, 170);
        bottom = QColor(0xa8, 0xa8, 0xa8, 170);
        break;
    case Check:
        top = QColor(0xf6, 0xc4, 0x6a);
        bottom = QColor(0xd8, 0x86, 0x22);
        break;
    }
    QLinearGradient g(tile.topLeft(), tile.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    QPainterPath path;
    path.addRoundedRect(tile, 6, 6);
    p.fillPath(path, g);
    if (role == Enter) {
        p.setPen(QPen(QColor(255, 255, 255, 200), 1.2));
        p.drawPath(path);
    }
    p.setPen(
        QPen(QColor(255, 255, 255, role == Disable ? 150 : 240), 2, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = tile.center();
    if (listGlyph) {
        for (int i = -1; i <= 1; ++i) {
            p.drawPoint(QPointF(c.x() - 7, c.y() + 5 * i));
            p.drawLine(QPointF(c.x() - 3, c.y() + 5 * i), QPointF(c.x() + 8, c.y() + 5 * i));
        }
    } else {
        p.drawEllipse(c, 4.0, 4.0);
    }
    return img;
}

std::unique_ptr<TPicture> pngPicture(const QImage& image)
{
    auto p = std::make_unique<TPicture>();
    setPngPicture(*p, image);
    return p;
}

QImage stripImage()
{
    QImage img(37, 1, QImage::Format_RGB32);
    for (int x = 0; x < 36; ++x)
        img.setPixel(x, 0, qRgb(252 - x, 252 - x, 253 - x / 2));
    img.setPixel(36, 0, qRgb(0x9a, 0x9a, 0xa0));
    return img;
}

// A small picture with distinct corners, edges and a middle column/row to stretch.
QImage stretchSource()
{
    QImage img(16, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 16; ++x) {
            QRgb c = qRgb(230, 236, 246);
            if (x == 8 || y == 6)
                c = qRgb(120, 180, 120); // the middle column and row
            if (x == 0 || y == 0)
                c = qRgb(70, 110, 200); // first column and row
            if (x == 15 || y == 11)
                c = qRgb(200, 90, 70); // last column and row
            if ((x < 3 && y < 3) || (x > 12 && y > 8))
                c = qRgb(40, 40, 40); // two corners
            img.setPixel(x, y, c);
        }
    }
    return img;
}

std::unique_ptr<TPicture> bitmapPicture(const QImage& image)
{
    auto p = std::make_unique<TPicture>();
    TBitmap b(image, pf24bit);
    p->setGraphic(&b);
    return p;
}

void send(QWidget* w, QEvent&& e)
{
    QApplication::sendEvent(w, &e);
}

void enter(QWidget* w)
{
    send(w, QEnterEvent(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5)));
}

void pressLeft(QWidget* w)
{
    send(w, QMouseEvent(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::LeftButton, Qt::NoModifier));
}

class Sheet
{
public:
    explicit Sheet(int width) : m_image(width, 2400, QImage::Format_RGB32), m_p(&m_image)
    {
        m_image.fill(qRgb(0xfa, 0xfa, 0xfa));
        m_p.setRenderHint(QPainter::TextAntialiasing);
    }

    void title(const QString& text)
    {
        m_y += 14;
        QFont f = m_p.font();
        f.setPixelSize(15);
        f.setBold(true);
        m_p.setFont(f);
        m_p.setPen(QColor(0x20, 0x20, 0x30));
        m_p.drawText(QPoint(14, m_y + 15), text);
        m_y += 26;
        m_x = 14;
        m_rowHeight = 0;
    }

    // Renders the widget (with its children) into the next cell of the row, labelled, enlarged
    // `zoom` times pixel for pixel. Where the widget paints nothing the sheet's grey shows.
    void cell(QWidget* w, const QString& label, int minWidth = 0, int zoom = 1)
    {
        QImage shot(w->size(), QImage::Format_RGB32);
        shot.fill(qRgb(0xd0, 0xd0, 0xd8));
        w->render(&shot);
        shot = shot.scaled(w->size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);

        const int width = qMax(shot.width(), qMax(minWidth, labelWidth(label)));
        if (m_x + width > m_image.width() - 14)
            newRow();
        const QPoint at(m_x + (width - shot.width()) / 2, m_y);
        m_p.fillRect(QRect(at - QPoint(1, 1), shot.size() + QSize(2, 2)), QColor(0xd0, 0xd0, 0xd8));
        m_p.drawImage(at, shot);
        QFont f = m_p.font();
        f.setPixelSize(11);
        f.setBold(false);
        m_p.setFont(f);
        m_p.setPen(QColor(0x40, 0x40, 0x50));
        m_p.drawText(QRect(m_x, m_y + shot.height() + 4, width, 30),
                     Qt::AlignHCenter | Qt::TextWordWrap, label);
        m_x += width + 16;
        m_rowHeight = qMax(m_rowHeight, shot.height() + 4 + 30);
    }

    void newRow()
    {
        m_y += m_rowHeight + 8;
        m_x = 14;
        m_rowHeight = 0;
    }

    void endSection() { newRow(); }

    QImage finish()
    {
        m_p.end();
        return m_image.copy(0, 0, m_image.width(), m_y + 10);
    }

private:
    int labelWidth(const QString& label) const
    {
        QFont f = m_p.font();
        f.setPixelSize(11);
        return qMin(QFontMetrics(f).horizontalAdvance(label) + 4, 120);
    }

    QImage m_image;
    QPainter m_p;
    int m_x = 14;
    int m_y = 0;
    int m_rowHeight = 0;
};

// A strip panel as the navigation strip has it, 37 pixels wide, holding one button.
std::unique_ptr<TPaintPanel> stripPanel(int height)
{
    auto panel = std::make_unique<TPaintPanel>();
    panel->resize(37, height);
    panel->setColor(Qt::white);
    panel->setPicture(bitmapPicture(stripImage()).get());
    panel->setPicVertStretch(vstBottom);
    return panel;
}

template <class Button> void setPictures(Button& b, QSize size, bool listGlyph, bool withCheck)
{
    b.setImgNormal(pngPicture(icon(size, Normal, listGlyph)).get());
    b.setImgEnter(pngPicture(icon(size, Enter, listGlyph)).get());
    b.setImgDown(pngPicture(icon(size, Down, listGlyph)).get());
    b.setImgDisable(pngPicture(icon(size, Disable, listGlyph)).get());
    if constexpr (std::is_same_v<Button, TImgCheckButton>) {
        if (withCheck)
            b.setImgCheck(pngPicture(icon(size, Check, listGlyph)).get());
    }
}

void buttons(Sheet& sheet)
{
    sheet.title(QStringLiteral("TImgButton - 22 x 22 PNG in a 36 x 40 button on the strip panel"));
    const QStringList states{QStringLiteral("0 normal (7,9)"), QStringLiteral("1 mouse over (6,8)"),
                             QStringLiteral("2 pressed (8,10)"), QStringLiteral("disabled")};
    for (int s = 0; s < 4; ++s) {
        auto panel = stripPanel(48);
        TImgButton b(panel.get());
        b.setGeometry(0, 4, 36, 40);
        setPictures(b, QSize(22, 22), false, false);
        if (s >= 1)
            enter(&b);
        if (s == 2)
            pressLeft(&b);
        if (s == 3)
            b.setEnabled(false);
        sheet.cell(panel.get(), states[s], 90);
    }
    {
        auto panel = stripPanel(48);
        TImgButton b(panel.get());
        b.setGeometry(0, 4, 36, 40);
        b.setImgNormal(pngPicture(icon(QSize(22, 22), Normal, false)).get());
        enter(&b);
        pressLeft(&b);
        sheet.cell(panel.get(), QStringLiteral("only ImgNormal, pressed"), 90);
    }
    sheet.endSection();

    sheet.title(QStringLiteral("TImgCheckButton - 39 x 34 PNG, offsets 0: a 39 x 34 and a 36 x 40 "
                               "button on the strip"));
    const QStringList checkStates{QStringLiteral("0 normal"),
                                  QStringLiteral("1 mouse over"),
                                  QStringLiteral("2 pressed"),
                                  QStringLiteral("3 checked"),
                                  QStringLiteral("disabled"),
                                  QStringLiteral("checked, disabled"),
                                  QStringLiteral("checked, no ImgCheck: nothing")};
    for (int s = 0; s < 7; ++s) {
        auto panel = stripPanel(96);
        TImgCheckButton a(panel.get());
        a.setGeometry(-2, 4, 39, 34);
        TImgCheckButton b(panel.get());
        b.setGeometry(2, 50, 36, 40);
        for (TImgCheckButton* btn : {&a, &b}) {
            btn->setOnEnterOffset(0);
            btn->setOnDownOffset(0);
            setPictures(*btn, QSize(39, 34), true, s != 6);
            if (s == 1 || s == 2)
                enter(btn);
            if (s == 2)
                pressLeft(btn);
        }
        if (s == 3 || s == 5 || s == 6) {
            a.setCheckGroup(1);
            a.setChecked(true);
            b.setChecked(true);
        }
        if (s == 4 || s == 5) {
            a.setEnabled(false);
            b.setEnabled(false);
        }
        sheet.cell(panel.get(), checkStates[s], 84);
    }
    sheet.endSection();

    sheet.title(QStringLiteral("Caption layouts (Spacing 2), normal and mouse over"));
    const QList<std::pair<TImgControlLayout, QString>> layouts{
        {iclImgLeft, QStringLiteral("iclImgLeft")},
        {iclImgRight, QStringLiteral("iclImgRight")},
        {iclImgTop, QStringLiteral("iclImgTop")},
        {iclImgBottom, QStringLiteral("iclImgBottom")},
        {iclImgCenter, QStringLiteral("iclImgCenter")}};
    for (bool over : {false, true}) {
        for (const auto& [layout, name] : layouts) {
            TPaintPanel panel;
            panel.resize(96, 64);
            panel.setColor(QColor(0xee, 0xf2, 0xf8));
            TImgButton b(&panel);
            b.setGeometry(0, 0, 96, 64);
            b.setCaption(QStringLiteral("成语"));
            b.setImgButtonLayout(layout);
            setPictures(b, QSize(22, 22), false, false);
            if (over)
                enter(&b);
            sheet.cell(&panel, name + (over ? QStringLiteral(" (over)") : QString()));
        }
        sheet.newRow();
    }
    sheet.endSection();
}

void panels(Sheet& sheet)
{
    const QList<std::pair<THorzStretchType, QString>> horz{{hstNone, QStringLiteral("hstNone")},
                                                           {hstAll, QStringLiteral("hstAll")},
                                                           {hstLeft, QStringLiteral("hstLeft")},
                                                           {hstMiddle, QStringLiteral("hstMiddle")},
                                                           {hstRight, QStringLiteral("hstRight")}};
    const QList<std::pair<TVertStretchType, QString>> vert{
        {vstNone, QStringLiteral("vstNone")},
        {vstAll, QStringLiteral("vstAll")},
        {vstTop, QStringLiteral("vstTop")},
        {vstCenter, QStringLiteral("vstCenter")},
        {vstBottom, QStringLiteral("vstBottom")}};

    sheet.title(QStringLiteral("TPaintPanel - every pair of stretch modes, 72 x 44 (shown 2x)"));
    {
        TPaintPanel source;
        source.resize(16, 12);
        source.setPicture(bitmapPicture(stretchSource()).get());
        sheet.cell(&source,
                   QStringLiteral("the 16 x 12 bitmap (4x): blue first, green middle, red last "
                                  "column and row"),
                   300, 4);
        sheet.newRow();
    }
    for (const auto& [v, vname] : vert) {
        for (const auto& [h, hname] : horz) {
            TPaintPanel panel;
            panel.resize(72, 44);
            panel.setColor(QColor(0xff, 0xe0, 0xe0));
            panel.setPicture(bitmapPicture(stretchSource()).get());
            panel.setPicHorzStretch(h);
            panel.setPicVertStretch(v);
            sheet.cell(&panel, hname + QLatin1Char(' ') + vname, 144, 2);
        }
        sheet.newRow();
    }
    sheet.endSection();

    sheet.title(QStringLiteral("Smaller than the picture: 10 x 8 panels (shown 4x)"));
    for (const auto& [h, hname] : horz) {
        TPaintPanel panel;
        panel.resize(10, 8);
        panel.setPicture(bitmapPicture(stretchSource()).get());
        panel.setPicHorzStretch(h);
        panel.setPicVertStretch(h == hstNone ? vstTop : vstCenter);
        sheet.cell(&panel,
                   hname +
                       (h == hstNone ? QStringLiteral(" vstTop") : QStringLiteral(" vstCenter")),
                   120, 4);
    }
    sheet.endSection();

    sheet.title(QStringLiteral("Frames (bsSingle) and captions"));
    for (int w : {1, 2, 3, 4}) {
        TPaintPanel panel;
        panel.resize(90, 40);
        panel.setColor(Qt::white);
        panel.setBevelStyle(bsSingle);
        panel.setBevelColor(QColor(0x30, 0x60, 0xa0));
        panel.setBevelWidth(w);
        panel.setCaption(QStringLiteral("BevelWidth %1").arg(w));
        sheet.cell(&panel, QStringLiteral("frame %1").arg(w));
    }
    const QList<std::tuple<TAlignment, TVerticalAlignment, TBiDiMode, QString>> captions{
        {taLeftJustify, taAlignTop, bdLeftToRight, QStringLiteral("left, top")},
        {taRightJustify, taAlignBottom, bdLeftToRight, QStringLiteral("right, bottom")},
        {taLeftJustify, taVerticalCenter, bdRightToLeft, QStringLiteral("left, right-to-left")}};
    for (const auto& [a, v, bidi, name] : captions) {
        TPaintPanel panel;
        panel.resize(110, 40);
        panel.setColor(QColor(0xf0, 0xf0, 0xf0));
        panel.setCaption(QStringLiteral("成语 caption"));
        panel.setAlignment(a);
        panel.setVerticalAlignment(v);
        panel.setBiDiMode(bidi);
        sheet.cell(&panel, name);
    }
    sheet.endSection();
}

// A PNG graphic drawn on a checkerboard at its own size and enlarged twice.
class PngView : public QWidget
{
public:
    PngView(const TnxPNGImage& png, QSize size) : m_png(png) { resize(size); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        for (int y = 0; y < height(); y += 6) {
            for (int x = 0; x < width(); x += 6)
                p.fillRect(x, y, 6, 6, ((x + y) / 6) % 2 ? QColor(0xcc, 0xcc, 0xcc) : Qt::white);
        }
        m_png.draw(p, rect());
    }

private:
    const TnxPNGImage& m_png;
};

void pngs(Sheet& sheet)
{
    sheet.title(
        QStringLiteral("TnxPNGImage - alpha over a checkerboard; enlarged from 38 x 33 of its "
                       "39 x 34 pixels"));
    TPicture picture;
    setPngPicture(picture, icon(QSize(39, 34), Check, true));
    const auto& png = *static_cast<TnxPNGImage*>(picture.graphic());
    PngView own(png, QSize(39, 34));
    sheet.cell(&own, QStringLiteral("39 x 34"), 60);
    PngView twice(png, QSize(78, 68));
    sheet.cell(&twice, QStringLiteral("into 78 x 68"), 90);
    TPicture positions;
    setPngPicture(positions, positionImage(39, 34));
    const auto& grid = *static_cast<TnxPNGImage*>(positions.graphic());
    PngView gridTwice(grid, QSize(78, 68));
    sheet.cell(&gridTwice, QStringLiteral("position colours, 78 x 68"), 90);
    sheet.endSection();
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const GraphicUnits units;
    const QString out =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("controls-gallery.png");
    Sheet sheet(860);
    buttons(sheet);
    panels(sheet);
    pngs(sheet);
    if (!sheet.finish().save(out, "PNG")) {
        std::fprintf(stderr, "controls_gallery: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("%s\n", qPrintable(out));
    return 0;
}
