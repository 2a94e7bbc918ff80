#include "KS_ProgrammerFrame.h"

#include <QKeyEvent>
#include <QSet>
#include <QToolBar>
#include <vector>

#include "KS_DeviceLink.h"
#include "KS_DeviceRules.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_String.h"

namespace {

constexpr std::string_view kRangeMessage =
    "The entered frequency is not supported by this device. Please enter a frequency between 80 MHz and 950 MHz.";
constexpr std::string_view kRasterQuestion =
    "The entered frequency seems to be invalid (division by 6.25 kHz does not return an integer number).\r\n"
    "Are you sure you want to continue?";
constexpr std::int64_t kAbsurdFrequencyUnits = 9990000; // above 999 MHz

std::string boxText(const QLineEdit* box) { return FromQString(box->text()); }

// Whether a box holds the operator's text is its modified flag: his keys,
// pastes and drops set it, the window's own setText clears it. Reformatting
// what he typed leaves it his.
void reformatFrequency(QLineEdit* box)
{
    const bool typed = box->isModified();
    box->setText(ToQString(FormatFrequencyText(boxText(box))));
    box->setModified(typed);
}

} // namespace

// What happens when the focus leaves a digit or a frequency box.
class KS_ProgrammerFrame::BoxRoles : public QObject {
public:
    explicit BoxRoles(KS_ProgrammerFrame* frame)
        : QObject(frame)
        , frame_(frame)
    {
    }

    void AddDigitBox(QLineEdit* box) { watch(box, digitBoxes_); }
    void AddFrequencyBox(QLineEdit* box) { watch(box, frequencyBoxes_); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::FocusOut)
            return false;
        // The focus leaving for a message box or a menu is no leaving of the box.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || frame_->Running())
            return false;
        auto* box = static_cast<QLineEdit*>(watched);
        if (digitBoxes_.contains(box)) {
            PadDigitBox(box);
        } else if (frequencyBoxes_.contains(box)) {
            reformatFrequency(box);
            // A box left as the window filled it (its opening "000.0000", a
            // read's value or the one a failed read left, a service level's
            // default) is no answer of the operator's to judge: the caret the
            // window put there must not hold his next command back. Program
            // still judges whatever it would send.
            if (!box->isModified())
                return false;
            // The checks may put the focus back, so they wait until it has
            // settled; a command given meanwhile waits for their answer.
            frame_->conventions_->LeaveRuleDue(box, [this, box] {
                // A box already up (Program's own frequency test) asks in its stead.
                return frame_->Running() || MessageBoxShowing() || frame_->FrequencyBoxLeft(box);
            });
        }
        return false;
    }

private:
    void watch(QLineEdit* box, QSet<QObject*>& set)
    {
        set.insert(box);
        box->installEventFilter(this);
    }

    KS_ProgrammerFrame* frame_;
    QSet<QObject*> digitBoxes_;
    QSet<QObject*> frequencyBoxes_;
};

KS_ProgrammerFrame::KS_ProgrammerFrame(QWidget* owner, const char* formName, const char* caption, int widthTwips,
                                       int heightTwips)
    : BusyDialog(owner)
{
    setObjectName(QString::fromLatin1(formName));
    setWindowTitle(QString::fromLatin1(caption));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    client_ = BuildToolbarForm(this, tlbMenu, widthTwips, heightTwips);
    ++gDeviceWindowsOpen;
}

KS_ProgrammerFrame::~KS_ProgrammerFrame()
{
    // The box with the caret is left as the window goes, past the point its rules can run.
    delete roles_;
    --gDeviceWindowsOpen;
}

