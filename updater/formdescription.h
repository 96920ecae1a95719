#pragma once

#include "platform/settings/memorypropertystore.h"

#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

// One control of a stored window description, with its position in twips.
struct ControlDescription {
    enum class Kind { Timer, Button, Panel, Label, Control };

    QString name;
    Kind kind = Kind::Label;
    QRect twips;
    QString caption;
    int tabIndex = 0;
    // Timers only.
    int interval = 0;
    bool enabled = true;
    // Labels only; the family falls back to what the system substitutes.
    std::optional<QFont> font;
    // Registered controls only: the class by ProgID and its stored settings.
    QString progId;
    platform::MemoryPropertyStore settings;
};

// A window as the program stores it: caption, client size in twips, the
// picture drawn at its top-left corner and its controls from the top of the
// stacking order to the bottom.
struct FormDescription {
    QString name;
    QString caption;
    QSize clientTwips;
    // The name of a picture built into the program (programresources.h).
    QString picture;
    QList<ControlDescription> controls;

    // Reads a description from its JSON form; raises "Type mismatch" (13)
    // for malformed data.
    static FormDescription fromJson(const QByteArray &json);
    const ControlDescription *control(const QString &name) const;
    ControlDescription *control(const QString &name);
};

