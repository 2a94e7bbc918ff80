// The custom alerts window against the simulated alert device.
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QToolBar>
#include <filesystem>
#include <fstream>

#include "CommPort.h"
#include "KS_FileDialog.h"
#include "KS_GEN_CustomAlertsProgrammer.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "LinkSimBackend.h"
#include "ProgrammerFixture.h"
#include "SimAlertDevice.h"
#include "TestSupport.h"
#include "WaveFile.h"


namespace {

const std::string kNotDetected = "Device is not detected or custom alerts option is not supported by detected device.";
const std::string kErase = "Selecting this option will erase all currently programmed audio messages. "
                           "Are you sure you want to change the memory configuration?";

struct CustomAlerts : ProgrammerFixture<KS_GEN_CustomAlertsProgrammer, sim::AlertDevice> {
    std::string folder = MakeDataFolder();

    std::string File(const std::string& name, const std::string& bytes)
    {
        const std::string path = folder + "/" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    void Row(int row, int alert, const std::string& path)
    {
        window->chkProgramAlert[row]->setChecked(true);
        window->cmbAlertNumber[row]->setCurrentIndex(alert - 11);
        window->txtFileName[row]->setText(QString::fromStdString(path));
    }
    std::string Configuration() const { return window->cmbMemoryConfiguration->currentText().toStdString(); }
};

} // namespace

TEST_F(CustomAlerts, OpeningReadsTheConfigurationAndUpdatingWritesOnlyAChangeTheOperatorConfirms)
{
    EXPECT_EQ(Configuration(), "08 (64 Seconds Each / 8kbps)");
    EXPECT_EQ(window->MemoryKB(), 4096);
    EXPECT_EQ(window->cmbAlertNumber[14]->currentText().toStdString(), "25 - Alert 25");
    EXPECT_FALSE(window->txtFileName[0]->isEnabled());

    // The configuration the device already has: nothing asked, nothing written.
    window->cmdWriteMemoryConfiguration->click();
    EXPECT_EQ(Sent(), Lines{"?MC"});

    window->cmbMemoryConfiguration->setCurrentIndex(5); // 16 slots
    harness.messages.Answer(kAnswerNo);
    window->cmdWriteMemoryConfiguration->click();
    EXPECT_EQ(Sent(), Lines{"?MC"});
    EXPECT_EQ(Configuration(), "08 (64 Seconds Each / 8kbps)");

    window->cmbMemoryConfiguration->setCurrentIndex(5);
    harness.messages.Answer(kAnswerYes);
    window->cmdWriteMemoryConfiguration->click();
    EXPECT_EQ(Sent(), (Lines{"?MC", "PMC16"}));
    EXPECT_EQ(device->Value("MC"), "409616");
    EXPECT_EQ(Configuration(), "16 (32 Seconds Each / 8kbps)");
    EXPECT_EQ(harness.messages.texts(), (std::vector<std::string>{kErase, kErase}));

    // Not acknowledged: told, and the list keeps what the device has.
    Refuse("PMC");
    window->cmbMemoryConfiguration->setCurrentIndex(4);
    harness.messages.Answer(kAnswerYes);
    harness.messages.Answer(kAnswerOk);
    window->cmdWriteMemoryConfiguration->click();
    EXPECT_EQ(harness.messages.texts().back(), kNotDetected);
    EXPECT_EQ(Configuration(), "16 (32 Seconds Each / 8kbps)");
}

TEST_F(CustomAlerts, ADeviceWithoutTheOptionIsReportedAndItsReportedMemoryBuildsTheList)
{
    device->SetValue("MC", "00");
    harness.messages.Answer(kAnswerOk);
    window->cmdReadMemoryConfiguration->click();
    EXPECT_EQ(harness.messages.texts(), std::vector<std::string>{kNotDetected});
    EXPECT_EQ(Configuration(), "00 (Not Supported)");
    EXPECT_EQ(window->MemoryKB(), 0);

    device->SetValue("MC", "819202");
    window->cmdReadMemoryConfiguration->click();
    EXPECT_EQ(Configuration(), "02 (512 Seconds Each / 8kbps)");
    EXPECT_EQ(window->cmbMemoryConfiguration->count(), 9); // 00, then 1 … 128 slots

    // A whole answer of no memory is no configuration: said once, and Program stops there.
    device->SetValue("MC", "000008");
    harness.messages.Answer(kAnswerOk);
    window->cmdReadMemoryConfiguration->click();
    EXPECT_EQ(window->MemoryKB(), 0);
    Row(0, 12, File("ring.wav", WaveBytes(std::string(3000, '\x80'))));
    harness.messages.AnswerAlways(kAnswerOk);
    const std::size_t before = harness.messages.shown().size();
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts(), (std::vector<std::string>{kNotDetected, kNotDetected, kNotDetected}));
    EXPECT_EQ(harness.messages.shown().size(), before + 1);
    EXPECT_TRUE(device->StoredAlerts().empty());
}

