#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class TGraphic;

// The graphic classes that picture data may name, by class name. TBitmap is always known;
// other classes register while they are usable and unregister when they stop being so.
namespace GraphicClasses {

using Factory = std::function<std::unique_ptr<TGraphic>()>;

// Registers `factory` under `className`, replacing an earlier registration of that name.
void registerClass(const QString& className, Factory factory);
void unregisterClass(const QString& className);
bool isRegistered(const QString& className);
QStringList registeredClasses();
// A new, empty graphic of the class registered under `className`; null when none is.
std::unique_ptr<TGraphic> create(const QString& className);

} // namespace GraphicClasses
