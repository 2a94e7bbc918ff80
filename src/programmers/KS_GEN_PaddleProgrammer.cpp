#include "KS_GEN_PaddleProgrammer.h"

#include <vector>

#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Forms.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_String.h"

namespace {

// Every read waits 60 ticks, three tries, and wakes the paddle with a CR
// after an unanswered try: a paddle that dozed off between two queries
// answers only once it is woken, whichever item was asked.
DeviceQueryOptions paddleQuery(std::int16_t expectedLength)
{
    return {.expectedLength = expectedLength, .ticks = 60, .tries = 3, .pokeOnTimeout = true};
}

constexpr std::int32_t kWriteTicks = 40;
constexpr std::int16_t kWriteRetries = 3;

// The pager type the paddle reports, as the list shows it.
const char* pagerTypeText(std::string_view code)
{
    if (code.empty())
        return "Tone Only, 512 bps";
    switch (static_cast<int>(Val(code))) {
    case 1: return "Tone Only, 1200 bps";
    case 2: return "Vibrate Only, 512 bps";
    case 3: return "Vibrate Only, 1200 bps";
    default: return "Tone Only, 512 bps";
    }
}

} // namespace

KS_GEN_PaddleProgrammer::KS_GEN_PaddleProgrammer(QWidget* owner)
    : KS_ProgrammerFrame(owner, "KS_GEN_PaddleProgrammer", "Paddle Programmer", 6240, 4560)
{
    static const char* const kRowNames[kCapcodeRows][4] = {
        {"chkProgramCapcode_0", "txtCapcode_0", "chkAutoIncrement_0", "txtIncrement_0"},
        {"chkProgramCapcode_1", "txtCapcode_1", "chkAutoIncrement_1", "txtIncrement_1"},
        {"chkProgramCapcode_2", "txtCapcode_2", "chkAutoIncrement_2", "txtIncrement_2"},
        {"chkProgramCapcode_3", "txtCapcode_3", "chkAutoIncrement_3", "txtIncrement_3"},
    };
    static const char* const kRowCaptions[kCapcodeRows] = {"Program Capcode &1", "Program Capcode &2",
                                                           "Program Capcode &3", "Program Capcode &4"};
    std::vector<FormControl> controls = {
        Control(fraGeneralDetails, "fraGeneralDetails", "General Details", {120, 60, 6000, 1080}),
        Control(lblVersion, "lblVersion", "&Version:", {240, 330, 1200, 255}, 0, "fraGeneralDetails"),
        Control(txtVersion, "txtVersion", "", {1500, 300, 1500, 315}, 0, "fraGeneralDetails"),
        Control(lblSerialNumber, "lblSerialNumber", "Serial Number:", {240, 690, 1200, 255}, 0, "fraGeneralDetails"),
        Control(txtSerialNumber, "txtSerialNumber", "", {1500, 660, 1500, 315}, 7, "fraGeneralDetails"),
        Control(chkSNAutoIncrement, "chkSNAutoIncrement", "&Auto Increment by", {3120, 690, 1800, 255}, 0,
                "fraGeneralDetails"),
        Control(txtSNIncrement, "txtSNIncrement", "", {4980, 660, 500, 315}, 2, "fraGeneralDetails"),
        Control(cmdReset, "cmdReset", "Re&set", {4680, 270, 1200, 375}, 0, "fraGeneralDetails"),
        Control(fraProgrammableOptions, "fraProgrammableOptions", "Programmable Options", {120, 1200, 6000, 2340}),
        Control(chkProgramBaudMode, "chkProgramBaudMode", "Program &Baud Rate and Paddle Mode", {240, 330, 3100, 255},
                0, "fraProgrammableOptions"),
        Control(cmbPagerType, "cmbPagerType", "", {3420, 300, 2400, 315}, 0, "fraProgrammableOptions"),
    };
    for (int i = 0; i < kCapcodeRows; ++i) {
        const int top = 780 + i * 390;
        controls.push_back(Control(chkProgramCapcode[i], kRowNames[i][0], kRowCaptions[i], {240, top + 30, 1900, 255},
                                   0, "fraProgrammableOptions"));
        controls.push_back(Control(txtCapcode[i], kRowNames[i][1], DigitsText(7), {2220, top, 1100, 315}, 7,
                                   "fraProgrammableOptions"));
        controls.push_back(Control(chkAutoIncrement[i], kRowNames[i][2], "Auto Increment by", {3480, top + 30, 1800, 255},
                                   0, "fraProgrammableOptions"));
        controls.push_back(Control(txtIncrement[i], kRowNames[i][3], "", {5340, top, 480, 315}, 2,
                                   "fraProgrammableOptions"));
    }
    controls.push_back(Control(lblInfo, "lblInfo", "", {120, 3630, 6000, 255}));
    controls.push_back(Control(prgProgress, "prgProgress", "", {120, 3900, 6000, 200}));
    controls.push_back(Control(cmdProgram, "cmdProgram", "&Program", {2400, 4140, 1200, 375}));
    controls.push_back(Control(cmdRead, "cmdRead", "&Read", {3660, 4140, 1200, 375}));
    controls.push_back(Control(cmdClose, "cmdClose", "&Close", {4920, 4140, 1200, 375}));
    BuildFrame(controls);

    BindProgramCheck(chkProgramBaudMode, {cmbPagerType});
    for (int i = 0; i < kCapcodeRows; ++i) {
        BindProgramCheck(chkProgramCapcode[i], {txtCapcode[i], chkAutoIncrement[i]});
        BindProgramCheck(chkAutoIncrement[i], {txtIncrement[i]});
    }
    SetServiceKey(false);
    Form_Load();
}

