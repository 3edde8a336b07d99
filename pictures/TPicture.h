#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QIODevice;
class QMimeData;
class TBitmap;
class TGraphic;

// The picture holder: owns at most one graphic of a registered class. Setting or assigning
// makes an independent copy of the given graphic. Every change (a new graphic, or a change
// inside the held one) is reported to the one change handler its owner sets.
class TPicture
{
public:
    using ChangeHandler = std::function<void(TPicture* sender)>;

    TPicture();
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;
    ~TPicture();

    TGraphic* graphic() const { return m_graphic.get(); }
    // Holds a copy of `value` (of the same class); null empties the picture.
    void setGraphic(const TGraphic* value);
    // The graphic as a bitmap. A graphic of any other class, or none, is first replaced by a
    // new, empty bitmap.
    TBitmap* bitmap();

    // True when the picture holds no image: no graphic, or an empty one.
    bool empty() const;
    int width() const;
    int height() const;

    // Copies `source`'s graphic; null or an empty picture leaves this one without a graphic.
    void assign(const TPicture* source);

    // Reads a file through the graphic class registered for its extension. Throws
    // EInvalidGraphic for an unknown extension and whatever the graphic throws for bad data;
    // on an error the picture keeps what it held.
    void loadFromFile(const QString& fileName);
    // Writes the graphic in its own format; a picture without a graphic writes no file.
    void saveToFile(const QString& fileName) const;

    // Picture data as window layouts carry it (see PictureData). A class name that is not
    // registered leaves the picture empty; on a read error the picture keeps what it held.
    void readData(QIODevice& stream);
    // Writes the class name and the graphic's data; a picture without a graphic writes nothing.
    void writeData(QIODevice& stream) const;
    void setLayoutData(const QByteArray& data);
    QByteArray layoutData() const;

    // The clipboard carries pictures as images: pasting gives a bitmap.
    static bool supportsClipboardData(const QMimeData& data);
    void loadFromClipboard(const QMimeData& data);
    void saveToClipboard(QMimeData& data) const;

    void setOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

private:
    void install(std::unique_ptr<TGraphic> graphic);
    void changed();

    std::unique_ptr<TGraphic> m_graphic;
    ChangeHandler m_onChange;
};
