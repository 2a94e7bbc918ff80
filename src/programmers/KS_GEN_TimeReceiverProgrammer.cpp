#include "KS_GEN_TimeReceiverProgrammer.h"

#include <QCloseEvent>
#include <QTimeEdit>
#include <functional>
#include <vector>

#include "KS_Clock.h"
#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_PagingLists.h"
#include "KS_String.h"
#include "KS_TimeReceiverRules.h"

namespace {

constexpr const char* kStartTest = "Start T&RX Test on Selected Baud Rate";
constexpr const char* kStopTest = "Stop &TRX Test";
constexpr std::int16_t kRetries = 3;

DeviceQueryOptions settingQuery(std::int16_t expectedLength, bool poke = false)
{
    return {.expectedLength = expectedLength, .ticks = 60, .tries = 3, .pokeOnTimeout = poke};
}

// The radio test is started and stopped in the link's table form.
DeviceQueryOptions testQuery() { return {.expectedLength = 0, .ticks = 40, .tries = 3, .tableForm = true}; }

std::string text(const QLineEdit* box) { return FromQString(box->text()); }

void selectText(QComboBox* list, std::string_view itemText)
{
    OptionList& options = AsOptionList(list);
    options.SetSelectedIndex(itemText.empty() ? -1 : FindItemText(options, itemText));
}

std::string code(QComboBox* list)
{
    const OptionList& options = AsOptionList(list);
    return std::to_string(options.ItemData(options.SelectedIndex()));
}

} // namespace