TEST_F(CustomAlerts, AnyWholeConfigurationAnswerIsReadAndCanBeChanged)
{
    const struct {
        const char* reply;
        const char* shown;
    } cases[] = {
        {"409600", "00 (Not Supported)"},
        {"409603", "03 (170.666666666667 Seconds Each / 8kbps)"}, // a count the list does not offer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        device->SetValue("MC", c.reply);
        window->cmdReadMemoryConfiguration->click();
        EXPECT_EQ(Configuration(), c.shown);
        EXPECT_EQ(window->MemoryKB(), 4096);
        window->cmbMemoryConfiguration->setCurrentIndex(4); // 08
        harness.messages.Answer(kAnswerYes);
        window->cmdWriteMemoryConfiguration->click();
        EXPECT_EQ(Sent(), (Lines{"?MC", "?MC", "PMC08"}));
        EXPECT_EQ(device->Value("MC"), "409608");
    }
    EXPECT_EQ(harness.messages.texts(), (std::vector<std::string>{kErase, kErase}));
}

TEST_F(CustomAlerts, AConfigurationAnsweredOnlyAfterTheCarriageReturnPokeIsRead)
{
    harness.engine.AddFault({.kind = sim::FaultKind::AfterPoke, .pattern = "?MC", .match = sim::MatchMode::Exact,
                             .times = 0});
    device->SetValue("MC", "409616");
    window->cmdReadMemoryConfiguration->click();
    EXPECT_EQ(Configuration(), "16 (32 Seconds Each / 8kbps)");
    EXPECT_TRUE(harness.messages.texts().empty());
}

TEST_F(CustomAlerts, TheCheckPassStopsTheRunBeforeAnyByteOfAFileIsSent)
{
    const std::string good = File("good.wav", WaveBytes(std::string(100, '\x80')));
    const std::string deep = File("deep.wav", WaveBytes(std::string(100, '\x80'), {.bits = 16}));
    const std::string fast = File("fast.wav", WaveBytes(std::string(100, '\x80'), {.rate = 44100}));
    const std::string big = File("big.wav", WaveBytes(std::string(524288, '\x80')));
    const struct {
        const char* what;
        std::vector<std::tuple<int, int, std::string>> rows;
        std::vector<std::string> messages;
    } cases[] = {
        {"alert beyond the slots", {{0, 19, good}}, {"Alert number can not exceed 18."}},
        {"no file", {{0, 12, ""}}, {"Please select file name."}},
        {"missing file", {{0, 12, folder + "/gone.wav"}}, {"Selected file not found."}},
        {"same alert twice", {{0, 12, good}, {1, 12, good}}, {"Alert number 12 is selected in more than one row."}},
        {"too big for the slot, not continued", {{0, 12, big}},
         {"The size of the " + PathInText(big) + " file is larger than the slot available space. If you choose to continue, "
          "only a portion of the file will uploaded.\r\nContinue ?"}},
        {"two bad files", {{0, 11, deep}, {1, 12, good}, {2, 13, fast}},
         {"File has an invalid format (Bit Rate higher than 8).",
          "File has an invalid format (Sample Rate higher than 22050)."}},
    };
    device->SetValue("V", "2.50"); // plain firmware: no speed change around the check
    for (const auto& c : cases) {
        for (int row = 0; row < KS_GEN_CustomAlertsProgrammer::kRows; ++row)
            window->chkProgramAlert[row]->setChecked(false);
        for (const auto& [row, alert, path] : c.rows)
            Row(row, alert, path);
        ScriptedMessages boxes;
        boxes.AnswerAlways(kAnswerOk);
        window->cmdProgram->click();
        EXPECT_EQ(boxes.texts(), c.messages) << c.what;
        EXPECT_EQ(Sent(), (Lines{"?V", "?MC"})) << c.what;
        EXPECT_TRUE(device->StoredAlerts().empty()) << c.what;
        EXPECT_TRUE(window->cmdProgram->isEnabled()) << c.what;
    }
}

TEST_F(CustomAlerts, AChosenFilesWholePathShowsAsItsBoxsToolTip)
{
    const std::string path = File("a rather long name for the ring tone of the east wing.wav", WaveBytes("\x80"));
    SetFileDialogHook([&path](const FileDialogRequest&) { return std::optional(path); });
    window->chkProgramAlert[3]->setChecked(true);
    window->cmdBrowse[3]->click();
    SetFileDialogHook({});
    EXPECT_EQ(window->txtFileName[3]->toolTip().toStdString(), path);
    EXPECT_EQ(window->txtFileName[2]->toolTip().toStdString(), "");
}

