#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The pictures built into the program: its icon and the pictures its window
// descriptions name. On Linux they are Qt resources; on Windows the
// program's own Windows resources, where the shell finds its icon too.

// The program's icon, every image of it.
QIcon programIcon();
// The built-in picture of the name ("banner.jpg"); a null pixmap when the
// program has none of that name.
QPixmap programPicture(const QString &name);
