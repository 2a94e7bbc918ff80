#include "KS_GEN_DBProgrammer.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolBar>

#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_PagerRange.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

namespace {

constexpr int kIncrementMinimum = 1; // 0 would give the whole range one capcode
constexpr int kIncrementMaximum = 100;
constexpr long long kLargestCapcode = 9999999;

long long boxValue(const QLineEdit* box) { return static_cast<long long>(Val(FromQString(box->text()))); }

int phoneKey(int key) { return key == ',' ? key : PhoneKeyFilter(key); }

} // namespace

KS_GEN_DBProgrammer::KS_GEN_DBProgrammer(KS_MainForm* owner)
    : QDialog(owner)
    , owner_(owner)
{
    setObjectName("KS_GEN_DBProgrammer");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle("Database Programmer");
    // The lists and the group rules follow the unit the users will be sent to.
    if (owner)
        owner->IdentifyUnknownEncoder();
    buildControls();
    // While a timer's page or clock setting holds the line, Program shows that
    // it cannot be carried out now rather than doing nothing when clicked.
    if (owner)
        connect(owner, &KS_MainForm::LineHeldChanged, this, [this](bool held) {
            lineHeld_ = held;
            cmdProgram->setEnabled(buttonsEnabled_ && !lineHeld_);
        });
    Form_Load();
}