KS_GEN_TimeReceiverProgrammer::KS_GEN_TimeReceiverProgrammer(QWidget* owner)
    : KS_ProgrammerFrame(owner, "KS_GEN_TimeReceiverProgrammer", "Time Receiver Programmer", 9000, 7860)
{
    constexpr const char* kDetails = "fraGeneralDetails";
    constexpr const char* kOptions = "fraProgrammableOptions";
    constexpr int kList = 4560;   // left of the option lists
    constexpr int kListWidth = 4080;
    auto row = [](int i) { return 330 + i * 390; };
    const FormControl controls[] = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 9000, 6780}),
        Control(fraGeneralDetails, "fraGeneralDetails", "General Details", {120, 60, 8760, 1500}, 0, "pbxDetails"),
        Control(lblVersion, "lblVersion", "&Version:", {240, 330, 1300, 255}, 0, kDetails),
        Control(txtVersion, "txtVersion", "", {1620, 300, 1800, 315}, 0, kDetails),
        Control(lblSerialNumber, "lblSerialNumber", "Serial &Number:", {240, 690, 1300, 255}, 0, kDetails),
        Control(txtSerialNumber, "txtSerialNumber", "", {1620, 660, 1800, 315}, 7, kDetails),
        Control(chkSNAutoIncrement, "chkSNAutoIncrement", "&Auto Increment by", {3540, 690, 1800, 255}, 0, kDetails),
        Control(txtSNIncrement, "txtSNIncrement", "", {5400, 660, 500, 315}, 2, kDetails),
        Control(lblDateTime, "lblDateTime", "Last Date && Time Read from Device:", {240, 1080, 2900, 255}, 0, kDetails),
        Control(txtDateTime, "txtDateTime", kLongestDeviceDateTime, {3180, 1050, 3300, 315}, 0, kDetails),
        Control(cmdReset, "cmdReset", "Re&set", {7380, 270, 1200, 375}, 0, kDetails),
        Control(fraProgrammableOptions, "fraProgrammableOptions", "Programmable Options", {120, 1620, 8760, 5100}, 0,
                "pbxDetails"),
        Control(chkDateTime, "chkDateTime", "Program &Date && Time", {240, row(0), 4200, 255}, 0, kOptions),
        Control(chkTimeSource, "chkTimeSource", "Program Time &Source", {240, row(1), 4200, 255}, 0, kOptions),
        Control(cmbTimeSource, "cmbTimeSource", "", {kList, row(1) - 30, kListWidth, 315}, 0, kOptions),
        Control(chkTimeZone, "chkTimeZone", "Program Time &Zone", {240, row(2), 4200, 255}, 0, kOptions),
        Control(cmbTimeZone, "cmbTimeZone", "", {kList, row(2) - 30, kListWidth, 315}, 0, kOptions),
        Control(chkDlSaving, "chkDlSaving", "Program Day &Light Saving", {240, row(3), 4200, 255}, 0, kOptions),
        Control(cmbDLSaving, "cmbDLSaving", "", {kList, row(3) - 30, kListWidth, 315}, 0, kOptions),
        Control(chkTransmissionMode, "chkTransmissionMode", "Program Transmission Mo&de", {240, row(4), 4200, 255}, 0,
                kOptions),
        Control(cmbTransmissionMode, "cmbTransmissionMode", "", {kList, row(4) - 30, kListWidth, 315}, 0, kOptions),
        Control(chkTimeSlot, "chkTimeSlot", "Program Time S&lot", {240, row(5), 4200, 255}, 0, kOptions),
        Control(cmbTimeSlot, "cmbTimeSlot", "", {kList, row(5) - 30, kListWidth, 315}, 0, kOptions),
        Control(chkMasterClock, "chkMasterClock", "Program Master Cloc&k", {240, row(6), 4200, 255}, 0, kOptions),
        Control(lblMasterClockTime, "lblMasterClockTime", "&Time:", {480, row(7), 700, 255}, 0, kOptions),
        Control(dtpMasterClockTime, "dtpMasterClockTime", "", {1200, row(7) - 30, 1300, 315}, 0, kOptions),
        Control(lblMasterClockCapcode, "lblMasterClockCapcode", "Capcode:", {2640, row(7), 900, 255}, 0, kOptions),
        Control(txtMasterClockCapcode, "txtMasterClockCapcode", DigitsText(7), {3540, row(7) - 30, 1100, 315}, 7, kOptions),
        Control(lblMasterClockClosure, "lblMasterClockClosure", "Closure &Time:", {4800, row(7), 1200, 255}, 0,
                kOptions),
        Control(cmbMasterClockClosure, "cmbMasterClockClosure", "", {6060, row(7) - 30, 1200, 315}, 0, kOptions),
        Control(chkSecurityMode, "chkSecurityMode", "Program Security &Mode", {240, row(8), 2600, 255}, 0, kOptions),
        Control(cmbSecurityMode, "cmbSecurityMode", "", {2880, row(8) - 30, 1200, 315}, 0, kOptions),
        Control(lblSecurityKey, "lblSecurityKey", "Security &Key:", {4560, row(8), 1200, 255}, 0, kOptions),
        Control(txtSecurityKey, "txtSecurityKey", "", {5820, row(8) - 30, 700, 315}, 3, kOptions),
        Control(chkSpecialMode, "chkSpecialMode", "Program Special M&ode", {240, row(9), 4200, 255}, 0, kOptions),
        Control(cmbSpecialMode, "cmbSpecialMode", "", {kList, row(9) - 30, kListWidth, 315}, 0, kOptions),
        Control(chkBaudRate, "chkBaudRate", "Program &Baud Rate", {240, row(10), 4200, 255}, 0, kOptions),
        Control(cmbBaudRate, "cmbBaudRate", "", {kList, row(10) - 30, kListWidth, 315}, 0, kOptions),
        Control(chkToneGenerator, "chkToneGenerator", "Program Tone Generator Mode", {240, row(11), 4200, 255}, 0,
                kOptions),
        Control(cmbToneGenerator, "cmbToneGenerator", "", {kList, row(11) - 30, kListWidth, 315}, 0, kOptions),
        Control(cmdTestTRX, "cmdTestTRX", kStartTest, {kList, row(6) - 60, kListWidth, 375}, 0, kOptions),
        Control(lblInfo, "lblInfo", "", {120, 6840, 8760, 255}),
        Control(prgProgress, "prgProgress", "", {120, 7110, 8760, 200}),
        Control(cmdProgram, "cmdProgram", "&Program", {5160, 7380, 1200, 375}),
        Control(cmdRead, "cmdRead", "&Read", {6420, 7380, 1200, 375}),
        Control(cmdClose, "cmdClose", "&Close", {7680, 7380, 1200, 375}),
    };
    BuildFrame(controls);

    // Ticking a box enables what it governs; the focus stays on the box.
    const std::pair<QCheckBox*, std::vector<QWidget*>> governs[] = {
        {chkTimeSource, {cmbTimeSource}},
        {chkTimeZone, {cmbTimeZone}},
        {chkDlSaving, {cmbDLSaving}},
        {chkTransmissionMode, {cmbTransmissionMode}},
        {chkTimeSlot, {cmbTimeSlot}},
        {chkMasterClock,
         {lblMasterClockTime, dtpMasterClockTime, lblMasterClockCapcode, txtMasterClockCapcode, lblMasterClockClosure,
          cmbMasterClockClosure}},
        {chkSecurityMode, {cmbSecurityMode, lblSecurityKey, txtSecurityKey}},
        {chkSpecialMode, {cmbSpecialMode}},
        {chkBaudRate, {cmbBaudRate}},
        {chkToneGenerator, {cmbToneGenerator}},
    };
    for (const auto& [check, controlsOfCheck] : governs)
        connect(check, &QCheckBox::toggled, this, [controls = controlsOfCheck](bool ticked) {
            for (QWidget* control : controls)
                control->setEnabled(ticked);
        });
    connect(cmdTestTRX, &QPushButton::clicked, this, &KS_GEN_TimeReceiverProgrammer::cmdTestTRX_Click);
    connect(dtpMasterClockTime, &QTimeEdit::editingFinished, this, [this] {
        if (dtpMasterClockTime->hasFocus())
            SafeSetFocus(txtMasterClockCapcode);
    });
    Form_Load();
}

