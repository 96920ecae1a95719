#include "tools/ctlhost/controltestcontainer.h"

#include "tools/ctlhost/scriptline.h"

#include "platform/com/core/automation.h"
#include "platform/com/core/bstr.h"
#include "platform/desktop/eventpump.h"
#include "platform/settings/memorypropertystore.h"
#include "update/published/dispids.h"

namespace {

void expectWords(const QStringList &words, qsizetype min, qsizetype max)
{
    if (words.size() < min || words.size() > max)
        throw std::invalid_argument("wrong number of words for " + words.value(0).toStdString());
}

int parseNumber(const QString &word)
{
    bool ok = false;
    const int v = word.toInt(&ok);
    if (!ok)
        throw std::invalid_argument("not a number: " + word.toStdString());
    return v;
}

QString unquoted(const QString &word)
{
    return word.startsWith(QLatin1Char('"')) ? parseScriptValue(word).toString() : word;
}

} // namespace

ControlTestContainer::ControlTestContainer(QTextStream &out)
    : m_out(out)
{
    m_answerer.setObserver([this](const platform::MessageBoxAnswerer::Answered &box) { reportBox(box); });
    m_window.setWindowTitle(QStringLiteral("ctlhost"));
    m_window.resize(640, 480);
    m_window.show();
}

ControlTestContainer::~ControlTestContainer()
{
    for (Hosted *h : std::as_const(m_controls)) {
        if (h->sink)
            h->sink->disconnect();
        if (h->changes)
            h->changes->disconnect();
        delete h;
    }
}

void ControlTestContainer::report(const QString &line)
{
    m_out << line << Qt::endl;
}

void ControlTestContainer::reportBox(const platform::MessageBoxAnswerer::Answered &box)
{
    const QString answer = box.answer == platform::MsgAnswer::Yes  ? QStringLiteral("yes")
                           : box.answer == platform::MsgAnswer::No ? QStringLiteral("no")
                                                                   : QStringLiteral("ok");
    report(QStringLiteral("msgbox %1 %2 %3 %4 -> %5%6")
               .arg(quoted(box.caption), quoted(box.text),
                    box.buttons == platform::MsgButtons::YesNo ? QStringLiteral("yesno") : QStringLiteral("ok"),
                    box.icon == platform::MsgIcon::Question ? QStringLiteral("question") : QStringLiteral("none"),
                    answer, box.scripted ? QString() : QStringLiteral(" (unscripted)")));
}

ControlTestContainer::Hosted &ControlTestContainer::hosted(const QString &name)
{
    Hosted *h = m_controls.value(name);
    if (!h)
        throw std::invalid_argument("no control named " + name.toStdString());
    return *h;
}

void ControlTestContainer::execute(const QStringList &words)
{
    const QString &command = words.value(0);
    if (command == QLatin1String("usermode")) {
        expectWords(words, 2, 2);
        if (words[1] != QLatin1String("true") && words[1] != QLatin1String("false"))
            throw std::invalid_argument("usermode takes true or false");
        m_userMode = words[1] == QLatin1String("true");
    } else if (command == QLatin1String("create")) {
        create(words);
    } else if (command == QLatin1String("put")) {
        put(words);
    } else if (command == QLatin1String("get")) {
        get(words);
    } else if (command == QLatin1String("call")) {
        call(words);
    } else if (command == QLatin1String("answer")) {
        expectWords(words, 2, 1000);
        for (const QString &button : words.mid(1)) {
            if (button == QLatin1String("ok"))
                m_answerer.queueAnswer(platform::MsgAnswer::Ok);
            else if (button == QLatin1String("yes"))
                m_answerer.queueAnswer(platform::MsgAnswer::Yes);
            else if (button == QLatin1String("no"))
                m_answerer.queueAnswer(platform::MsgAnswer::No);
            else
                throw std::invalid_argument("answer takes ok, yes or no");
        }
    } else if (command == QLatin1String("replace-status")) {
        expectWords(words, 3, 3);
        Hosted &h = hosted(words[1]);
        h.replacing = true;
        h.replacement = unquoted(words[2]);
    } else if (command == QLatin1String("fail-status")) {
        expectWords(words, 3, 3);
        Hosted &h = hosted(words[1]);
        const int number = parseNumber(words[2]);
        if (number < 1 || number > 65535)
            throw std::invalid_argument("fail-status takes an error number from 1 to 65535");
        h.statusError = number;
    } else if (command == QLatin1String("save")) {
        save(words);
    } else if (command == QLatin1String("resize")) {
        resize(words);
    } else if (command == QLatin1String("grab")) {
        grab(words);
    } else if (command == QLatin1String("wait")) {
        expectWords(words, 2, 2);
        platform::waitSeconds(parseNumber(words[1]) / 1000.0);
    } else {
        throw std::invalid_argument("unknown command " + command.toStdString());
    }
}