void KS_ProgrammerFrame::BuildFrame(std::span<const FormControl> controls)
{
    BuildControls(client_, controls);
    // Step texts show as they are written, an ampersand included.
    if (lblInfo)
        lblInfo->setBuddy(nullptr);
    if (cmdRead)
        connect(cmdRead, &QPushButton::clicked, this, [this] { cmdRead_Click(); });
    if (cmdProgram)
        connect(cmdProgram, &QPushButton::clicked, this, [this] { cmdProgram_Click(); });
    if (cmdReset)
        connect(cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
    if (cmdClose)
        connect(cmdClose, &QPushButton::clicked, this, &KS_ProgrammerFrame::cmdClose_Click);
    if (chkSNAutoIncrement)
        connect(chkSNAutoIncrement, &QCheckBox::toggled, this, &KS_ProgrammerFrame::chkSNAutoIncrement_Click);
    conventions_ = FormConventions::Install(this);
    roles_ = new BoxRoles(this);
}

void KS_ProgrammerFrame::SetupToolbar(std::span<const ToolbarButton> further)
{
    ShowBusyPointer();
    std::vector<ToolbarButton> buttons;
    if (cmdProgram)
        buttons.push_back({"cmdProgram", "&Program", "Program", "Update"});
    if (cmdRead)
        buttons.push_back({"cmdRead", "&Read", "Read", "Download"});
    buttons.insert(buttons.end(), further.begin(), further.end());
    if (cmdClose)
        buttons.push_back({"cmdClose", "&Close", "Close", "Close"});
    BuildCommandToolbar(tlbMenu, this, buttons);
    ShowNormalPointer();
}

// ---- Boxes -----------------------------------------------------------------------

void KS_ProgrammerFrame::MakeDigitBox(QLineEdit* box, int maxLength)
{
    box->setMaxLength(maxLength);
    conventions_->SetKeyFilter(box, DigitsOnlyKey);
    roles_->AddDigitBox(box);
}

void KS_ProgrammerFrame::MakeFrequencyBox(QLineEdit* box)
{
    box->setMaxLength(8);
    conventions_->SetKeyFilter(box, [](int key) { return DecimalKeyFilter(key, false); });
    roles_->AddFrequencyBox(box);
}

void KS_ProgrammerFrame::SetUpVersionBox()
{
    Lock(txtVersion, true);
    // Until a read finds a version the box says there is none, rather than
    // looking like a box the window forgot to fill.
    txtVersion->setText("N/A");
}

void KS_ProgrammerFrame::Lock(QLineEdit* box, bool locked)
{
    box->setReadOnly(locked);
    // An editable box has the window background; a locked one light grey,
    // told apart from the frame around it.
    const QColor lockedGrey(0xE0, 0xE0, 0xE0);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, locked ? lockedGrey : box->style()->standardPalette().color(QPalette::Base));
    box->setPalette(palette);
}

bool KS_ProgrammerFrame::Unlocked(const QLineEdit* box) { return box && !box->isReadOnly(); }

bool KS_ProgrammerFrame::Shown(const QWidget* control) const { return control && control->isVisibleTo(this); }

bool KS_ProgrammerFrame::Editable(const QLineEdit* box) const
{
    return box && box->isEnabledTo(client_) && Shown(box) && Unlocked(box);
}

std::string KS_ProgrammerFrame::BoxDigits(const QLineEdit* box) { return PadDigits(boxText(box), box->maxLength()); }

void KS_ProgrammerFrame::PadDigitBox(QLineEdit* box) { box->setText(ToQString(BoxDigits(box))); }

bool KS_ProgrammerFrame::FrequencyBoxLeft(QLineEdit* box)
{
    reformatFrequency(box);
    if (!Editable(box))
        return true;
    const std::int64_t units = FrequencyUnits(boxText(box)).value_or(0);
    if (!FrequencyInRange(units))
        return Refuse(kRangeMessage, box);
    // On Yes the value stays where the operator moved it: the same value is not questioned again.
    if (FrequencyOnRaster(units) || rasterConfirmed_.value(box) == box->text())
        return true;
    if (ShowMessage(kRasterQuestion, kButtonsYesNo, kAnswerNo, kIconExclamation) != kAnswerYes) {
        SafeSetFocus(box);
        return false;
    }
    rasterConfirmed_.insert(box, box->text());
    return true;
}

void KS_ProgrammerFrame::BindProgramCheck(QCheckBox* check, std::initializer_list<QWidget*> governed)
{
    std::vector<QWidget*> controls(governed);
    connect(check, &QCheckBox::toggled, this, [controls](bool ticked) {
        for (QWidget* control : controls)
            control->setEnabled(ticked);
        if (ticked && !controls.empty())
            SafeSetFocus(controls.front());
    });
}

void KS_ProgrammerFrame::chkSNAutoIncrement_Click()
{
    if (!txtSNIncrement)
        return;
    txtSNIncrement->setEnabled(chkSNAutoIncrement->isChecked());
    if (chkSNAutoIncrement->isChecked())
        SafeSetFocus(txtSNIncrement);
}

void KS_ProgrammerFrame::UnlockServiceFields()
{
    if (txtSerialNumber) {
        Lock(txtSerialNumber, false);
        for (QWidget* control : {static_cast<QWidget*>(chkSNAutoIncrement), static_cast<QWidget*>(txtSNIncrement)})
            if (control)
                control->show();
    }
    ServiceUnlocked();
    if (txtSerialNumber && serviceKeyMovesFocus_)
        SafeSetFocus(txtSerialNumber);
}

