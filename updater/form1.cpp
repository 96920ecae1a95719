#include "form1.h"

#include "platform/com/automation.h"
#include "platform/files.h"
#include "platform/messagebox.h"
#include "platform/process.h"
#include "platform/runtimeerror.h"
#include "platform/twips.h"
// Header-only: the updater drives the control by DISPID without linking its library.
#include "update/library/dispids.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace WebUpdate = qvWebUpdate::ctlWebUpdateId;

Form1::Form1(const FormDescription &description, const QString &downloadUrl, QWidget *parent)
    : QWidget(parent), m_downloadUrl(downloadUrl), m_picture(description.picture)
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
        description.control(QStringLiteral("ctlWebUpdate"))->settings.write(QStringLiteral("PublicKey"), publicKey);
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
    case Kind::Timer:
        Timer1.setInterval(control.interval);
        if (control.enabled)
            Timer1.start();
        break;
    case Kind::Button:
        Command1 = new QPushButton(control.caption, this);
        place(control, Command1);
        connect(Command1, &QPushButton::clicked, this, [this] { runHandler([this] { Command1_Click(); }); });
        break;
    case Kind::Panel: {
        // Opaque, borderless and without its caption: it only hides what lies below.
        auto *frame = new QFrame(this);
        frame->setFrameShape(QFrame::NoFrame);
        frame->setAutoFillBackground(true);
        place(control, frame);
        (control.name == QLatin1String("Frame1") ? Frame1 : Frame2) = frame;
        break;
    }
    case Kind::Label:
        Label1 = new QLabel(control.caption, this);
        Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        Label1->setAutoFillBackground(true);
        if (control.font)
            Label1->setFont(*control.font);
        place(control, Label1);
        break;
    case Kind::Control: {
        platform::MemoryPropertyStore settings = control.settings;
        auto hosted = platform::com::HostedControl::create(control.progId, this, true, &settings);
        place(control, hosted.widget());
        (control.name == QLatin1String("ctlWebUpdate") ? m_ctlWebUpdate : m_qvProgressBar1) = std::move(hosted);
        break;
    }
    }
}

void Form1::paintEvent(QPaintEvent *)
{
    QPainter(this).drawPixmap(0, 0, m_picture);
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
