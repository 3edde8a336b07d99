#pragma once

#include "Exception.h"

#include <QRect>
#include <QString>
#include <functional>
#include <memory>

class QIODevice;
class QMimeData;
class QPainter;

// A picture's data could not be read as the graphic class it names.
class EInvalidGraphic : public Exception
{
public:
    using Exception::Exception;
};

// One graphic cannot take the contents of another: "Cannot assign a TA to a TB".
class EConvertError : public Exception
{
public:
    using Exception::Exception;
};

// Picture data or a graphic's stream ended early.
class EReadError : public Exception
{
public:
    using Exception::Exception;
};

// Picture data cannot be written as asked.
class EWriteError : public Exception
{
public:
    using Exception::Exception;
};

// The abstract graphic of the picture system: a picture of some registered class that can be
// drawn into a rectangle, read from and written to a stream, copied from another graphic and
// put on or taken from the clipboard. Every change of its contents is reported to the one
// change handler its owner sets.
class TGraphic
{
public:
    using ChangeHandler = std::function<void(TGraphic* sender)>;

    TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;
    virtual ~TGraphic();

    // The name this class is registered under (picture data, file formats).
    virtual QString className() const = 0;
    // A new, empty graphic of the same class.
    virtual std::unique_ptr<TGraphic> newInstance() const = 0;

    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual void setWidth(int value) = 0;
    virtual void setHeight(int value) = 0;
    virtual bool empty() const = 0;
    virtual bool transparent() const;
    virtual void setTransparent(bool value);

    // Draws the graphic into `rect` (scaled to it when the sizes differ).
    virtual void draw(QPainter& canvas, const QRect& rect) const = 0;
    // Draws a non-empty graphic at `pos` at its own size; an empty one draws nothing.
    void drawAt(QPainter& canvas, const QPoint& pos) const;

    virtual void loadFromStream(QIODevice& stream) = 0;
    virtual void saveToStream(QIODevice& stream) const = 0;
    void loadFromFile(const QString& fileName);
    void saveToFile(const QString& fileName) const;
    // The graphic's part of picture data; by default what the stream operations read and write.
    virtual void readData(QIODevice& stream);
    virtual void writeData(QIODevice& stream) const;

    // Takes the contents of `source`. The default asks `source` to assign itself to this one
    // and throws EConvertError when it cannot.
    virtual void assign(const TGraphic& source);
    // Puts this graphic's contents into `dest` if this class knows how; false otherwise.
    virtual bool assignTo(TGraphic& dest) const;

    virtual void loadFromClipboard(const QMimeData& data) = 0;
    virtual void saveToClipboard(QMimeData& data) const = 0;

    void setOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

protected:
    // Reports a change of contents to the owner.
    virtual void changed();
    [[noreturn]] void assignError(const TGraphic& source) const;
    // Copies the transparent flag along with the contents, without a change report of its own.
    void setTransparentSilently(bool value) { m_transparent = value; }

private:
    ChangeHandler m_onChange;
    bool m_transparent = false;
};