// ---- Checks before a run ---------------------------------------------------------------

bool KS_ProgrammerFrame::Refuse(std::string_view message, QWidget* focus)
{
    if (!message.empty())
        ShowMessage(message, kButtonsOk, kAnswerOk, kIconExclamation);
    if (Running())
        focusAfterRun_ = focus;
    else
        SafeSetFocus(focus);
    return false;
}

bool KS_ProgrammerFrame::FrequencyPresent(QLineEdit* box)
{
    if (!Editable(box))
        return true;
    const std::int64_t units = FrequencyUnits(boxText(box)).value_or(0);
    if (units == 0 || units > kAbsurdFrequencyUnits)
        return Refuse("Please enter a valid frequency.", box);
    return true;
}

bool KS_ProgrammerFrame::FrequenciesAcceptable(std::initializer_list<QLineEdit*> boxes)
{
    for (QLineEdit* box : boxes)
        if (Editable(box) && !FrequencyBoxLeft(box))
            return false;
    return true;
}

bool KS_ProgrammerFrame::CapcodesInRange(std::span<QCheckBox* const> ticks, std::span<QLineEdit* const> capcodes)
{
    for (std::size_t i = 0; i < ticks.size() && i < capcodes.size(); ++i)
        if (ticks[i]->isChecked() && !CapcodeInRange(boxText(capcodes[i])))
            return Refuse("Capcode must be in the range of 0000008 to 2097151.", capcodes[i]);
    return true;
}

bool KS_ProgrammerFrame::SelectionMade(QCheckBox* check, QComboBox* list, std::string_view message)
{
    if (check->isChecked() && list->currentIndex() < 0)
        return Refuse(message, list);
    return true;
}

// ---- Runs -----------------------------------------------------------------------------

KS_ProgrammerFrame::Run::Run(KS_ProgrammerFrame& frame, bool programRun)
    : frame_(frame)
    , programRun_(programRun)
    , outermost_(!frame.Running())
{
    // A run may call another (a program run reads the configuration first):
    // only the outermost one frees the window again.
    if (!outermost_)
        return;
    conversation_ = std::make_unique<LinkConversation>();
    frame_.setRunning(true);
    if (programRun_)
        frame_.failedSteps_ = 0;
    ShowBusyPointer();
}

KS_ProgrammerFrame::Run::~Run()
{
    if (!outermost_)
        return;
    if (programRun_ && frame_.prgProgress)
        frame_.prgProgress->hide();
    if (LoadMessageShowing())
        UnloadLoadMessage();
    frame_.setRunning(false);
    ShowNormalPointer();
    if (frame_.focusAfterRun_) {
        SafeSetFocus(frame_.focusAfterRun_);
        frame_.focusAfterRun_ = nullptr;
    }
}

KS_ProgrammerFrame::ReadRun::ReadRun(KS_ProgrammerFrame& frame, bool showsItems)
    : frame_(frame)
    , outermost_(!frame.Running())
    , run_(frame, false)
{
    if (!outermost_)
        return;
    const DeviceQueryTally before = DeviceQueriesSoFar();
    askedBefore_ = before.asked;
    itemsBefore_ = before.items;
    infoHidden_ = frame_.lblInfo->isHidden();
    if (!showsItems)
        return;
    // A device that does not answer keeps the window grey for a minute and
    // more: the label shows the read is still at work.
    SetDeviceQueryWatcher([this](int asked) {
        working_ = QStringLiteral("Reading item %1...").arg(asked - askedBefore_);
        frame_.lblInfo->setText(working_);
        frame_.lblInfo->show();
    });
}

KS_ProgrammerFrame::ReadRun::~ReadRun()
{
    if (!outermost_)
        return;
    SetDeviceQueryWatcher({});
    if (!working_.isEmpty() && frame_.lblInfo->text() == working_)
        frame_.lblInfo->clear();
    if (infoHidden_)
        frame_.lblInfo->hide();
    const DeviceQueryTally now = DeviceQueriesSoFar();
    // Another kind of unit on the lead answers "?99" to every query.
    if (now.asked > askedBefore_ && now.items == itemsBefore_ && !ExitRequested())
        ShowOptionNotUpdatedWarning("programming");
}