KS_GEN_TimeReceiverProgrammer::~KS_GEN_TimeReceiverProgrammer() = default;

void KS_GEN_TimeReceiverProgrammer::Form_Load()
{
    move(Twips(2600), Twips(2200));
    SetServiceKey(true, false);
    SetUpVersionBox();
    Lock(txtSerialNumber, true);
    MakeDigitBox(txtSerialNumber, 7);
    chkSNAutoIncrement->hide();
    txtSNIncrement->setEnabled(false);
    txtSNIncrement->hide();
    MakeDigitBox(txtSNIncrement, 2);
    txtSNIncrement->setText("01");
    Lock(txtDateTime, true);
    for (QWidget* control : std::initializer_list<QWidget*>{cmdTestTRX, chkBaudRate, cmbBaudRate, chkToneGenerator,
                                                            cmbToneGenerator})
        control->hide();
    MakeDigitBox(txtMasterClockCapcode, 7);
    MakeDigitBox(txtSecurityKey, 3);
    dtpMasterClockTime->setDisplayFormat("hh:mm AP");
    dtpMasterClockTime->setTime(QTime(6, 0));
    for (QWidget* control : std::initializer_list<QWidget*>{
             cmbTimeSource, cmbTimeZone, cmbDLSaving, cmbTransmissionMode, cmbTimeSlot, cmbSecurityMode,
             lblMasterClockTime, dtpMasterClockTime, lblMasterClockCapcode, txtMasterClockCapcode,
             lblMasterClockClosure, cmbMasterClockClosure, lblSecurityKey, txtSecurityKey, cmbSpecialMode, cmbBaudRate,
             cmbToneGenerator})
        control->setEnabled(false);
    txtSecurityKey->installEventFilter(this);

    FillTimeSourceCombo(AsOptionList(cmbTimeSource), 0);
    FillTimeZoneCombo(AsOptionList(cmbTimeZone), 0);
    FillOffOnCombo(AsOptionList(cmbDLSaving), 0);
    FillTransmissionModeCombo(AsOptionList(cmbTransmissionMode), 0);
    FillTimeSlotCombo(AsOptionList(cmbTimeSlot), 0);
    FillMasterClockClosureCombo(AsOptionList(cmbMasterClockClosure), 0);
    FillDeviceBaudCombo(AsOptionList(cmbBaudRate), 0);
    FillOffOnCombo(AsOptionList(cmbSecurityMode), 0);
    FillModeDigitCombo(AsOptionList(cmbSpecialMode), 0);
    FillOffOnCombo(AsOptionList(cmbToneGenerator), 0);

    // The detection below makes the device the console's "encoder"; the
    // console gets its own back when the window closes.
    identity_ = std::make_unique<EncoderIdentityKeeper>();
    {
        Run run(*this, false);
        DetectEncoder();
    }
    SetTimeReceiverToolbarState();
}

