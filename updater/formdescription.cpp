#include "formdescription.h"

#include "platform/core/runtimeerror.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <utility>

namespace {

ControlDescription::Kind kindFromName(const QString &name)
{
    using Kind = ControlDescription::Kind;
    if (name == QLatin1String("timer"))
        return Kind::Timer;
    if (name == QLatin1String("button"))
        return Kind::Button;
    if (name == QLatin1String("panel"))
        return Kind::Panel;
    if (name == QLatin1String("label"))
        return Kind::Label;
    if (name == QLatin1String("control"))
        return Kind::Control;
    throw platform::RuntimeError(platform::ErrTypeMismatch, QStringLiteral("Unknown control kind: ") + name);
}

ControlDescription controlFromJson(const QJsonObject &o)
{
    ControlDescription c;
    c.name = o.value(QLatin1String("name")).toString();
    c.kind = kindFromName(o.value(QLatin1String("kind")).toString());
    c.twips = QRect(o.value(QLatin1String("left")).toInt(), o.value(QLatin1String("top")).toInt(),
                    o.value(QLatin1String("width")).toInt(), o.value(QLatin1String("height")).toInt());
    c.caption = o.value(QLatin1String("caption")).toString();
    c.tabIndex = o.value(QLatin1String("tabIndex")).toInt();
    c.interval = o.value(QLatin1String("interval")).toInt();
    c.enabled = o.value(QLatin1String("enabled")).toBool(true);
    if (o.contains(QLatin1String("font"))) {
        const QJsonObject f = o.value(QLatin1String("font")).toObject();
        QFont font(f.value(QLatin1String("family")).toString());
        font.setPointSizeF(f.value(QLatin1String("pointSize")).toDouble(8.25));
        font.setBold(f.value(QLatin1String("bold")).toBool());
        c.font = font;
    }
    c.progId = o.value(QLatin1String("progid")).toString();
    c.settings = platform::MemoryPropertyStore::fromJson(o.value(QLatin1String("settings")).toObject());
    return c;
}

} // namespace

FormDescription FormDescription::fromJson(const QByteArray &json)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw platform::RuntimeError(platform::ErrTypeMismatch, QStringLiteral("Malformed window description"));
    const QJsonObject o = doc.object();
    FormDescription form;
    form.name = o.value(QLatin1String("name")).toString();
    form.caption = o.value(QLatin1String("caption")).toString();
    form.clientTwips = QSize(o.value(QLatin1String("clientWidth")).toInt(), o.value(QLatin1String("clientHeight")).toInt());
    form.picture = o.value(QLatin1String("picture")).toString();
    for (const QJsonValue v : o.value(QLatin1String("controls")).toArray())
        form.controls.append(controlFromJson(v.toObject()));
    return form;
}

const ControlDescription *FormDescription::control(const QString &name) const
{
    for (const ControlDescription &c : controls) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

ControlDescription *FormDescription::control(const QString &name)
{
    return const_cast<ControlDescription *>(std::as_const(*this).control(name));
}