KS_ProgrammerFrame::Exchange::Exchange(KS_ProgrammerFrame& frame)
    : frame_(frame)
{
    if (frame_.exchanges_++ > 0 || frame_.Running())
        return;
    SetFormContentsEnabled(&frame_, false);
}

KS_ProgrammerFrame::Exchange::~Exchange()
{
    if (--frame_.exchanges_ > 0 || frame_.Running())
        return;
    SetFormContentsEnabled(&frame_, true);
}

void KS_ProgrammerFrame::closeEvent(QCloseEvent* event)
{
    if (exchanges_ > 0)
        event->ignore();
    else
        BusyDialog::closeEvent(event);
}

bool KS_ProgrammerFrame::Guarded(const std::function<bool()>& body)
{
    try {
        return body();
    } catch (...) {
        return false;
    }
}

// The window's own controls go grey, not the window: a message box shown
// during the run belongs to it and must stay usable.
void KS_ProgrammerFrame::setRunning(bool running)
{
    SetBusy(running);
    SetFormContentsEnabled(this, !running);
}

void KS_ProgrammerFrame::StartProgress(int maximum)
{
    prgProgress->setMinimum(0);
    if (maximum > 0)
        prgProgress->setMaximum(maximum);
    prgProgress->setValue(0);
    lblInfo->clear();
    lblInfo->show();
    prgProgress->show();
    DoEvents();
}

void KS_ProgrammerFrame::Step(std::string_view text, bool advance)
{
    lblInfo->setText(ToQString(text));
    if (advance)
        prgProgress->setValue(prgProgress->value() + 1);
    DoEvents();
}

void KS_ProgrammerFrame::StepFailed(std::string_view failureText)
{
    ++failedSteps_;
    lblInfo->setText(lblInfo->text() + ToQString(failureText));
    PauseTicks(20);
}

void KS_ProgrammerFrame::FinishProgram()
{
    // A failure text lasts one second; the end of the run keeps the count.
    lblInfo->setText(failedSteps_ == 0
                         ? QStringLiteral("Done !")
                         : QStringLiteral("Done ! - %1 item(s) failed.").arg(failedSteps_));
}

void KS_ProgrammerFrame::AutoIncrement(QLineEdit* value, QLineEdit* increment)
{
    const int width = value->maxLength();
    const auto next = IncrementDigits(boxText(value), boxText(increment), width);
    if (!next) {
        ShowMessage("The value " + boxText(value) + " plus " + boxText(increment) + " does not fit into "
                        + std::to_string(width) + " digits. The value was left as it is.",
                    kButtonsOk, kAnswerOk, kIconExclamation);
        return;
    }
    value->setText(ToQString(*next));
}

bool KS_ProgrammerFrame::SendDigitBox(std::string_view command, QLineEdit* box, QCheckBox* autoIncrement,
                                      QLineEdit* increment, std::int32_t ticks, std::int16_t retries)
{
    const std::string value = BoxDigits(box);
    if (!DeviceSetting(command, value, ticks, retries)) {
        StepFailed();
        return false;
    }
    box->setText(ToQString(value));
    if (autoIncrement->isChecked())
        AutoIncrement(box, increment);
    return true;
}

bool KS_ProgrammerFrame::ResetConfirmed(std::string_view question, const std::function<bool()>& buttonPressed)
{
    if (ShowMessage(question, kButtonsYesNo, kAnswerNo, kIconQuestion) != kAnswerYes) {
        SafeSetFocus(txtVersion);
        return false;
    }
    if (buttonPressed && !buttonPressed()) {
        ShowOptionNotUpdatedWarning("programming");
        SafeSetFocus(txtVersion);
        return false;
    }
    return true;
}

bool KS_ProgrammerFrame::SendFactoryReset(std::int16_t retries) { return DeviceSetting("?XR", "", 40, retries); }

void KS_ProgrammerFrame::SwitchToNormalMode()
{
    lblInfo->setText("Switching to Normal Mode...");
    bool switched = false;
    {
        const RunEnding ending;
        switched = DeviceSetting("XT", "", 40, 3);
    }
    if (!switched)
        StepFailed(" - Failed.");
    PauseTicks(10);
}

// ---- Window events ------------------------------------------------------------------------

void KS_ProgrammerFrame::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == kServiceKey && event->modifiers() == kServiceModifiers) {
        if (!Running() && serviceKey_)
            UnlockServiceFields();
        return;
    }
    // Escape closes as Close does, through the close that a run refuses.
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    BusyDialog::keyPressEvent(event);
}
