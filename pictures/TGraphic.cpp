#include "TGraphic.h"

#include <QFile>
#include <QPainter>

TGraphic::~TGraphic() = default;

bool TGraphic::transparent() const
{
    return m_transparent;
}

void TGraphic::setTransparent(bool value)
{
    if (m_transparent == value)
        return;
    m_transparent = value;
    changed();
}

void TGraphic::drawAt(QPainter& canvas, const QPoint& pos) const
{
    if (!empty())
        draw(canvas, QRect(pos, QSize(width(), height())));
}

void TGraphic::loadFromFile(const QString& fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EReadError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, f.errorString()));
    loadFromStream(f);
}

void TGraphic::saveToFile(const QString& fileName) const
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw EWriteError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
    saveToStream(f);
    if (!f.flush())
        throw EWriteError(
            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, f.errorString()));
}

void TGraphic::readData(QIODevice& stream)
{
    loadFromStream(stream);
}

void TGraphic::writeData(QIODevice& stream) const
{
    saveToStream(stream);
}

void TGraphic::assign(const TGraphic& source)
{
    if (!source.assignTo(*this))
        assignError(source);
}

bool TGraphic::assignTo(TGraphic&) const
{
    return false;
}

void TGraphic::changed()
{
    if (m_onChange)
        m_onChange(this);
}

void TGraphic::assignError(const TGraphic& source) const
{
    throw EConvertError(
        QStringLiteral("Cannot assign a %1 to a %2").arg(source.className(), className()));
}
