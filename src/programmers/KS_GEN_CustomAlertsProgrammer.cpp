#include "KS_GEN_CustomAlertsProgrammer.h"

#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include "CommPort.h"
#include "KS_AlertFormat.h"
#include "KS_AlertUpload.h"
#include "KS_DeviceLink.h"
#include "KS_Events.h"
#include "KS_FileDialog.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "OptionList.h"

namespace {

const char* const kNotDetected = "Device is not detected or custom alerts option is not supported by detected device.";
const char* const kVersionUnknown = "The device did not report its firmware version. No alert was uploaded.";
constexpr int kFirstAlert = 11;
constexpr int kLastAlert = 99;
// Enough of a file to find its chunks: no slot holds more than 4 MB of audio.
constexpr std::uintmax_t kMostBytesRead = 64u << 20;
constexpr const char* kUploadSpeed = "115200,N,8,1";

void Warn(const std::string& text) { ShowMessage(text, kButtonsOk, kAnswerOk, kIconExclamation); }

bool AskYesNo(const std::string& question)
{
    return ShowMessage(question, kButtonsYesNo, kAnswerNo, kIconQuestion) == kAnswerYes;
}

std::string ReadFilePrefix(const std::string& path)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    if (error)
        return {};
    std::string bytes(static_cast<std::size_t>(std::min(size, kMostBytesRead)), '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

bool Numeric(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void ReopenPort(std::string_view settings)
{
    if (!gComm)
        return;
    // A pulled adapter stays one: the next probe opens it again, and at these
    // settings. Closing it here would make it a port closed on purpose, which
    // nothing but the Configure dialog opens again.
    if (!gComm->PortOpen() && gComm->DeviceLost()) {
        gComm->SetSettings(settings);
    } else {
        gComm->SetPortOpen(false);
        OpenSerialPort(*gComm, gSerialPort, settings);
    }
    ResetLinkReceiver();
}

// The device's line-speed codes step up from 9600 to 115200 bit/s; the code
// of the console's own speed, for a device that must come back to it.
std::string SpeedCodeOf(std::string_view settings)
{
    const std::string_view baud = settings.substr(0, settings.find(','));
    const char* const speeds[] = {"9600", "19200", "38400", "57600", "115200"};
    for (int code = 0; code < 5; ++code)
        if (baud == speeds[code])
            return std::to_string(code);
    return "2";
}

// The upload's line speed. On sequenced firmware the device and the port go
// to 115200 for the run; on every way out of it (done, refused, failed, or
// cut off by a pulled adapter) the device is told to go back to a speed the
// console talks at, and the port is at the console's own settings again, so
// the next conversation of any window is answered.
class UploadSpeed {
public:
    UploadSpeed() = default;
    UploadSpeed(const UploadSpeed&) = delete;
    UploadSpeed& operator=(const UploadSpeed&) = delete;
    ~UploadSpeed()
    {
        const RunEnding ending;
        if (asked_)
            // A device that said "4" before the run talked at the console's speed all the same.
            DeviceSetting("PBR", read_ == "4" ? SpeedCodeOf(gComSettings) : read_, 40, 1);
        if (gComm && (gComm->DeviceLost() || (gComm->PortOpen() && gComm->Settings() != gComSettings)))
            ReopenPort(gComSettings);
    }

    void SwitchUp()
    {
        read_ = DeviceQuery("?BR", {.expectedLength = 1, .ticks = 40, .tries = 1});
        if (!Numeric(read_))
            return;
        asked_ = true;
        if (DeviceSetting("PBR", "4", 40, 1))
            ReopenPort(kUploadSpeed);
        if (!IsLinkResponding())
            ReopenPort(gComSettings);
    }

private:
    std::string read_; // "?BR" as the device answered it
    bool asked_ = false;
};

} // namespace

KS_GEN_CustomAlertsProgrammer::KS_GEN_CustomAlertsProgrammer(QWidget* owner)
    : KS_ProgrammerFrame(owner, "KS_GEN_CustomAlertsProgrammer", "Custom Alerts Programmer", 8400, 7440)
{
    static const char* const kNames[kRows][5] = {
#define ROW(n) {"chkProgramAlert_" #n, "cmbAlertNumber_" #n, "lblFileName_" #n, "txtFileName_" #n, "cmdBrowse_" #n}
        ROW(0), ROW(1), ROW(2),  ROW(3),  ROW(4),  ROW(5),  ROW(6), ROW(7),
        ROW(8), ROW(9), ROW(10), ROW(11), ROW(12), ROW(13), ROW(14),
#undef ROW
    };
    std::vector<FormControl> controls = {
        Control(fraGeneralDetails, "fraGeneralDetails", "General Details", {120, 60, 8160, 1200}),
        Control(lblMemoryConfiguration, "lblMemoryConfiguration", "Expanded &Memory Alerts Configuration:",
                {240, 330, 3600, 255}, 0, "fraGeneralDetails"),
        Control(cmbMemoryConfiguration, "cmbMemoryConfiguration", "", {3900, 300, 4080, 315}, 0, "fraGeneralDetails"),
        Control(cmdReadMemoryConfiguration, "cmdReadMemoryConfiguration", "&Read Configuration",
                {3900, 720, 1980, 375}, 0, "fraGeneralDetails"),
        Control(cmdWriteMemoryConfiguration, "cmdWriteMemoryConfiguration", "&Update Configuration",
                {6000, 720, 1980, 375}, 0, "fraGeneralDetails"),
        Control(fraProgrammableOptions, "fraProgrammableOptions", "Programmable Options", {120, 1320, 8160, 5220}),
    };
    for (int i = 0; i < kRows; ++i) {
        const int top = 300 + i * 325;
        controls.push_back(Control(chkProgramAlert[i], kNames[i][0], "Program Alert", {240, top + 30, 1740, 255}, 0,
                                   "fraProgrammableOptions"));
        controls.push_back(Control(cmbAlertNumber[i], kNames[i][1], "", {2040, top, 1560, 315}, 0,
                                   "fraProgrammableOptions"));
        controls.push_back(Control(lblFileName[i], kNames[i][2], "File Name:", {3660, top + 30, 1000, 255}, 0,
                                   "fraProgrammableOptions"));
        controls.push_back(Control(txtFileName[i], kNames[i][3], "", {4680, top, 2400, 315}, 0,
                                   "fraProgrammableOptions"));
        controls.push_back(Control(cmdBrowse[i], kNames[i][4], "Browse", {7140, top, 900, 315}, 0,
                                   "fraProgrammableOptions"));
    }
    controls.push_back(Control(lblInfo, "lblInfo", "Uploading...", {120, 6600, 8160, 255}));
    controls.push_back(Control(prgProgress, "prgProgress", "", {120, 6870, 8160, 200}));
    controls.push_back(Control(cmdProgram, "cmdProgram", "&Program", {5760, 6960, 1200, 375}));
    controls.push_back(Control(cmdClose, "cmdClose", "&Close", {7080, 6960, 1200, 375}));
    BuildFrame(controls);

    connect(cmdReadMemoryConfiguration, &QPushButton::clicked, this,
            &KS_GEN_CustomAlertsProgrammer::cmdReadMemoryConfiguration_Click);
    connect(cmdWriteMemoryConfiguration, &QPushButton::clicked, this,
            &KS_GEN_CustomAlertsProgrammer::cmdWriteMemoryConfiguration_Click);
    for (int i = 0; i < kRows; ++i) {
        BindProgramCheck(chkProgramAlert[i], {cmbAlertNumber[i], lblFileName[i], txtFileName[i], cmdBrowse[i]});
        connect(cmdBrowse[i], &QPushButton::clicked, this, [this, i] { cmdBrowse_Click(i); });
        // A path is longer than its box, which keeps the file's own name in sight; the tool tip
        // shows the whole path.
        connect(txtFileName[i], &QLineEdit::textChanged, txtFileName[i], &QWidget::setToolTip);
    }
    SetServiceKey(false);
    Form_Load();
}

void KS_GEN_CustomAlertsProgrammer::Form_Load()
{
    SetupToolbar();
    FillMemoryConfigurationCombo(AsOptionList(cmbMemoryConfiguration), 0);
    for (int i = 0; i < kRows; ++i) {
        for (QWidget* control : std::initializer_list<QWidget*>{cmbAlertNumber[i], lblFileName[i], txtFileName[i],
                                                                cmdBrowse[i]})
            control->setEnabled(false);
        Lock(txtFileName[i], true);
        FillAlertNumberCombo(AsOptionList(cmbAlertNumber[i]), static_cast<std::int16_t>(i), kFirstAlert, kLastAlert);
    }
    DoEvents();
    ReadMemoryConfiguration();
}

int KS_GEN_CustomAlertsProgrammer::SelectedSlotCount() const
{
    const OptionList& list = AsOptionList(cmbMemoryConfiguration);
    return list.SelectedIndex() < 0 ? 0 : list.ItemData(list.SelectedIndex());
}

int KS_GEN_CustomAlertsProgrammer::AlertNumber(int row) const
{
    const OptionList& list = AsOptionList(cmbAlertNumber[row]);
    const int datum = list.SelectedIndex() < 0 ? 0 : list.ItemData(list.SelectedIndex());
    // The item data of an alert number above 9 is the number plus 48.
    return static_cast<int>(Val(AlertNumberCode(std::to_string(datum), false)));
}

std::string KS_GEN_CustomAlertsProgrammer::FileName(int row) const
{
    return Trim(PathFromQString(txtFileName[row]->text()));
}

bool KS_GEN_CustomAlertsProgrammer::ReadMemoryConfiguration()
{
    bool ok = false;
    {
        Run run(*this, false);
        lblInfo->setText("");
        memoryKB_ = 0;
        if (IsLinkResponding()) {
            const std::string value = DeviceQuery("?MC", {.expectedLength = 6, .ticks = 20, .tries = 3,
                                                          .pokeOnTimeout = true});
            // The list is made for the memory the device has. Any whole answer
            // is the device's configuration, a count of 00 or one the list
            // does not offer included: the operator must be able to change it.
            // One with no memory at all gives no slot a byte: it is no
            // configuration to work with, as a reply that cannot be read.
            OptionList& list = AsOptionList(cmbMemoryConfiguration);
            list.Clear();
            const int kb = std::max(0, static_cast<int>(Val(value.substr(0, 4))));
            FillMemoryConfigurationCombo(list, 0, kb > 0 ? kb : 4096);
            if (value.size() == 6 && kb > 0) {
                const std::string shown = MemoryConfigurationText(value, true);
                int index = FindItemText(list, shown);
                if (index < 0) {
                    AddItemWithData(list, shown, static_cast<std::int32_t>(Val(value.substr(4))));
                    index = list.NewIndex();
                }
                list.SetSelectedIndex(index);
                memoryKB_ = kb;
                ok = true;
            }
            ReportStatus("Ready");
        }
    }
    if (!ok)
        Warn(kNotDetected);
    return ok;
}

void KS_GEN_CustomAlertsProgrammer::cmdWriteMemoryConfiguration_Click()
{
    const int wanted = SelectedSlotCount();
    if (!ReadMemoryConfiguration() || SelectedSlotCount() == wanted)
        return;
    WriteMemoryConfiguration(wanted);
}

bool KS_GEN_CustomAlertsProgrammer::WriteMemoryConfiguration(int slotCount)
{
    Run run(*this, false);
    lblInfo->setText("");
    if (!IsLinkResponding()) {
        ShowOptionNotUpdatedWarning("programming");
        return true;
    }
    if (AskYesNo("Selecting this option will erase all currently programmed audio messages. "
                 "Are you sure you want to change the memory configuration?")) {
        const std::string code = MemoryConfigurationText(std::to_string(slotCount), false);
        if (DeviceSetting("PMC", code, 40, 3)) {
            OptionList& list = AsOptionList(cmbMemoryConfiguration);
            for (int i = 0; i < list.ItemCount(); ++i)
                if (list.ItemData(i) == slotCount)
                    list.SetSelectedIndex(i);
        } else {
            ShowMessage(kNotDetected, kButtonsOk, kAnswerOk, kIconInformation);
        }
    }
    ReportStatus("Ready");
    return true;
}

void KS_GEN_CustomAlertsProgrammer::cmdBrowse_Click(int row)
{
    const auto chosen = ChooseFile(this, {.save = false, .filter = "Wave Audio Files (*.wav)",
                                          .initialFolder = gDataFolder + "/"});
    if (!chosen)
        return;
    txtFileName[row]->setText(PathToQString(*chosen));
    if (row + 1 < kRows && cmdBrowse[row + 1]->isEnabled())
        SafeSetFocus(cmdBrowse[row + 1]);
    else
        SafeSetFocus(cmdBrowse[row]);
}

bool KS_GEN_CustomAlertsProgrammer::CheckFiles(int slotCount)
{
    bool stop = false;
    std::set<int> taken;
    const std::uintmax_t slotBytes = slotCount > 0 ? static_cast<std::uintmax_t>(memoryKB_) * 1024 / slotCount : 0;
    for (int row = 0; row < kRows; ++row) {
        if (!chkProgramAlert[row]->isChecked())
            continue;
        const int alert = AlertNumber(row);
        const std::string name = FileName(row);
        const std::string shown = PathInText(name);
        const auto endPass = [&](const std::string& message) {
            if (!message.empty())
                Warn(message);
            return Refuse("", cmbAlertNumber[row]);
        };
        if (alert > slotCount + 10)
            return endPass("Alert number can not exceed " + std::to_string(slotCount + 10) + ".");
        // The second row with one number would overwrite the first in the device.
        if (!taken.insert(alert).second)
            return endPass("Alert number " + std::to_string(alert) + " is selected in more than one row.");
        if (name.empty())
            return endPass("Please select file name.");
        std::error_code error;
        if (!std::filesystem::is_regular_file(name, error))
            return endPass("Selected file not found.");
        if (std::filesystem::file_size(name, error) > slotBytes
            && !AskYesNo("The size of the " + shown + " file is larger than the slot available space. "
                         "If you choose to continue, only a portion of the file will uploaded.\r\nContinue ?"))
            return endPass("");
        // The data chunk is looked for now too, so the upload does not read the file again.
        const std::string bytes = ReadFilePrefix(name);
        waveData_[row] = FindAlertWaveData(bytes);
        if (const auto fault = CheckAlertWave(bytes, shown, AskYesNo)) {
            Warn(*fault);
            stop = true;
        }
    }
    return !stop;
}

bool KS_GEN_CustomAlertsProgrammer::UploadRows(int slotCount, bool sequenced)
{
    const AlertUploadDisplay display{
        [this](const std::string& text) {
            lblInfo->setText(ToQString(text));
            lblInfo->show();
        },
        [this](std::int64_t value, std::int64_t maximum, bool shown) {
            prgProgress->setRange(0, static_cast<int>(maximum));
            prgProgress->setValue(static_cast<int>(value));
            prgProgress->setVisible(shown);
        }};
    for (int row = 0; row < kRows; ++row) {
        if (!chkProgramAlert[row]->isChecked())
            continue;
        const std::string name = FileName(row);
        const auto& data = waveData_[row];
        if (!data) {
            Warn(CannotLocateDataText(PathInText(name)));
            return Refuse("", cmbAlertNumber[row]);
        }
        const std::string item = FromQString(cmbAlertNumber[row]->currentText());
        const AlertUploadFile file{name, AlertNumber(row), item.size() > 5 ? item.substr(5) : item, *data};
        if (!UploadAlertFile(file, memoryKB_, slotCount, sequenced, display))
            return Refuse("", cmbAlertNumber[row]);
    }
    return true;
}

void KS_GEN_CustomAlertsProgrammer::cmdProgram_Click()
{
    Run run(*this, true);
    // Made after the run, so gone before it: the window stays closed to the
    // operator until the device and the port are back at the console's speed.
    UploadSpeed speed;
    firmwareVersion_ = 0;
    // The probe first: it is what opens again a port whose adapter was pulled
    // out and plugged back, so the version is asked of the device itself.
    if (!IsLinkResponding()) {
        Warn(kNotDetected);
        return;
    }
    std::string reply;
    DeviceQuery("?V", {.expectedLength = 0, .ticks = 60, .tries = 3, .pokeOnTimeout = true}, &reply);
    firmwareVersion_ = AlertFirmwareVersion(reply);
    // The block framing follows the firmware; a guessed one stalls a device
    // that waits for the other until it is switched off and on again.
    if (firmwareVersion_ == 0) {
        Warn(kVersionUnknown);
        return;
    }
    const bool sequenced = IsSequencedFirmware(firmwareVersion_);
    if (sequenced)
        speed.SwitchUp();
    Guarded([&] {
        if (!ReadMemoryConfiguration())
            return false;
        const int slotCount = SelectedSlotCount();
        return CheckFiles(slotCount) && UploadRows(slotCount, sequenced);
    });
}
