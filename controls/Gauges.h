#pragma once

#include "GaugeRender.h"

#include <QWidget>

// A progress gauge: where Progress lies between MinValue and MaxValue, as a bar, a pie, a
// needle or a plain field, with the whole percentage written in the middle in inverse colours.
// It paints every pixel of its rectangle from one off-screen image, so nothing behind it has to
// be drawn first and it does not flicker.
//
// A property write that changes what is shown repaints at once (synchronously), so progress
// shows even while the caller keeps the GUI thread busy; setting Progress repaints only when
// the whole percentage changes, so it may be set in a tight loop. Outside loading, every write
// keeps MinValue <= Progress <= MaxValue.
class TGauge : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(Gauges::TGaugeKind Kind READ Kind WRITE setKind)
    Q_PROPERTY(bool ShowText READ ShowText WRITE setShowText)
    Q_PROPERTY(Gauges::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_PROPERTY(QColor ForeColor READ ForeColor WRITE setForeColor)
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE setProgress)
    Q_PROPERTY(QColor Color READ Color WRITE setColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)

public:
    explicit TGauge(QWidget* parent = nullptr);

    Gauges::TGaugeKind Kind() const { return m_kind; }
    void setKind(Gauges::TGaugeKind kind);
    bool ShowText() const { return m_showText; }
    void setShowText(bool showText);
    Gauges::TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(Gauges::TBorderStyle borderStyle);
    // Colour of the filled part, of the outlines and of the needle.
    QColor ForeColor() const { return m_foreColor; }
    void setForeColor(const QColor& colour);
    // Colour of the unfilled part.
    QColor BackColor() const { return m_backColor; }
    void setBackColor(const QColor& colour);

    int MinValue() const { return m_minValue; }
    // Throws EInvalidOperation above MaxValue (except while loading); pulls Progress up to it.
    void setMinValue(int value);
    int MaxValue() const { return m_maxValue; }
    // Throws EInvalidOperation below MinValue (except while loading); pulls Progress down to it.
    void setMaxValue(int value);
    int Progress() const { return m_progress; }
    // Clamped to MinValue ... MaxValue, never an error.
    void setProgress(int value);

    // Background of the pie and the needle: the parent's colour while ParentColor is set.
    QColor Color() const;
    // Also clears ParentColor.
    void setColor(const QColor& colour);
    bool ParentColor() const { return m_parentColor; }
    void setParentColor(bool parentColor);

    // The whole percentage Progress makes of the range; 0 for an empty range.
    int PercentDone() const;

    // While the window's settings are being applied, MinValue and MaxValue are taken without
    // the range checks (Progress is still clamped).
    void setLoading(bool loading) { m_loading = loading; }
    bool isLoading() const { return m_loading; }

    // Everything that decides the picture, and the picture itself at the current size.
    Gauges::GaugeLook look() const;
    QImage image() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void repaintNow();

    Gauges::TGaugeKind m_kind = Gauges::gkHorizontalBar;
    bool m_showText = true;
    Gauges::TBorderStyle m_borderStyle = Gauges::bsSingle;
    QColor m_foreColor = QColor(0, 0, 0);
    QColor m_backColor = QColor(255, 255, 255);
    int m_minValue = 0;
    int m_maxValue = 100;
    int m_progress = 0;
    QColor m_color = QColor(255, 255, 255);
    bool m_parentColor = true;
    bool m_loading = false;
};
