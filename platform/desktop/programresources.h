#pragma once

#include <QByteArray>
#include <QIcon>
#include <QSize>
#include <QString>

#include <initializer_list>

// Windows only: the running program's own Windows resources, where the
// shell finds its icon too (on Linux a program keeps its pictures as Qt
// resources instead).
namespace platform::desktop {

// The icon group of the number, with an image at each size it has.
QIcon programIconResource(int group, std::initializer_list<QSize> sizes);
// The raw data (RCDATA) of the name; empty when there is none.
QByteArray programDataResource(const QString &name);

} // namespace platform::desktop
