#pragma once

#include <QLabel>

// A one-line text label used as a link. Its font's underline is drawn within the label even
// where the font would put it below the label's last row (a 12-pixel label in a 12-pixel
// font leaves no room under the characters), so that pointing at the link shows it.
class LinkLabel : public QLabel
{
    Q_OBJECT
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override;
};