bool KS_GEN_TimeReceiverProgrammer::eventFilter(QObject* watched, QEvent* event)
{
    // A key above 299 becomes 299 when the box is left; a message box or a
    // menu taking the focus is no leaving.
    if (watched == txtSecurityKey && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && !Running())
            txtSecurityKey->setText(ToQString(SecurityKeyText(text(txtSecurityKey))));
    }
    return KS_ProgrammerFrame::eventFilter(watched, event);
}

void KS_GEN_TimeReceiverProgrammer::ServiceUnlocked()
{
    for (QWidget* control : std::initializer_list<QWidget*>{chkBaudRate, cmbBaudRate, cmdTestTRX, chkToneGenerator,
                                                            cmbToneGenerator})
        control->show();
}

bool KS_GEN_TimeReceiverProgrammer::TimeReceiverConnected()
{
    if (gEncoderModelName == kTimeReceiverModel)
        return true;
    ShowOptionNotUpdatedWarning("Time Receiver Programming");
    return false;
}

// ---- Read ---------------------------------------------------------------------------------

void KS_GEN_TimeReceiverProgrammer::cmdRead_Click() { ReadTimeReceiverSettings(); }

bool KS_GEN_TimeReceiverProgrammer::ReadTimeReceiverSettings()
{
    ReadRun run(*this);
    return Guarded([this] {
        lblInfo->clear();
        if (!ProbeDevice(8)) {
            ShowOptionNotUpdatedWarning("programming");
            return true;
        }
        if (!TimeReceiverConnected())
            return false;
        ReadTimeReceiverDateTime();
        ShowBusyPointer();

        // A list converter turns the device's code into the item to select.
        using Converter = std::string (*)(std::string_view, bool);
        auto toList = [](QComboBox* list, Converter convert) {
            return [list, convert](const std::string& value) {
                selectText(list, value.empty() ? std::string() : convert(value, true));
            };
        };
        const struct {
            const char* query;
            std::int16_t length;
            std::function<void(const std::string&)> show;
        } items[] = {
            {"?S", 7, [this](const std::string& v) {
                 txtSerialNumber->setText(ToQString(v.empty() ? PadDigits(text(txtSerialNumber), 7) : v));
             }},
            {"?PS", 1, toList(cmbTimeSource, TimeSourceText)},
            {"?QZ", 2, toList(cmbTimeZone, TimeZoneText)},
            {"?PD", 1, toList(cmbDLSaving, OffOnText)},
            {"?PM", 1, toList(cmbTransmissionMode, TransmissionModeText)},
            {"?PT", 1, toList(cmbTimeSlot, TimeSlotText)},
            {"?QM", 4, [this](const std::string& v) {
                 // A time the device cannot mean shows as no answer.
                 dtpMasterClockTime->setTime(TimeReceiverTime(v).value_or(QTime(6, 0)));
             }},
            {"?C", 7, [this](const std::string& v) {
                 txtMasterClockCapcode->setText(ToQString(PadDigits(v.empty() ? "0" : v, 7)));
             }},
            {"?QD", 1, toList(cmbMasterClockClosure, MasterClockClosureText)},
            {"?SM", 1, toList(cmbSecurityMode, OffOnText)},
            {"?SS", 3, [this](const std::string& v) { txtSecurityKey->setText(ToQString(PadDigits(v, 3))); }},
            {"?M", 1, [this](const std::string& v) { selectText(cmbSpecialMode, v); }},
            {"?B", 1, [this](const std::string& v) {
                 const std::string baud = Trim(v);
                 selectText(cmbBaudRate, baud.empty() ? "" : baud == "0" ? "512" : "1200");
             }},
            {"?TG", 3, [this](const std::string& v) { selectText(cmbToneGenerator, v == "TG1" ? "On" : "Off"); }},
        };

        std::string reply;
        DeviceQuery("?V", settingQuery(0, true), &reply);
        const auto version = AcknowledgedValue(reply) ? VersionAfterVer(reply, '*') : std::nullopt;
        if (version)
            CountDeviceItem();
        txtVersion->setText(ToQString(version.value_or("N/A")));
        for (const auto& item : items)
            item.show(DeviceQuery(item.query, settingQuery(item.length)));
        ReportStatus("Ready");
        return true;
    });
}