void ControlTestContainer::create(const QStringList &words)
{
    expectWords(words, 3, 4);
    const QString name = words[1];
    if (m_controls.contains(name))
        throw std::invalid_argument("a control named " + name.toStdString() + " exists already");
    auto h = std::make_unique<Hosted>();
    try {
        std::optional<platform::MemoryPropertyStore> settings;
        if (words.size() == 4)
            settings = platform::MemoryPropertyStore::loadFromFile(unquoted(words[3]));
        h->control = platform::com::HostedControl::create(unquoted(words[2]), &m_window, m_userMode,
                                                          settings ? &*settings : nullptr);
    } catch (const platform::RuntimeError &e) {
        throw CreateFailed(QStringLiteral("can't create %1 (%2): %3 - %4")
                               .arg(name, words[2])
                               .arg(e.number())
                               .arg(e.description())
                               .toStdString());
    }
    h->control.widget()->move(0, 0);
    h->control.widget()->show();
    h->sink = platform::com::ComPtr<platform::com::EventSink>::adopt(h->control.adviseEvents(
        [this, name](platform::com::DISPID dispid, platform::com::DISPPARAMS &params) { onEvent(name, dispid, params); }));
    h->changes = platform::com::ComPtr<platform::com::PropertyNotifySink>::adopt(h->control.advisePropertyChanges(
        [this, name](platform::com::DISPID dispid) { report(QStringLiteral("changed %1 %2").arg(name, formatDispid(dispid))); }));
    m_controls.insert(name, h.release());
}

void ControlTestContainer::onEvent(const QString &name, platform::com::DISPID dispid, platform::com::DISPPARAMS &params)
{
    using namespace platform::com;
    if (dispid != qvWebUpdate::ctlWebUpdateId::StatusChange || params.cArgs < 1)
        return;
    VARIANTARG &message = params.rgvarg[0];
    if (message.vt != (VT_BYREF | VT_BSTR) || !message.pbstrVal)
        return;
    report(QStringLiteral("event %1 StatusChange %2").arg(name, quoted(qstringFromBstr(*message.pbstrVal))));
    Hosted &h = hosted(name);
    if (h.statusError)
        throw platform::RuntimeError(h.statusError);
    if (h.replacing) {
        SysFreeString(*message.pbstrVal);
        *message.pbstrVal = bstrFromQString(h.replacement);
    }
}

void ControlTestContainer::reportError(const QString &name, const QString &what, const platform::RuntimeError &e)
{
    report(QStringLiteral("error %1 %2 %3 %4").arg(name, what).arg(e.number()).arg(quoted(e.description())));
}

void ControlTestContainer::put(const QStringList &words)
{
    expectWords(words, 4, 4);
    Hosted &h = hosted(words[1]);
    const int dispid = parseDispid(words[2]);
    const platform::Variant value = parseScriptValue(words[3]);
    try {
        platform::com::putProperty(h.control.dispatch(), dispid, value);
    } catch (const platform::RuntimeError &e) {
        reportError(words[1], formatDispid(dispid), e);
    }
}

void ControlTestContainer::get(const QStringList &words)
{
    expectWords(words, 3, 3);
    Hosted &h = hosted(words[1]);
    const int dispid = parseDispid(words[2]);
    try {
        const platform::Variant value = platform::com::getProperty(h.control.dispatch(), dispid);
        report(QStringLiteral("%1 %2 = %3").arg(words[1], formatDispid(dispid), formatValue(value)));
    } catch (const platform::RuntimeError &e) {
        reportError(words[1], formatDispid(dispid), e);
    }
}

void ControlTestContainer::call(const QStringList &words)
{
    expectWords(words, 3, 3);
    Hosted &h = hosted(words[1]);
    const int dispid = parseDispid(words[2]);
    try {
        platform::com::callMethod(h.control.dispatch(), dispid);
    } catch (const platform::RuntimeError &e) {
        reportError(words[1], formatDispid(dispid), e);
    }
}

void ControlTestContainer::save(const QStringList &words)
{
    expectWords(words, 3, 3);
    Hosted &h = hosted(words[1]);
    platform::MemoryPropertyStore store;
    try {
        h.control.save(store);
        store.saveToFile(unquoted(words[2]));
    } catch (const platform::RuntimeError &e) {
        reportError(words[1], QStringLiteral("save"), e);
    }
}

void ControlTestContainer::resize(const QStringList &words)
{
    expectWords(words, 4, 4);
    hosted(words[1]).control.widget()->resize(parseNumber(words[2]), parseNumber(words[3]));
    platform::DoEvents();
}

void ControlTestContainer::grab(const QStringList &words)
{
    expectWords(words, 3, 3);
    const platform::com::HostedControl &control = hosted(words[1]).control;
    platform::DoEvents();
    if (!control.grab().save(unquoted(words[2]), "PNG"))
        reportError(words[1], QStringLiteral("grab"), platform::RuntimeError(platform::ErrPathFileAccess));
}