void KS_GEN_DBProgrammer::buildControls()
{
    constexpr int settingsRow = 6;
    constexpr int detailsHeight = 120 + (settingsRow + PagerSettingControls::kRows) * kUserFormRowPitch;
    constexpr int infoTop = detailsHeight + 60;
    constexpr int buttonsTop = infoTop + 660;
    QWidget* client = BuildToolbarForm(this, tlbMenu, 4980, buttonsTop + 495);
    // Captions without members of their own: only the table needs them.
    QLabel* captions[6] = {};
    std::vector<FormControl> controls = {
        Control(pbxDetails, "pbxDetails", "", {0, 0, 4980, detailsHeight}),
        Control(captions[0], "lblPagerFrom", "Fr&om Pager:", UserFormCaption(0), 0, "pbxDetails"),
        Control(txtPagerFrom, "txtPagerFrom", DigitsText(3), UserFormBox(0, 700), 3, "pbxDetails"),
        Control(captions[1], "lblPagerTo", "To P&ager:", UserFormCaption(1), 0, "pbxDetails"),
        Control(txtPagerTo, "txtPagerTo", DigitsText(3), UserFormBox(1, 700), 3, "pbxDetails"),
        Control(captions[2], "lblCapCodeFrom", "&Start Capcode:", UserFormCaption(2), 0, "pbxDetails"),
        Control(txtCapCodeFrom, "txtCapCodeFrom", DigitsText(7), UserFormBox(2, 1100), 7, "pbxDetails"),
        Control(captions[3], "lblCapCodeInc", "Capcode &Increment:", UserFormCaption(3), 0, "pbxDetails"),
        Control(txtCapCodeInc, "txtCapCodeInc", DigitsText(3), UserFormBox(3, 700), 3, "pbxDetails"),
        // The up-down's arrows alone, against the box's right edge: the box
        // holds and shows the value, so it shows once.
        Control(updCapcodeInc, "updCapcodeInc", "", {kUserFormBoxLeft + 700, 120 + 3 * kUserFormRowPitch, 300, 315},
                kIncrementMaximum, "pbxDetails"),
        Control(captions[4], "lblUserName", "User &Name:", UserFormCaption(4), 0, "pbxDetails"),
        Control(txtUserName, "txtUserName", "", UserFormBox(4, 2400), 16, "pbxDetails"),
        Control(captions[5], "lblPhone", "P&hone:", UserFormCaption(5), 0, "pbxDetails"),
        Control(txtPhone, "txtPhone", "", UserFormBox(5, 2400), 16, "pbxDetails"),
    };
    for (FormControl& row : settings_.Controls(settingsRow, "pbxDetails"))
        controls.push_back(std::move(row));
    controls.push_back(Control(lblInfo, "lblInfo", "", {120, infoTop, 4740, 255}));
    controls.push_back(Control(prgProgProgress, "prgProgProgress", "", {120, infoTop + 300, 4740, 255}));
    controls.push_back(Control(cmdProgram, "cmdProgram", "&Program", {975, buttonsTop, 1215, 375}));
    controls.push_back(Control(cmdClear, "cmdClear", "C&lear", {2310, buttonsTop, 1215, 375}));
    controls.push_back(Control(cmdClose, "cmdClose", "&Close", {3645, buttonsTop, 1215, 375}));
    BuildControls(client, controls);
    updCapcodeInc->setMinimum(kIncrementMinimum);
    lblInfo->hide();
    settings_.Connect();
    settings_.ExposeIn(*this);

    connect(cmdProgram, &QPushButton::clicked, this, &KS_GEN_DBProgrammer::cmdProgram_Click);
    connect(cmdClear, &QPushButton::clicked, this, &KS_GEN_DBProgrammer::cmdClear_Click);
    connect(cmdClose, &QPushButton::clicked, this, &KS_GEN_DBProgrammer::cmdClose_Click);
    // A box greyed out by the run loses the focus without being left: the
    // run reads what the boxes held when it started.
    const auto onLeaving = [this](QLineEdit* box, void (KS_GEN_DBProgrammer::*rule)()) {
        connect(box, &QLineEdit::editingFinished, this, [this, rule] {
            if (!running_)
                (this->*rule)();
        });
    };
    onLeaving(txtPagerFrom, &KS_GEN_DBProgrammer::txtPagerFrom_LostFocus);
    onLeaving(txtPagerTo, &KS_GEN_DBProgrammer::txtPagerTo_LostFocus);
    onLeaving(txtCapCodeFrom, &KS_GEN_DBProgrammer::txtCapCodeFrom_LostFocus);
    onLeaving(txtCapCodeInc, &KS_GEN_DBProgrammer::txtCapCodeInc_LostFocus);
    connect(updCapcodeInc, &QSpinBox::valueChanged, this,
            [this](int value) { txtCapCodeInc->setText(QString::number(value)); });
    // The arrows step from the number typed, not from the last one they set.
    connect(txtCapCodeInc, &QLineEdit::textChanged, this, [this] {
        const QSignalBlocker quiet(updCapcodeInc);
        updCapcodeInc->setValue(static_cast<int>(
            std::clamp<long long>(boxValue(txtCapCodeInc), kIncrementMinimum, kIncrementMaximum)));
    });

    // A toolbar command leaves an empty box, and a backward range, for
    // Program's checks to name: leaving them would make up a range of pager
    // 001, or of one pager, that nobody asked for.
    const auto empty = [](const QLineEdit* box) { return Trim(FromQString(box->text())).empty(); };
    KeepAsTypedForCommands(txtPagerFrom, [=, this] { return empty(txtPagerFrom); });
    KeepAsTypedForCommands(txtPagerTo, [=, this] {
        return empty(txtPagerTo) || boxValue(txtPagerTo) < boxValue(txtPagerFrom);
    });
    KeepAsTypedForCommands(txtCapCodeFrom, [=, this] { return empty(txtCapCodeFrom); });

    conventions_ = FormConventions::Install(this);
    for (QLineEdit* box : {txtPagerFrom, txtPagerTo, txtCapCodeFrom, txtCapCodeInc})
        conventions_->SetKeyFilter(box, DigitsOnlyKey);
    conventions_->SetKeyFilter(txtPhone, phoneKey);
}

KS_GEN_DBProgrammer::~KS_GEN_DBProgrammer()
{
    // The boxes outlive this part of the window by a moment: the box with the
    // caret is left as the window goes, and its rule must not run then.
    for (QLineEdit* box : {txtPagerFrom, txtPagerTo, txtCapCodeFrom, txtCapCodeInc})
        disconnect(box, nullptr, this, nullptr);
}

void KS_GEN_DBProgrammer::SetupToolbar()
{
    const ToolbarButton buttons[] = {
        {"cmdProgram", "Update", "", "Update"},
        {"cmdClear", "Clear", "", "Clear"},
        {"cmdClose", "Close", "", "Close"},
    };
    BuildCommandToolbar(tlbMenu, this, buttons);
}