bool KS_GEN_TimeReceiverProgrammer::ReadTimeReceiverDateTime()
{
    txtDateTime->setText("N/A");
    ShowBusyPointer();
    if (!ProbeDevice(8))
        return false;
    const DeviceQueryOptions query{.expectedLength = 7, .ticks = 40, .tries = 3};
    std::string reply;
    if (DeviceQuery("?D", query, &reply).empty())
        DeviceQuery("?D", query, &reply);
    if (const auto date = TimeReceiverDate(reply))
        txtDateTime->setText(ToQString(TimeReceiverDateText(*date)));

    // Older receivers keep no seconds: four digits.
    std::string digits = DeviceQuery("?T", {.expectedLength = 6, .ticks = 40, .tries = 3}, &reply);
    if (digits.empty())
        digits = DeviceQuery("?T", {.expectedLength = 4, .ticks = 40, .tries = 3}, &reply);
    if (const auto time = TimeReceiverTime(digits))
        txtDateTime->setText(txtDateTime->text() + " "
                             + ToQString(TimeReceiverTimeText(*time, digits.size() == 6)));
    return false;
}

// ---- Program --------------------------------------------------------------------------------

void KS_GEN_TimeReceiverProgrammer::cmdProgram_Click()
{
    if (chkMasterClock->isChecked() && !CapcodeInRange(text(txtMasterClockCapcode))) {
        Refuse("Capcode must be in the range of 0000008 to 2097151.", txtMasterClockCapcode);
        return;
    }
    // Every ticked option needs its item before anything is written: a run
    // that found none half-way would leave the device half-programmed.
    const struct {
        QCheckBox* check;
        QComboBox* list;
        const char* message;
    } selections[] = {
        {chkTimeSource, cmbTimeSource, "Please select Time Source."},
        {chkTimeZone, cmbTimeZone, "Please select Time Zone."},
        {chkDlSaving, cmbDLSaving, "Please select Day Light Saving."},
        {chkTransmissionMode, cmbTransmissionMode, "Please select Transmission Mode."},
        {chkTimeSlot, cmbTimeSlot, "Please select Time Slot."},
        {chkMasterClock, cmbMasterClockClosure, "Please select Master Clock Closure Time."},
        {chkBaudRate, cmbBaudRate, "Please select Baud Rate."},
        {chkSecurityMode, cmbSecurityMode, "Please select Security Mode."},
        {chkSpecialMode, cmbSpecialMode, "Please select Special Mode."},
        {chkToneGenerator, cmbToneGenerator, "Please select Tone Generator Mode."},
    };
    for (const auto& s : selections)
        if (!SelectionMade(s.check, s.list, s.message))
            return;
    if (chkSecurityMode->isChecked()) {
        if (!AllDigits(Trim(text(txtSecurityKey)))) {
            Refuse("Please enter the Security Key as three digits.", txtSecurityKey);
            return;
        }
        txtSecurityKey->setText(ToQString(SecurityKeyText(text(txtSecurityKey))));
    }
    if (!TimeReceiverConnected())
        return;
    ProgramTimeReceiverSettings();
}

