#include "form1.h"
#include "formdescription.h"

#include "platform/core/runtimeerror.h"
#include "platform/desktop/twips.h"

#include <QFile>
#include <QRegion>
#include <gtest/gtest.h>

namespace {

FormDescription storedForm()
{
    QFile file(QStringLiteral(FORM1_JSON));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return FormDescription::fromJson(file.readAll());
}

} // namespace

using platform::twipsToPixels;

TEST(UpdaterWindow, TheStoredWindowIsLaidOutInPixelsAt15TwipsEach)
{
    const FormDescription form = storedForm();
    EXPECT_EQ(form.caption, QString("Tarnwick - Checking for updates"));
    EXPECT_EQ(twipsToPixels(form.clientTwips), QSize(447, 241));
    QStringList stacking;
    for (const ControlDescription &c : form.controls)
        stacking << c.name;
    EXPECT_EQ(stacking, (QStringList{"Timer1", "Command1", "Frame2", "Frame1", "ctlWebUpdate", "qvProgressBar1", "Label1"}));
    EXPECT_EQ(twipsToPixels(form.control("Command1")->twips), QRect(160, 200, 121, 25));
    EXPECT_EQ(twipsToPixels(form.control("qvProgressBar1")->twips), QRect(-32, 96, 81, 25));
    EXPECT_EQ(form.control("Timer1")->interval, 1000);
}

TEST(UpdaterWindow, ThePanelsHideAllOfTheUpdateControlButItsBar)
{
    const FormDescription form = storedForm();
    const QRect control = twipsToPixels(form.control("ctlWebUpdate")->twips);
    const QRegion covered = QRegion(twipsToPixels(form.control("Frame1")->twips))
        + QRegion(twipsToPixels(form.control("Frame2")->twips));
    // The control's own bar lies 360 twips (24 px) from its left and 480 (32 px) from its top.
    const QRect bar(control.left() + 24, control.top() + 32, control.width() - 24, control.height() - 32);
    EXPECT_EQ(control.right(), bar.right());
    EXPECT_EQ(control.bottom(), bar.bottom());
    EXPECT_EQ(QRegion(control) - covered, QRegion(bar.adjusted(1, 1, 0, 0)))
        << "all of the control is hidden but its bar, less a one-pixel strip along its top and left";
}

TEST(UpdaterWindow, ControlsCarryTheirClassesAndStoredSettings)
{
    const FormDescription form = storedForm();
    const ControlDescription *update = form.control("ctlWebUpdate");
    EXPECT_EQ(update->progId, QString("qvWebUpdate.ctlWebUpdate"));
    EXPECT_EQ(update->settings.read("ConfirmDownload"), platform::Variant(false));
    EXPECT_EQ(update->settings.read("AutoRun"), platform::Variant(false));
    EXPECT_FALSE(update->settings.read("DownloadFile").has_value());
    const ControlDescription *bar = form.control("qvProgressBar1");
    EXPECT_EQ(bar->progId, QString("qvWebUpdate.qvProgressBar"));
    EXPECT_EQ(bar->settings.read("BarColour"), platform::Variant(std::int32_t(0xFFFF00)));
    EXPECT_EQ(bar->settings.read("Margin"), platform::Variant(std::int32_t(2)));
    EXPECT_EQ(bar->settings.size(), 16);
    ASSERT_TRUE(form.control("Label1")->font.has_value());
    EXPECT_TRUE(form.control("Label1")->font->bold());
    EXPECT_DOUBLE_EQ(form.control("Label1")->font->pointSizeF(), 9.75);
}

TEST(UpdaterWindow, ABuiltInPublicKeyReachesTheUpdateControlsSettingsOnlyWhenSet)
{
    FormDescription form = storedForm();
    platform::MemoryPropertyStore &settings = form.control("ctlWebUpdate")->settings;
    Form1::requireSignature(form, QString());
    EXPECT_FALSE(settings.read("PublicKey").has_value());
    Form1::requireSignature(form, "RWRi2A75LIkN1oyjntJRK7okFHRp95C67ZXm80F3bzxNkku133WrJ332");
    EXPECT_EQ(settings.read("publickey"), platform::Variant("RWRi2A75LIkN1oyjntJRK7okFHRp95C67ZXm80F3bzxNkku133WrJ332"));
}

TEST(UpdaterWindow, AMalformedDescriptionIsRefused)
{
    EXPECT_THROW(FormDescription::fromJson("{ \"controls\": ["), platform::RuntimeError);
    EXPECT_THROW(FormDescription::fromJson(R"({ "controls": [ { "name": "X", "kind": "slider" } ] })"),
                 platform::RuntimeError);
}

TEST(UpdaterWindow, AControlOfANameTheWindowLacksStopsItFromOpening)
{
    using Kind = ControlDescription::Kind;
    for (const Kind kind : {Kind::Timer, Kind::Button, Kind::Panel, Kind::Label, Kind::Control}) {
        ControlDescription control;
        control.name = QStringLiteral("Frame3");
        control.kind = kind;
        FormDescription form;
        form.controls.append(control);
        try {
            Form1 window(form, QString());
            ADD_FAILURE() << "the window opened with kind " << int(kind);
        } catch (const platform::RuntimeError &e) {
            EXPECT_EQ(e.number(), platform::ErrTypeMismatch);
            EXPECT_EQ(e.description(), QString("The window has no control named Frame3"));
        }
    }
}
