// Draws every gauge kind at several values, with and without a border, into one PNG, to look
// at: gauge_sheet out.png
#include "Fonts.h"
#include "GaugeRender.h"

#include <QGuiApplication>
#include <QPainter>
#include <QTextStream>

using namespace Gauges;

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: gauge_sheet out.png\n";
        return 2;
    }
    const QList<int> percents = {0, 5, 25, 50, 75, 100};
    const QList<TGaugeKind> kinds = {gkText, gkHorizontalBar, gkVerticalBar, gkPie, gkNeedle};
    const QSize cell(120, 90);
    const int gap = 10;
    const int labelWidth = 120;

    QImage sheet(labelWidth + percents.size() * (cell.width() + gap) + gap,
                 (kinds.size() * 2) * (cell.height() + gap) + 120, QImage::Format_RGB32);
    sheet.fill(QColor(240, 240, 240));
    QPainter painter(&sheet);
    painter.setFont(Fonts::tahoma(12));

    int y = gap;
    for (TGaugeKind kind : kinds) {
        for (TBorderStyle border : {bsSingle, bsNone}) {
            painter.setPen(Qt::black);
            painter.drawText(QRect(gap, y, labelWidth - gap, cell.height()), Qt::AlignVCenter,
                             QStringLiteral("kind %1\n%2")
                                 .arg(int(kind))
                                 .arg(border == bsSingle ? "bsSingle" : "bsNone"));
            int x = labelWidth;
            for (int percent : percents) {
                GaugeLook look;
                look.kind = kind;
                look.borderStyle = border;
                look.percent = percent;
                look.foreColor = QColor(0, 0, 255);
                look.backColor = QColor(192, 220, 192);
                look.color = QColor(255, 255, 255);
                look.font = Fonts::songTi(12);
                const QSize size = kind == gkVerticalBar ? QSize(40, cell.height())
                                   : kind == gkNeedle    ? QSize(cell.width(), 60)
                                                         : cell;
                painter.drawImage(x, y, renderGauge(look, size));
                x += cell.width() + gap;
            }
            y += cell.height() + gap;
        }
    }
    // The main window's gauge, and the defaults (black on white).
    for (int percent : {0, 37, 100}) {
        GaugeLook look;
        look.foreColor = QColor(0, 0, 255);
        look.backColor = QColor(192, 220, 192);
        look.font = Fonts::songTi(12);
        look.percent = percent;
        painter.drawImage(gap, y, renderGauge(look, QSize(595, 13)));
        look.foreColor = Qt::black;
        look.backColor = Qt::white;
        painter.drawImage(gap + 600, y, renderGauge(look, QSize(120, 20)));
        y += 25;
    }
    painter.end();
    return sheet.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