bool KS_GEN_TimeReceiverProgrammer::ProgramItem(std::string_view stepText, std::string_view mnemonic,
                                                std::string_view value)
{
    Step(stepText);
    PauseTicks(10);
    if (DeviceSetting(mnemonic, value, 60, kRetries))
        return true;
    StepFailed();
    return false;
}

bool KS_GEN_TimeReceiverProgrammer::ProgramDateTime()
{
    Step("Programming Date & Time... ");
    PauseTicks(10);
    std::string reply;
    // The clock command carries the link's "W" like an encoder's.
    if (SendLinkCommand("T", TimeReceiverClockValue(GetSystemTime()), false, 0, reply, true, kRetries))
        return true;
    // A receiver without the clock command takes the local time and date.
    const QDateTime local = GetLocalTime();
    if (DeviceSetting("PT", TimeOfDayDigits(local.time()), 0, kRetries)
        && DeviceSetting("PD", TimeReceiverDateDigits(local.date()), 0, kRetries))
        return true;
    StepFailed();
    return false;
}

bool KS_GEN_TimeReceiverProgrammer::ProgramTimeReceiverSettings()
{
    Run run(*this, true);
    return Guarded([this] {
        int maximum = 2;
        for (QCheckBox* check : findChildren<QCheckBox*>())
            maximum += check->isChecked();
        maximum += chkMasterClock->isChecked() ? 2 : 0;
        maximum += chkSecurityMode->isChecked() ? 1 : 0;
        if (!ProbeDevice(20)) {
            ShowLinkCommError();
            lblInfo->setText("Canceled !");
            return false;
        }
        StartProgress(maximum);

        if (Unlocked(txtSerialNumber)) {
            Step("Programming Serial Number... ");
            PauseTicks(10);
            SendDigitBox("PS", txtSerialNumber, chkSNAutoIncrement, txtSNIncrement, 60, kRetries);
        }
        if (chkDateTime->isChecked())
            ProgramDateTime();
        const std::string baud = BaudCodeText(FromQString(cmbBaudRate->currentText()), false) == "5" ? "0" : "1";
        const struct {
            QCheckBox* check;
            const char* text;
            const char* mnemonic;
            std::function<std::string()> value;
        } items[] = {
            {chkTimeSource, "Programming Time Source... ", "PPS", [this] { return code(cmbTimeSource); }},
            {chkTimeZone, "Programming Time Zone... ", "PQZ",
             [this] { return ZeroPad(static_cast<long long>(Val(code(cmbTimeZone))), 2); }},
            {chkDlSaving, "Programming Day Light Saving... ", "PPD", [this] { return code(cmbDLSaving); }},
            {chkTransmissionMode, "Programming Transmission Mode... ", "PPM",
             [this] { return code(cmbTransmissionMode); }},
            {chkTimeSlot, "Programming Time Slot... ", "PPT", [this] { return code(cmbTimeSlot); }},
            {chkMasterClock, "Programming Master Clock Time... ", "PQM",
             [this] { return TimeOfDayDigits(dtpMasterClockTime->time()); }},
            {chkMasterClock, "Programming Master Clock Capcode... ", "PC",
             [this] { return PadDigits(text(txtMasterClockCapcode), 7); }},
            {chkMasterClock, "Programming Master Clock Closure Time... ", "PQD",
             [this] { return code(cmbMasterClockClosure); }},
            {chkBaudRate, "Programming Baud Rate... ", "PB", [baud] { return baud; }},
            {chkSecurityMode, "Programming Security Mode... ", "PSM", [this] { return code(cmbSecurityMode); }},
            {chkSecurityMode, "Programming Security Key... ", "PSS", [this] { return text(txtSecurityKey); }},
            {chkSpecialMode, "Programming Special Mode... ", "PM", [this] { return code(cmbSpecialMode); }},
            {chkToneGenerator, "Programming Tone Generator Mode... ", "PTG", [this] { return code(cmbToneGenerator); }},
        };
        for (const auto& item : items)
            if (item.check->isChecked())
                ProgramItem(item.text, item.mnemonic, item.value());
        FinishProgram();
        return true;
    });
}