TEST_F(CustomAlerts, EveryRunLeavesTheDeviceAndThePortAtTheConsolesSpeed)
{
    const std::string ring = File("ring.wav", WaveBytes(std::string(3000, '\x80')));
    SetFileDialogHook([&ring](const FileDialogRequest&) { return std::optional(ring); });
    window->chkProgramAlert[0]->setChecked(true);
    window->cmdBrowse[0]->click();
    SetFileDialogHook({});
    EXPECT_EQ(window->txtFileName[0]->text().toStdString(), ring);

    const struct {
        const char* what;
        const char* speedBefore;
        int alert;
        int refusedBlocks;
        const char* speedBack;
        const char* info;
    } cases[] = {
        {"stored", "2", 12, 0, "PBR2", "Done !"},
        {"device already at 4", "4", 13, 0, "PBR2", "Done !"},
        {"refused by the file check", "2", 19, 0, "PBR2", nullptr},
        {"blocks refused", "3", 14, 10, "PBR3", "Canceled !"},
    };
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        device->SetValue("BR", c.speedBefore);
        device->RefuseNextBlocks(c.refusedBlocks);
        window->cmbAlertNumber[0]->setCurrentIndex(c.alert - 11);
        window->cmdProgram->click();
        Lines commands;
        for (const std::string& line : Sent())
            if (line.size() < 8 && (line.starts_with('?') || line.starts_with('P')))
                commands.push_back(line);
        EXPECT_EQ(commands, (Lines{"?V", "?BR", "PBR4", "?MC", c.speedBack}));
        if (c.info) {
            EXPECT_EQ(Info(), c.info);
        }
        EXPECT_EQ(device->StoredAlerts().count(c.alert - 10), c.refusedBlocks == 0 && c.info ? 1u : 0u);
        EXPECT_EQ(gComm->Settings(), "38400,N,8,1");
        EXPECT_EQ(harness.engine.UnitSettings(), "38400,N,8,1");
        EXPECT_TRUE(IsLinkResponding());
        EXPECT_TRUE(window->cmdProgram->isEnabled());
    }
}

TEST_F(CustomAlerts, TheWindowStaysClosedToTheOperatorUntilTheDeviceHasItsSpeedBack)
{
    // The device takes its own speed back only after a while.
    harness.engine.AddFault({.kind = sim::FaultKind::Delay, .pattern = "PBR2", .match = sim::MatchMode::Exact,
                             .ticks = 30, .times = 0});
    Row(0, 12, File("ring.wav", WaveBytes(std::string(3000, '\x80'))));
    int liveTicks = 0;
    SetYieldHook([&] {
        AdvanceTick();
        PollEncoderReply();
        const auto& transcript = harness.engine.Transcript();
        if (transcript.back().fromHost && transcript.back().bytes == "PBR2\r"
            && (window->cmdProgram->isEnabled() || window->cmdClose->isEnabled() || window->tlbMenu->isEnabled()))
            ++liveTicks;
    });
    window->cmdProgram->click();
    EXPECT_EQ(liveTicks, 0);
    EXPECT_EQ(Info(), "Done !");
    EXPECT_EQ(device->Value("BR"), "2");
    EXPECT_TRUE(window->cmdProgram->isEnabled());
}

namespace {

// Takes "PBR4" but cannot talk at 115200: it stays at its normal speed.
struct NoFastLine : sim::AlertDevice {
    std::optional<Reply> OwnLine(const std::string& line, std::int64_t tick) override
    {
        return line == "PBR4" ? Acknowledged() : AlertDevice::OwnLine(line, tick);
    }
};

} // namespace

TEST_F(CustomAlerts, WithoutAnAnswerAt115200TheRunGoesOnAndAFileWithoutAudioStopsItAfterEarlierRows)
{
    device = Attach(std::make_shared<NoFastLine>());
    std::string noData = WaveBytes(std::string(100, '\x80'));
    noData.replace(36, 4, "junk");
    Row(0, 11, File("good.wav", WaveBytes(std::string(100, '\x80'))));
    Row(1, 12, File("nodata.wav", noData));
    harness.messages.AnswerAlways(kAnswerOk);
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts(), std::vector<std::string>{"Can not locate data in " + PathInText(folder) + "/nodata.wav."});
    EXPECT_EQ(device->StoredAlerts().count(1), 1u);
    EXPECT_EQ(device->StoredAlerts().count(2), 0u);
    EXPECT_EQ(window->focusWidget(), window->cmbAlertNumber[1]);
    EXPECT_EQ(gComm->Settings(), "38400,N,8,1");
    EXPECT_TRUE(IsLinkResponding());
}

