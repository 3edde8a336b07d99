#include "RichEdit.h"

#include <QTextBlock>
#include <QTextCursor>

RichEdit::RichEdit(QWidget* parent) : QTextEdit(parent)
{
    setReadOnly(true);
    setAcceptRichText(false);
    setUndoRedoEnabled(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setLineWrapMode(QTextEdit::WidgetWidth);
    document()->setDocumentMargin(0);
}

void RichEdit::setText(const QString& text)
{
    QString plain = text;
    plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    plain.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setExtraSelections({});
    setPlainText(plain);
}

QColor RichEdit::highlightColour()
{
    return QColor(255, 226, 102);
}

void RichEdit::highlight(const QString& needle)
{
    QList<ExtraSelection> marks;
    if (!needle.isEmpty()) {
        for (QTextCursor at = document()->find(needle); !at.isNull();
             at = document()->find(needle, at)) {
            ExtraSelection mark;
            mark.cursor = at;
            mark.format.setBackground(highlightColour());
            marks.append(mark);
        }
    }
    setExtraSelections(marks);
}

QString RichEdit::text() const
{
    QString out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin())
            out += QLatin1String("\r\n");
        out += b.text();
    }
    return out;
}

int RichEdit::selStart() const
{
    return textCursor().selectionStart();
}

int RichEdit::selLength() const
{
    const QTextCursor c = textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void RichEdit::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    if (length > 0)
        c.setPosition(qMin(start + length, document()->characterCount() - 1),
                      QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QRect RichEdit::clientRect() const
{
    return QRect(QPoint(0, 0), contentsRect().size());
}

void RichEdit::setFormattingRect(const QRect& rect)
{
    const QRect client = clientRect();
    setViewportMargins(rect.left() - client.left(), rect.top() - client.top(),
                       client.right() - rect.right(), client.bottom() - rect.bottom());
}

QRect RichEdit::formattingRect() const
{
    const QMargins m = viewportMargins();
    return clientRect().marginsRemoved(m);
}

void InsetTextRect(RichEdit* edit)
{
    edit->setFormattingRect(edit->clientRect().adjusted(10, 10, -10, -10));
}

void SetLineSpacing(RichEdit* edit, quint8 rule, int spacing)
{
    QTextBlockFormat format;
    switch (rule) {
    case 0:
        format.setLineHeight(100, QTextBlockFormat::ProportionalHeight);
        break;
    case 1:
        format.setLineHeight(150, QTextBlockFormat::ProportionalHeight);
        break;
    case 2:
        format.setLineHeight(200, QTextBlockFormat::ProportionalHeight);
        break;
    case 3: // twips: 1/1440 inch, at 96 dots per inch 15 twips a pixel
        format.setLineHeight(spacing / 15.0, QTextBlockFormat::MinimumHeight);
        break;
    case 4:
        format.setLineHeight(spacing / 15.0, QTextBlockFormat::FixedHeight);
        break;
    case 5:
        format.setLineHeight(spacing * 5, QTextBlockFormat::ProportionalHeight);
        break;
    default:
        return;
    }
    QTextCursor c = edit->textCursor();
    c.mergeBlockFormat(format);
}