// ---- Radio test and reset ---------------------------------------------------------------------

bool KS_GEN_TimeReceiverProgrammer::TRXTestRunning() const { return trxOnTest_; }

bool KS_GEN_TimeReceiverProgrammer::StopTRXTest()
{
    std::string reply;
    DeviceQuery("", testQuery(), &reply);
    if (reply != "?99\r") {
        ShowLinkCommError();
        return false;
    }
    trxOnTest_ = false;
    cmdTestTRX->setText(kStartTest);
    return true;
}

void KS_GEN_TimeReceiverProgrammer::ReceiverRun(const std::function<bool()>& body)
{
    bool receiver = true;
    {
        Run run(*this, false);
        Guarded([&body, &receiver] {
            receiver = TimeReceiverConnected();
            return receiver && body();
        });
    }
    if (receiver)
        SafeSetFocus(txtVersion);
}

void KS_GEN_TimeReceiverProgrammer::cmdTestTRX_Click()
{
    ReceiverRun([this] {
        if (!ProbeDevice(20)) {
            ShowLinkCommError();
            return false;
        }
        if (TRXTestRunning())
            return StopTRXTest();
        const std::string rate = BaudCodeText(FromQString(cmbBaudRate->currentText()), false) == "5" ? "0" : "1";
        std::string reply;
        // Once its start has gone out the test counts as running, answered or
        // not: Exit, chosen while the start waits for its answer, waits for
        // that wait to end and then stops the test before it closes the port.
        trxOnTest_ = true;
        DeviceQuery("TT" + rate, testQuery(), &reply);
        if (ExitRequested())
            return false;
        if (!reply.starts_with("1-")) {
            trxOnTest_ = false;
            ShowLinkCommError();
            return false;
        }
        cmdTestTRX->setText(kStopTest);
        return true;
    });
}

void KS_GEN_TimeReceiverProgrammer::cmdReset_Click()
{
    if (!ResetConfirmed("Are you sure you want to reset the " + gEncoderModelName + " to factory default?"))
        return;
    ReceiverRun([this] {
        if (!ProbeDevice(20) || !SendFactoryReset(3)) {
            ShowLinkCommError();
            return false;
        }
        // The reset cleared the device's clock; the next run sets it again.
        chkDateTime->setChecked(true);
        return true;
    });
}

void KS_GEN_TimeReceiverProgrammer::StopTRXTestOnLeaving()
{
    // A receiver left in its radio test would go on transmitting.
    if (!TRXTestRunning())
        return;
    Run run(*this, false);
    Guarded([this] { return StopTRXTest(); });
}

void KS_GEN_TimeReceiverProgrammer::StopBeforeExit()
{
    if (!Running())
        StopTRXTestOnLeaving();
}

void KS_GEN_TimeReceiverProgrammer::closeEvent(QCloseEvent* event)
{
    if (Running()) {
        event->ignore();
        return;
    }
    // Exit stopped the test before it closed the port; once the port is
    // closed a stop could not go out, and its failure would only hold up the end.
    if (!ExitRequested())
        StopTRXTestOnLeaving();
    KS_ProgrammerFrame::closeEvent(event);
    if (event->isAccepted() && identity_)
        identity_->Restore();
}