namespace {

// A USB adapter pulled out after the host's 155th block, then plugged back
// with the device restarted at its normal speed.
class PulledAdapter : public UnpluggableLine {
public:
    using UnpluggableLine::UnpluggableLine;
    long Write(std::string_view bytes) override
    {
        if (!unplugged && bytes.size() >= 1024 && ++blocks == pullAt) {
            unplugged = true;
            return SimBackend::Write(bytes);
        }
        return UnpluggableLine::Write(bytes);
    }
    int pullAt = 155;
    int blocks = 0;
};

} // namespace

TEST(CustomAlertsPulledAdapter, AnUploadCutByAPulledAdapterLeavesThePortAtTheConsolesSpeed)
{
    for (const bool backBeforeTheRunEnds : {false, true}) {
        SCOPED_TRACE(backBeforeTheRunEnds ? "plugged back while the error shows" : "plugged back afterwards");
        ConsoleHarness harness;
        auto owned = std::make_unique<PulledAdapter>(harness.engine);
        PulledAdapter& adapter = *owned;
        KS_MainForm& form = harness.Load(std::move(owned));
        harness.engine.SetDevice(std::make_shared<sim::AlertDevice>());
        QPointer<KS_GEN_CustomAlertsProgrammer> window = new KS_GEN_CustomAlertsProgrammer(&form);
        form.OpenOwnedWindow(window, false);
        const std::string path = MakeDataFolder() + "/long.wav";
        std::ofstream(path, std::ios::binary) << WaveBytes(std::string(469 * 1024 - 4, '\x80'));
        window->chkProgramAlert[0]->setChecked(true);
        window->txtFileName[0]->setText(QString::fromStdString(path));
        const auto plugBack = [&] {
            adapter.unplugged = false;
            harness.engine.SetDevice(std::make_shared<sim::AlertDevice>());
            harness.engine.SetUnitSettings("38400,N,8,1");
        };
        SetMessageAnswerHook([&](const MessageRequest&) {
            if (backBeforeTheRunEnds)
                plugBack();
            return MessageAnswer{};
        });
        window->cmdProgram->click();
        EXPECT_EQ(window->lblInfo->text(), "Canceled !");
        EXPECT_EQ(adapter.blocks, 155);
        if (!backBeforeTheRunEnds)
            plugBack();
        EXPECT_EQ(gComm->Settings(), "38400,N,8,1");
        EXPECT_TRUE(IsLinkResponding());

        window->close();
    }
}

TEST(CustomAlertsPulledAdapter, TheRunAfterTheDeviceRestartedUsesTheFramingItsVersionAsksFor)
{
    ConsoleHarness harness;
    auto owned = std::make_unique<PulledAdapter>(harness.engine);
    PulledAdapter& adapter = *owned;
    adapter.pullAt = 2;
    KS_MainForm& form = harness.Load(std::move(owned));
    harness.engine.SetDevice(std::make_shared<sim::AlertDevice>("3.14"));
    QPointer<KS_GEN_CustomAlertsProgrammer> window = new KS_GEN_CustomAlertsProgrammer(&form);
    form.OpenOwnedWindow(window, false);
    const std::string path = MakeDataFolder() + "/ring.wav";
    std::ofstream(path, std::ios::binary) << WaveBytes(std::string(3000, '\x80'));
    window->chkProgramAlert[0]->setChecked(true);
    window->txtFileName[0]->setText(QString::fromStdString(path));
    harness.messages.AnswerAlways(kAnswerOk);
    window->cmdProgram->click();
    ASSERT_EQ(window->lblInfo->text(), "Canceled !");

    // Plugged back, the device restarted at its normal speed: nothing else
    // has talked on the port before the next run.
    adapter.unplugged = false;
    auto restarted = std::make_shared<sim::AlertDevice>("3.14");
    harness.engine.SetDevice(restarted);
    harness.engine.SetUnitSettings("38400,N,8,1");
    window->cmdProgram->click();
    EXPECT_EQ(window->lblInfo->text(), "Done !");
    EXPECT_EQ(restarted->StoredAlerts().count(1), 1u);

    // A device that does not tell its version is sent no header and no block.
    harness.engine.AddFault({.kind = sim::FaultKind::Silence, .pattern = "?V", .match = sim::MatchMode::Exact,
                             .times = 0});
    harness.engine.ClearTranscript();
    window->cmdProgram->click();
    EXPECT_EQ(harness.messages.texts().back(), "The device did not report its firmware version. No alert was uploaded.");
    for (const auto& entry : harness.engine.Transcript())
        EXPECT_FALSE(entry.fromHost && entry.bytes.size() > 8) << entry.bytes.substr(0, 8);
    window->close();
}