void KS_GEN_DBProgrammer::Form_Load()
{
    move(Twips(2600), Twips(2200));
    SetupToolbar();
    settings_.FillLists();
    settings_.ApplyGroupRule();
    cmdClear_Click();
    txtDSC->clear();
    chkPagerIsGroup->setEnabled(CurrentUserEncoderClass() == UserEncoderClass::LetterCode);
}

void KS_GEN_DBProgrammer::cmdClear_Click()
{
    txtPagerFrom->setText("001");
    txtPagerTo->setText("001");
    txtCapCodeFrom->setText("0000001");
    txtCapCodeInc->setText("1");
    updCapcodeInc->setValue(1);
    txtUserName->clear();
    txtPhone->clear();
}

void KS_GEN_DBProgrammer::cmdClose_Click()
{
    if (!running_)
        close();
}

void KS_GEN_DBProgrammer::txtPagerFrom_LostFocus()
{
    long long from = boxValue(txtPagerFrom);
    if (from <= 0)
        from = 1;
    txtPagerFrom->setText(ToQString(ZeroPad(from, 3)));
    settings_.FollowPagerNumber(static_cast<long>(from));
}

void KS_GEN_DBProgrammer::txtPagerTo_LostFocus()
{
    if (boxValue(txtPagerTo) < boxValue(txtPagerFrom))
        txtPagerTo->setText(txtPagerFrom->text());
    txtPagerTo->setText(ToQString(ZeroPad(std::max(boxValue(txtPagerTo), 0LL), 3)));
}

void KS_GEN_DBProgrammer::txtCapCodeFrom_LostFocus()
{
    txtCapCodeFrom->setText(ToQString(ZeroPad(std::max(boxValue(txtCapCodeFrom), 0LL), 7)));
}

std::int32_t KS_GEN_DBProgrammer::increment() const
{
    return static_cast<std::int32_t>(boxValue(txtCapCodeInc));
}

void KS_GEN_DBProgrammer::txtCapCodeInc_LostFocus()
{
    const auto value = static_cast<int>(std::clamp<long long>(boxValue(txtCapCodeInc), kIncrementMinimum,
                                                              kIncrementMaximum));
    txtCapCodeInc->setText(QString::number(value));
    updCapcodeInc->setValue(value);
}

void KS_GEN_DBProgrammer::SetButtonsEnabled(bool enabled)
{
    buttonsEnabled_ = enabled;
    if (!enabled)
        KeepCaretWhileGrey(this);
    for (QWidget* w : std::initializer_list<QWidget*>{cmdClose, cmdClear, tlbMenu, pbxDetails})
        w->setEnabled(enabled);
    cmdProgram->setEnabled(enabled && !lineHeld_);
    if (enabled)
        GiveCaretBackAfterGrey(this);
}

bool KS_GEN_DBProgrammer::programChecksPass()
{
    auto refuse = [](const std::string& text, QWidget* focus, int icon = kIconCritical) {
        ShowMessage(text, kButtonsOk, kAnswerOk, icon);
        SafeSetFocus(focus);
        return false;
    };
    const std::string fromText = Trim(FromQString(txtPagerFrom->text()));
    const std::string toText = Trim(FromQString(txtPagerTo->text()));
    const long long from = boxValue(txtPagerFrom);
    const long long to = boxValue(txtPagerTo);
    if (fromText.empty() || from == 0)
        return refuse("From Pager is not valid. Please confirm From Pager.", txtPagerFrom);
    // A range that runs backwards would program nothing, or everything, but never what was meant.
    if (toText.empty() || to == 0 || to < from)
        return refuse("To Pager is not valid. Please confirm To Pager.", txtPagerTo);
    const std::string type = ComboText(cmbPagerType);
    if (type.empty())
        return refuse("Pager Type is not valid. Please confirm Pager Type.", cmbPagerType);
    if (chkPagerIsGroup->isChecked() && Trim(ComboText(cmbGroup)).empty())
        return refuse("Group is not valid. Please select Group.", cmbGroup);
    if (const auto refusal = RefusedPagerSetting(type, ComboText(cmbPagerBaud), ComboText(cmbPagerMode)))
        return refuse(refusal->message, refusal->changeMode ? cmbPagerMode : cmbPagerType, refusal->icon);
    // The capcode field holds seven digits; a longer number would be cut to another pager's address.
    const long long last = boxValue(txtCapCodeFrom) + (to - from) * increment();
    if (last > kLargestCapcode)
        return refuse("The last capcode of this range would be " + std::to_string(last)
                          + ", more than 7 digits. Please confirm Start Capcode and Capcode Increment.",
                      txtCapCodeFrom);
    return !(IsReservedPager(static_cast<long>(from)) || IsReservedPager(static_cast<long>(to)))
           || ConfirmReservedPagers();
}

