#include "form1.h"
#include "programresources.h"

#include "platform/com/core/automation.h"
#include "platform/system/files.h"
#include "platform/desktop/messagebox.h"
#include "platform/system/process.h"
#include "platform/core/runtimeerror.h"
#include "platform/desktop/twips.h"
// Header-only: the updater drives the control without linking its library.
#include "update/published/webupdatekeys.h"
#include "update/published/dispids.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>

namespace WebUpdate = qvWebUpdate::ctlWebUpdateId;

namespace {

// The member of the window that a stored control fills, found by the
// control's name. The description is built into the program, so a name
// without a member is a fault of the build: it stops the window from
// opening rather than filling some other member.
template <typename T>
T &memberNamed(const QString &name, std::initializer_list<std::pair<const char *, T *>> members)
{
    for (const auto &[memberName, member] : members) {
        if (name == QLatin1String(memberName))
            return *member;
    }
    throw platform::RuntimeError(platform::ErrTypeMismatch, QStringLiteral("The window has no control named ") + name);
}

} // namespace

Form1::Form1(const FormDescription &description, const QString &downloadUrl, QWidget *parent)
    : QWidget(parent), m_downloadUrl(downloadUrl), m_picture(programPicture(description.picture))
{
    setObjectName(description.name);
    setWindowTitle(description.caption);
    // The window's background is the system's button face; the controls keep
    // their own colour roles.
    QPalette face = palette();
    face.setColor(QPalette::Window, face.color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    setFixedSize(platform::twipsToPixels(description.clientTwips));
    // Bottom of the stacking order first, so each later sibling lies above.
    for (auto it = description.controls.crbegin(); it != description.controls.crend(); ++it)
        createControl(*it);
    const QList<QWidget *> byTabIndex = m_tabOrder.values();
    for (qsizetype i = 1; i < byTabIndex.size(); ++i)
        setTabOrder(byTabIndex[i - 1], byTabIndex[i]);
    connect(&Timer1, &QTimer::timeout, this, [this] { runHandler([this] { Timer1_Timer(); }); });
}

Form1::~Form1() = default;

QString Form1::productPath()
{
    return platform::process::applicationFolder() + QDir::separator() + QStringLiteral("tarnwick.exe");
}

void Form1::requireSignature(FormDescription &description, const QString &publicKey)
{
    if (!publicKey.isEmpty())
        description.control(QStringLiteral("ctlWebUpdate"))->settings.write(webupdate::keys::PublicKey, publicKey);
}

void Form1::place(const ControlDescription &control, QWidget *widget)
{
    widget->setObjectName(control.name);
    widget->setGeometry(platform::twipsToPixels(control.twips));
    widget->show();
    widget->raise();
    m_tabOrder.insert(control.tabIndex, widget);
}

void Form1::createControl(const ControlDescription &control)
{
    using Kind = ControlDescription::Kind;
    switch (control.kind) {
    case Kind::Timer: {
        QTimer &timer = memberNamed<QTimer>(control.name, {{"Timer1", &Timer1}});
        timer.setInterval(control.interval);
        if (control.enabled)
            m_timersEnabledOnOpen.append(&timer);
        break;
    }
    case Kind::Button: {
        QPushButton *&button = memberNamed<QPushButton *>(control.name, {{"Command1", &Command1}});
        button = new QPushButton(control.caption, this);
        place(control, button);
        connect(button, &QPushButton::clicked, this, [this] { runHandler([this] { Command1_Click(); }); });
        break;
    }
    case Kind::Panel: {
        QFrame *&frame = memberNamed<QFrame *>(control.name, {{"Frame1", &Frame1}, {"Frame2", &Frame2}});
        // Opaque, borderless and without its caption: it only hides what lies below.
        frame = new QFrame(this);
        frame->setFrameShape(QFrame::NoFrame);
        frame->setAutoFillBackground(true);
        place(control, frame);
        break;
    }
    case Kind::Label: {
        QLabel *&label = memberNamed<QLabel *>(control.name, {{"Label1", &Label1}});
        label = new QLabel(control.caption, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true);
        if (control.font)
            label->setFont(*control.font);
        place(control, label);
        break;
    }
    case Kind::Control: {
        platform::com::HostedControl &hosted = memberNamed<platform::com::HostedControl>(
            control.name, {{"ctlWebUpdate", &m_ctlWebUpdate}, {"qvProgressBar1", &m_qvProgressBar1}});
        platform::MemoryPropertyStore settings = control.settings;
        hosted = platform::com::HostedControl::create(control.progId, this, true, &settings);
        place(control, hosted.widget());
        break;
    }
    }
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, m_picture);
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    for (QTimer *timer : std::as_const(m_timersEnabledOnOpen))
        timer->start();
    m_timersEnabledOnOpen.clear();
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing during a run abandons it: the download is cancelled and the
    // program ends at once, before the run could move a finished download
    // over the old product.
    if (m_updating)
        platform::com::callMethod(m_ctlWebUpdate.dispatch(), WebUpdate::CancelDownload);
    event->accept();
    if (!m_ended) {
        m_ended = true;
        emit finished(0);
    }
}

void Form1::runHandler(const std::function<void()> &handler)
{
    if (m_ended)
        return;
    try {
        handler();
    } catch (const platform::RuntimeError &e) {
        platform::messageBox(this, platform::process::applicationTitle(),
                             QStringLiteral("Run-time error '%1':\n\n%2").arg(e.number()).arg(e.description()),
                             platform::MsgButtons::Ok, platform::MsgIcon::Critical);
        m_ended = true;
        emit finished(1);
    }
}

void Form1::Timer1_Timer()
{
    Timer1.stop();
    platform::com::IDispatch *control = m_ctlWebUpdate.dispatch();
    platform::com::putProperty(control, WebUpdate::DownloadFile, m_downloadUrl);
    platform::com::putProperty(control, WebUpdate::DownloadLocation, platform::process::applicationFolder() + QDir::separator());
    m_updating = true;
    platform::com::callMethod(control, WebUpdate::RunUpdate);
    m_updating = false;
    if (!m_ended)
        startProductAndEnd();
}

void Form1::Command1_Click()
{
    const QString product = productPath();
    if (platform::files::isOrdinaryFile(product)) {
        startProductAndEnd();
        return;
    }
    platform::messageBox(this, platform::process::applicationTitle(), QStringLiteral("You cannot skip this update"));
}

void Form1::startProductAndEnd()
{
    platform::process::startProgram(productPath());
    m_ended = true;
    emit finished(0);
}