void KS_GEN_PaddleProgrammer::Form_Load()
{
    SetUpVersionBox();
    // The paddle has no serial number: its row stays hidden and unused.
    for (QWidget* control : std::initializer_list<QWidget*>{lblSerialNumber, txtSerialNumber, chkSNAutoIncrement,
                                                            txtSNIncrement})
        control->hide();
    txtSNIncrement->setEnabled(false);
    txtSNIncrement->setText("01");
    Lock(txtSerialNumber, true);
    cmbPagerType->setEnabled(false);
    for (int i = 0; i < kCapcodeRows; ++i) {
        txtCapcode[i]->setEnabled(false);
        MakeDigitBox(txtCapcode[i], kCapcodeDigits);
        PadDigitBox(txtCapcode[i]);
        chkAutoIncrement[i]->setEnabled(false);
        txtIncrement[i]->setEnabled(false);
        MakeDigitBox(txtIncrement[i], 2);
        txtIncrement[i]->setText("01");
    }
    FillPaddlePagerTypeCombo(AsOptionList(cmbPagerType), 0);
    SetupToolbar();
}

bool KS_GEN_PaddleProgrammer::PaddleButtonPressed()
{
    return ShowMessage("Press the Paddle button once.\r\nPress Ok when ready.\r\n", kButtonsOkCancel, kAnswerOk,
                       kIconInformation)
        == kAnswerOk;
}

void KS_GEN_PaddleProgrammer::cmdRead_Click()
{
    if (PaddleButtonPressed())
        ReadPaddle();
    SafeSetFocus(chkProgramBaudMode);
}

void KS_GEN_PaddleProgrammer::cmdProgram_Click()
{
    if (!CapcodesInRange(chkProgramCapcode, txtCapcode))
        return;
    if (PaddleButtonPressed())
        ProgramPaddle();
    SafeSetFocus(chkProgramBaudMode);
}

bool KS_GEN_PaddleProgrammer::ReadPaddle()
{
    ReadRun run(*this);
    return Guarded([this] {
        lblInfo->clear();
        for (QLineEdit* box : txtCapcode)
            box->setText(ToQString(PadDigits("0", box->maxLength())));
        if (!ProbeDevice(10, 5)) {
            ShowOptionNotUpdatedWarning("programming");
            return true;
        }
        const auto versionLine = DeviceQueryLine("?V", paddleQuery(0));
        const std::string version = versionLine ? VersionBetweenVerAndParen(*versionLine, "Ver") : "N/A";
        if (version != "N/A")
            CountDeviceItem();
        txtVersion->setText(ToQString(version));

        const std::string pagerType = DeviceQuery("?M", paddleQuery(1));
        AsOptionList(cmbPagerType).SetSelectedIndex(FindItemText(AsOptionList(cmbPagerType), pagerTypeText(pagerType)));

        for (int n = 1; n <= kCapcodeRows; ++n) {
            ReportStatus("Downloading Capcode " + std::to_string(n));
            const std::string command = "?C" + std::to_string(n);
            std::string capcode = DeviceQuery(command, paddleQuery(kCapcodeDigits));
            if (capcode.empty())
                capcode = DeviceQuery(command, paddleQuery(kCapcodeDigits));
            if (!capcode.empty())
                txtCapcode[n - 1]->setText(ToQString(PadDigits(capcode, txtCapcode[n - 1]->maxLength())));
        }
        PauseTicks(10);
        SwitchToNormalMode();
        lblInfo->clear();
        lblInfo->hide();
        ReportStatus("Ready");
        return true;
    });
}

bool KS_GEN_PaddleProgrammer::ProgramPaddle()
{
    Run run(*this, true);
    return Guarded([this] {
        if (!ProbeDevice(20, 10)) {
            ShowLinkCommError();
            lblInfo->setText("Canceled !");
            return false;
        }
        StartProgress(kCapcodeRows);
        if (chkProgramBaudMode->isChecked()) {
            Step("Programming Baud Rate and Paddle Type...", false);
            PauseTicks(1);
            const OptionList& types = AsOptionList(cmbPagerType);
            if (!DeviceSetting("PM", std::to_string(types.ItemData(types.SelectedIndex())), kWriteTicks, kWriteRetries))
                StepFailed();
        }
        for (int i = 0; i < kCapcodeRows; ++i) {
            prgProgress->setValue(prgProgress->value() + 1);
            if (!chkProgramCapcode[i]->isChecked())
                continue;
            Step("Programming Capcodes..." + std::to_string(prgProgress->value()) + "/"
                     + std::to_string(prgProgress->maximum()),
                 false);
            SendDigitBox("PC" + std::to_string(i + 1), txtCapcode[i], chkAutoIncrement[i], txtIncrement[i], kWriteTicks,
                         kWriteRetries);
            PauseTicks(1);
        }
        SwitchToNormalMode();
        FinishProgram();
        return true;
    });
}

void KS_GEN_PaddleProgrammer::cmdReset_Click()
{
    if (!ResetConfirmed("Are you sure you want to reset the device to factory default?", PaddleButtonPressed))
        return;
    {
        Run run(*this, false);
        Guarded([this] {
            if (!ProbeDevice(200, 10))
                return false;
            ShowMessage("Release Paddle button.", kButtonsOkCancel, kAnswerOk, kIconInformation);
            if (!SendFactoryReset())
                ShowLinkCommError();
            PauseTicks(10);
            SwitchToNormalMode();
            lblInfo->clear();
            ReportStatus("Ready");
            return true;
        });
    }
    SafeSetFocus(txtVersion);
}
