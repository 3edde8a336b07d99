#pragma once

#include <QTextEdit>

// The read-only rich-text view. Text goes in with a carriage return between paragraphs and
// comes back with CR LF between them, as the view's readers expect.
class RichEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit RichEdit(QWidget* parent = nullptr);

    // Replaces the whole content; each CR (or CR LF, or LF) starts a new paragraph.
    void setText(const QString& text);
    // The plain text, paragraphs joined by CR LF.
    QString text() const;
    // Marks every place `needle` stands in the text with a coloured background, until the
    // next setText(); the text, its selection and what is copied stay as they are. An empty
    // needle marks nothing.
    void highlight(const QString& needle);
    static QColor highlightColour();

    int selStart() const;
    int selLength() const;
    // Selects `length` characters from the selection's start; 0 collapses the selection there.
    void setSelLength(int length);

    // The area inside the frame, in the view's own coordinates.
    QRect clientRect() const;
    // Where text is laid out, relative to the client area's origin. Text outside it is clipped.
    void setFormattingRect(const QRect& rect);
    QRect formattingRect() const;
};

// Insets the view's formatting rectangle by 10 pixels on every side of its client area.
void InsetTextRect(RichEdit* edit);

// Applies a line-spacing rule to every paragraph the selection touches:
// 0 single, 1 one and a half, 2 double; 3 at least `spacing`, 4 exactly `spacing` (both in
// twips), 5 `spacing`/20 lines. Rules 0 to 2 ignore `spacing`.
void SetLineSpacing(RichEdit* edit, quint8 rule, int spacing = 1);
