#include "TPicture.h"

#include "GraphicClasses.h"
#include "GraphicFileFormats.h"
#include "PictureData.h"
#include "TBitmap.h"

#include <QBuffer>
#include <QFileInfo>
#include <QMimeData>

TPicture::TPicture() = default;

TPicture::~TPicture()
{
    // The graphic must not report its destruction-time state to a half-destroyed owner.
    if (m_graphic)
        m_graphic->setOnChange({});
}

void TPicture::install(std::unique_ptr<TGraphic> graphic)
{
    if (m_graphic)
        m_graphic->setOnChange({});
    m_graphic = std::move(graphic);
    if (m_graphic)
        m_graphic->setOnChange([this](TGraphic*) { changed(); });
    changed();
}

void TPicture::changed()
{
    if (m_onChange)
        m_onChange(this);
}

void TPicture::setGraphic(const TGraphic* value)
{
    if (value == m_graphic.get() && value)
        return;
    std::unique_ptr<TGraphic> copy;
    if (value) {
        copy = value->newInstance();
        copy->assign(*value);
    }
    install(std::move(copy));
}

TBitmap* TPicture::bitmap()
{
    if (auto* b = dynamic_cast<TBitmap*>(m_graphic.get()))
        return b;
    install(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(m_graphic.get());
}

bool TPicture::empty() const
{
    return !m_graphic || m_graphic->empty();
}

int TPicture::width() const
{
    return m_graphic ? m_graphic->width() : 0;
}

int TPicture::height() const
{
    return m_graphic ? m_graphic->height() : 0;
}

void TPicture::assign(const TPicture* source)
{
    if (source == this)
        return;
    setGraphic(source ? source->graphic() : nullptr);
}

void TPicture::loadFromFile(const QString& fileName)
{
    const auto format = GraphicFileFormats::findForFile(fileName);
    if (!format) {
        throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)")
                                  .arg(QFileInfo(fileName).suffix()));
    }
    std::unique_ptr<TGraphic> g = format->create();
    g->loadFromFile(fileName);
    install(std::move(g));
}

void TPicture::saveToFile(const QString& fileName) const
{
    if (m_graphic)
        m_graphic->saveToFile(fileName);
}

void TPicture::readData(QIODevice& stream)
{
    PictureData::Parts parts = PictureData::split(stream.readAll());
    std::unique_ptr<TGraphic> g = GraphicClasses::create(QString::fromLatin1(parts.className));
    if (g) {
        QBuffer data(&parts.graphicData);
        data.open(QIODevice::ReadOnly);
        g->readData(data);
    }
    install(std::move(g));
}

void TPicture::writeData(QIODevice& stream) const
{
    if (!m_graphic)
        return;
    QBuffer data;
    data.open(QIODevice::WriteOnly);
    m_graphic->writeData(data);
    const QByteArray bytes = PictureData::join(m_graphic->className().toLatin1(), data.data());
    if (stream.write(bytes) != bytes.size())
        throw EWriteError(QStringLiteral("Stream write error"));
}

void TPicture::setLayoutData(const QByteArray& data)
{
    QByteArray copy = data;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    readData(buffer);
}

QByteArray TPicture::layoutData() const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeData(buffer);
    return buffer.data();
}

bool TPicture::supportsClipboardData(const QMimeData& data)
{
    return data.hasImage();
}

void TPicture::loadFromClipboard(const QMimeData& data)
{
    auto b = std::make_unique<TBitmap>();
    b->loadFromClipboard(data);
    install(std::move(b));
}

void TPicture::saveToClipboard(QMimeData& data) const
{
    if (m_graphic)
        m_graphic->saveToClipboard(data);
}
