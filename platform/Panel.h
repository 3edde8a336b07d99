#pragma once

#include <QColor>
#include <QFrame>

// A classic panel: an outer and an inner bevel, a border between them, a background colour
// and an optional caption drawn in the middle. Its client rectangle (where aligned children go)
// is its rectangle less the bevels and the border.
class Panel : public QFrame
{
    Q_OBJECT
public:
    enum class Bevel
    {
        None,
        Lowered,
        Raised,
    };

    explicit Panel(QWidget* parent = nullptr);

    Bevel bevelOuter() const { return m_bevelOuter; }
    void setBevelOuter(Bevel bevel);
    Bevel bevelInner() const { return m_bevelInner; }
    void setBevelInner(Bevel bevel);
    int bevelWidth() const { return m_bevelWidth; }
    void setBevelWidth(int width);
    int borderWidth() const { return m_borderWidth; }
    void setBorderWidth(int width);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    // The rectangle aligned children share, in this panel's coordinates.
    QRect clientRect() const;

    static QColor buttonFace();
    static QColor buttonHighlight();
    static QColor buttonShadow();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawBevel(QPainter& p, QRect& r, Bevel bevel) const;

    Bevel m_bevelOuter = Bevel::Raised;
    Bevel m_bevelInner = Bevel::None;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    QColor m_color;
    QString m_caption;
};