void KS_GEN_DBProgrammer::cmdProgram_Click()
{
    if (running_ || LinkConversation::ConversationActive())
        return;
    // The range is coded for the unit that answers now. Lists filled for
    // another unit (or for none) are filled again for it, with what the
    // operator chose kept where it offers it; what it lacks is named and
    // dropped, and nothing goes out until Program is pressed again.
    UserFormFields chosen;
    settings_.ReadInto(chosen);
    {
        // The identification is the run's first step: the window is closed
        // to the operator through it as through the rest, or a Close taken
        // meanwhile would hide it with the range still to go out.
        running_ = true;
        ShowBusyPointer();
        SetButtonsEnabled(false);
        {
            const LinkConversation conversation;
            DetectEncoder();
        }
        running_ = false;
        SetButtonsEnabled(true);
        ShowNormalPointer();
    }
    if (ExitRequested())
        return;
    if (!settings_.FilledForUnitNow()) {
        settings_.FillLists();
        settings_.ApplyGroupRule();
        chkPagerIsGroup->setEnabled(CurrentUserEncoderClass() == UserEncoderClass::LetterCode);
        settings_.FollowPagerNumber(static_cast<long>(boxValue(txtPagerFrom)));
        if (!settings_.KeepChoicesForUnit(chosen, nullptr, "Program"))
            return;
    }
    if (!programChecksPass())
        return;
    running_ = true;
    ShowBusyPointer();
    SetButtonsEnabled(false);
    if (ProgramPagerRange())
        owner_->LoadUsers();
    SetButtonsEnabled(true);
    ShowNormalPointer();
    // Once the boxes are live again: a greyed box takes no caret.
    SafeSetFocus(txtPagerFrom);
}

bool KS_GEN_DBProgrammer::ProgramPagerRange()
{
    running_ = true;
    PagerRangeSettings range;
    range.from = static_cast<int>(boxValue(txtPagerFrom));
    range.to = static_cast<int>(boxValue(txtPagerTo));
    range.startCapcode = boxValue(txtCapCodeFrom);
    range.increment = increment();
    range.user.userName = Trim(FromQString(txtUserName->text()));
    range.user.phone = Trim(FromQString(txtPhone->text()));
    settings_.ReadInto(range.user);
    range.user.dsc = Trim(range.user.dsc);

    const bool ranToEnd = ProgramUserRange(range, [this, count = std::max(range.to - range.from + 1, 0)](
                                                      RangeStep step, int done) {
        if (step == RangeStep::Calculating && done == 0) {
            ShowBusyPointer();
            lblInfo->setText("Calculating...");
            lblInfo->show();
            prgProgProgress->setRange(0, std::max(count, 1));
            prgProgProgress->show();
        }
        prgProgProgress->setValue(done);
        if (step == RangeStep::Programming) {
            lblInfo->setText(done == 0 ? QString("Programming...")
                                       : ToQString("Programming..." + ZeroPad(done, 3) + "/"
                                                   + std::to_string(prgProgProgress->maximum())));
            DoEvents();
        }
    });
    lblInfo->setText(ranToEnd ? "Done !" : "Canceled !");
    prgProgProgress->hide();
    ShowNormalPointer();
    running_ = false;
    return ranToEnd;
}

void KS_GEN_DBProgrammer::closeEvent(QCloseEvent* event)
{
    if (running_) {
        event->ignore();
        return;
    }
    event->accept();
}
