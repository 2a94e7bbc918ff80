#include "KS_GEN_UserAdd.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QTreeWidget>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_FormBuilder.h"
#include "KS_FormContents.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_Toolbar.h"

namespace {

constexpr int kPagerColumn = 1;

int phoneKey(int key) { return key == ',' ? key : PhoneKeyFilter(key); }

} // namespace

KS_GEN_UserAdd::KS_GEN_UserAdd(KS_MainForm* owner)
    : QDialog(owner)
    , owner_(owner)
    , adding_(owner->EditMode == 1)
{
    setObjectName("KS_GEN_UserAdd");
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window waits while the dialog is open; the dialog itself does not block.
    setWindowModality(Qt::WindowModal);
    if (!adding_)
        if (QTreeWidgetItem* row = owner->SelectedUserRow())
            editedPagerNo_ = FromQString(row->text(kPagerColumn));
    buildControls();
    // While a timer's page or clock setting holds the line, OK shows that it
    // cannot be carried out now rather than doing nothing when clicked.
    connect(owner, &KS_MainForm::LineHeldChanged, this, [this](bool held) {
        lineHeld_ = held;
        cmdOk->setEnabled(!saving_ && !lineHeld_);
    });
    Form_Load();
}

void KS_GEN_UserAdd::buildControls()
{
    constexpr int settingsRow = 4;
    constexpr int buttonsTop = 120 + (settingsRow + PagerSettingControls::kRows) * kUserFormRowPitch;
    content_ = BuildToolbarForm(this, tlbMenu, 4980, buttonsTop + 495);
    std::vector<FormControl> controls = {
        Control(lblUserID, "lblUserID", "&Pager No:", UserFormCaption(0)),
        Control(txtUserID, "txtUserID", DigitsText(3), UserFormBox(0, 700), 3),
        Control(lblUserName, "lblUserName", "User &Name:", UserFormCaption(1)),
        Control(txtUserName, "txtUserName", "", UserFormBox(1, 2400), 16),
        Control(lblCapcode, "lblCapcode", "Capco&de:", UserFormCaption(2)),
        Control(txtCapcode, "txtCapcode", DigitsText(7), UserFormBox(2, 1100), 7),
        Control(lblPhone, "lblPhone", "P&hone:", UserFormCaption(3)),
        Control(txtPhone, "txtPhone", "", UserFormBox(3, 2400), 16),
    };
    for (FormControl& row : settings_.Controls(settingsRow, nullptr))
        controls.push_back(std::move(row));
    controls.push_back(Control(cmdOk, "cmdOk", "&Ok", {2310, buttonsTop, 1215, 375}));
    controls.push_back(Control(cmdCancel, "cmdCancel", "&Cancel", {3645, buttonsTop, 1215, 375}));
    BuildControls(content_, controls);
    settings_.Connect();
    settings_.ExposeIn(*this);

    connect(cmdOk, &QPushButton::clicked, this, &KS_GEN_UserAdd::cmdOk_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &KS_GEN_UserAdd::cmdCancel_Click);
    connect(txtUserID, &QLineEdit::editingFinished, this, &KS_GEN_UserAdd::txtUserID_LostFocus);
    connect(txtCapcode, &QLineEdit::editingFinished, this, &KS_GEN_UserAdd::txtCapcode_LostFocus);

    conventions_ = FormConventions::Install(this);
    conventions_->SetKeyFilter(txtUserID, DigitsOnlyKey);
    conventions_->SetKeyFilter(txtCapcode, DigitsOnlyKey);
    conventions_->SetKeyFilter(txtPhone, phoneKey);
}

void KS_GEN_UserAdd::SetupToolbar()
{
    BuildOkCancelToolbar(tlbMenu, this);
}

void KS_GEN_UserAdd::Form_Load()
{
    move(Twips(2600), Twips(2200));
    SetupToolbar();
    settings_.FillLists();
    settings_.ApplyGroupRule();

    setWindowTitle(adding_ ? "Users - Add" : "Users - Update");
    if (!adding_)
        txtUserID->setEnabled(false); // an existing user keeps the number the encoder knows him by
    applyUnitRules();
    // A user stored as a group pager where the unit's rules make none (a file
    // written for another unit) would open with a tick that no OK could get
    // past: it is dropped and named, and a save stores the user as individual.
    if (edited_)
        settings_.KeepChoicesForUnit(edited_->shown, &edited_->shown, "");
}

void KS_GEN_UserAdd::applyUnitRules()
{
    if (!adding_)
        LoadUserForEdit();
    const UserEncoderClass encoder = CurrentUserEncoderClass();
    chkPagerIsGroup->setEnabled(encoder == UserEncoderClass::LetterCode);

    // A digit-code group pager has no pager of its own: nothing to set but its name.
    if (encoder == UserEncoderClass::DigitCode && Val(FromQString(txtUserID->text())) >= kFirstReservedPager) {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 lblCapcode, txtCapcode, lblPhone, txtPhone, settings_.lblPagerType, cmbPagerType,
                 settings_.lblPagerFormat, cmbPagerFormat, settings_.lblPagerBaud, cmbPagerBaud,
                 settings_.lblPagerMode, cmbPagerMode, settings_.lblDSC, txtDSC})
            w->setEnabled(false);
    }
}

void KS_GEN_UserAdd::LoadUserForEdit()
{
    edited_.reset();
    txtUserID->setText(ToQString(editedPagerNo_));
    const std::string path = DataFilePath("Pager.DBS");
    if (Trim(gDataFolder).empty() || !FileExists(path)) {
        ShowMessage("Database file cannot be found in the the working folder. Please confirm that then file " + PathInText(path)
                        + " exists.",
                    kButtonsOk, kAnswerOk, kIconCritical);
        return;
    }
    const auto number = static_cast<long long>(Val(editedPagerNo_));
    PagerRecord record;
    const FileError error = number >= 1 ? ReadRecordAt(path, number, record) : FileError::Other;
    if (error != FileError::None) {
        ShowMessage(FileErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical);
        return;
    }
    txtUserName->setText(RecordFieldText(record.UserName));
    txtCapcode->setText(RecordFieldText(record.Capcode));
    txtPhone->setText(RecordFieldText(record.Phone));
    txtDSC->setText(RecordFieldText(record.DSC));
    SelectComboText(cmbPagerType, PagerTypeCodeText(record.PagerType, true));
    SelectComboText(cmbPagerFormat, PagerFormatCodeText(record.Format, true));
    SelectComboText(cmbPagerBaud, BaudCodeText(record.Baud, true));
    SelectComboText(cmbPagerMode, record.Mode.substr(0, 1));

    chkPagerIsGroup->setChecked(record.GroupFlag == "G");
    settings_.ApplyGroupRule();

    const UserEncoderClass encoder = CurrentUserEncoderClass();
    if (chkPagerIsGroup->isChecked()) {
        // The digit-code group pagers stand for the group of their number.
        SelectComboText(cmbGroup, encoder == UserEncoderClass::DigitCode ? GroupOfGroupPager(static_cast<long>(number))
                                                                         : GroupTextFromByte(record.Group1));
    } else {
        SelectComboText(cmbGroupFirst, GroupTextFromByte(record.Group1));
    }
    if (encoder != UserEncoderClass::LetterCode) {
        chkPagerIsGroup->setEnabled(false);
        cmbGroup->setEnabled(false);
    } else {
        chkPagerIsGroup->setEnabled(true);
    }
    SelectComboText(cmbGroupSecond, GroupTextFromByte(record.Group2));
    SelectComboText(cmbGroupThird, GroupTextFromByte(record.Group3));
    SelectComboText(cmbGroupFourth, GroupTextFromByte(record.Group4));
    edited_ = EditedUser{record, fieldsFromControls()};
}

void KS_GEN_UserAdd::ClearFields()
{
    for (QLineEdit* box : {txtUserID, txtUserName, txtCapcode, txtPhone})
        box->clear();
}

void KS_GEN_UserAdd::txtUserID_LostFocus()
{
    auto number = static_cast<long long>(Val(FromQString(txtUserID->text())));
    if (number < 0)
        number = 0;
    const QString padded = ToQString(ZeroPad(number, 3));
    if (txtUserID->text() != padded)
        txtUserID->setText(padded);
    settings_.FollowPagerNumber(static_cast<long>(number));
}

void KS_GEN_UserAdd::txtCapcode_LostFocus()
{
    const auto value = static_cast<long long>(Val(FromQString(txtCapcode->text())));
    txtCapcode->setText(ToQString(ZeroPad(value < 0 ? 0 : value, 7)));
}

bool KS_GEN_UserAdd::okChecksPass()
{
    auto refuse = [](const std::string& text, QWidget* focus, int icon = kIconCritical) {
        ShowMessage(text, kButtonsOk, kAnswerOk, icon);
        SafeSetFocus(focus);
        return false;
    };
    const std::string pagerText = Trim(FromQString(txtUserID->text()));
    if (pagerText.empty() || Val(pagerText) == 0)
        return refuse("From Pager is not valid. Please confirm From Pager.", txtUserID);
    if (chkPagerIsGroup->isChecked() && Trim(ComboText(cmbGroup)).empty())
        return refuse("Group is not valid. Please select Group.", cmbGroup);
    if (IsReservedPager(static_cast<long>(Val(pagerText))) && !ConfirmReservedPagers()) {
        SafeSetFocus(txtUserID);
        return false;
    }
    const std::string type = ComboText(cmbPagerType);
    if (type.empty())
        return refuse("Pager Type is not valid. Please confirm Pager Type.", cmbPagerType);
    if (const auto refusal = RefusedPagerSetting(type, ComboText(cmbPagerBaud), ComboText(cmbPagerMode)))
        return refuse(refusal->message, refusal->changeMode ? cmbPagerMode : cmbPagerType, refusal->icon);
    if (adding_) {
        const QString number = txtUserID->text();
        for (int i = 0; i < owner_->lvwUsers->topLevelItemCount(); ++i)
            if (owner_->lvwUsers->topLevelItem(i)->text(kPagerColumn) == number)
                return refuse("User ID is is already in use. Please confirm User ID.", txtUserID);
    }
    return true;
}

void KS_GEN_UserAdd::cmdOk_Click()
{
    // Inside a scheduled page's wait the add would answer for that page's acknowledgement.
    if (saving_ || LinkConversation::ConversationActive())
        return;
    // Opened while no unit answered, or for a unit another has replaced since,
    // the lists and the record were read by another unit's codes (or none);
    // sent as they are, they could change the user's type or groups.
    // The unit is asked who it is every time, as Program asks it: one known
    // from before may have been replaced by another with other reserved
    // numbers and codes. The dialog is closed to the operator meanwhile, so
    // a Cancel cannot be taken while the save is still to follow. A unit that
    // does not answer the probe leaves what is known as it stands.
    const UserFormFields chosen = fieldsFromControls();
    setBusy(true);
    owner_->IdentifyEncoderAgain([] { return true; });
    setBusy(false);
    if (ExitRequested())
        return;
    if (!settings_.FilledForUnitNow() && !readAgainForUnit(chosen))
        return;
    if (!okChecksPass())
        return;
    if (!SaveUser()) {
        SafeSetFocus(txtCapcode);
        return;
    }
    if (adding_) {
        ClearFields();
        SafeSetFocus(txtUserID);
    } else {
        close();
    }
}

bool KS_GEN_UserAdd::readAgainForUnit(const UserFormFields& chosen)
{
    // What Update showed was read by no unit's codes; what the operator changed from it is his.
    // Read by a unit that codes users otherwise than the one it goes to, all
    // of it is: he saw the user's type and groups, which the stored codes mean
    // no more to the new unit.
    const std::optional<EditedUser> before = edited_;
    const bool codedOtherwise = settings_.filledFor.Known() && UserCodesUnit().Known()
                                && UserEncoderClassOf(settings_.filledFor) != CurrentUserEncoderClass();
    const UserFormFields* shown = before && !codedOtherwise ? &before->shown : nullptr;
    settings_.FillLists();
    settings_.ApplyGroupRule();
    applyUnitRules();
    // The number decides a group pager on the new unit as leaving its box would.
    settings_.FollowPagerNumber(static_cast<long>(Val(FromQString(txtUserID->text()))));
    const auto keepText = [shown](QLineEdit* box, const std::string& text, std::string UserFormFields::*field) {
        if (!shown || text != shown->*field)
            box->setText(ToQString(text));
    };
    keepText(txtUserName, chosen.userName, &UserFormFields::userName);
    keepText(txtCapcode, chosen.capcode, &UserFormFields::capcode);
    keepText(txtPhone, chosen.phone, &UserFormFields::phone);
    if (settings_.KeepChoicesForUnit(chosen, shown, "OK"))
        return true;
    // A choice named as dropped left its list blank: that blank is the
    // operator's, to be sent and stored as none, not the stored byte the new
    // unit's codes happen to read as blank too.
    if (edited_) {
        const UserFormFields now = fieldsFromControls();
        UserFormFields& before = edited_->shown;
        const auto dropped = [&now, &chosen, &before](auto UserFormFields::*field) {
            if (now.*field != chosen.*field)
                before.*field = chosen.*field;
        };
        dropped(&UserFormFields::pagerTypeText);
        dropped(&UserFormFields::formatText);
        dropped(&UserFormFields::baudText);
        dropped(&UserFormFields::modeText);
        dropped(&UserFormFields::isGroup);
        dropped(&UserFormFields::groupText);
        for (std::size_t i = 0; i < 4; ++i)
            if (now.groupTexts[i] != chosen.groupTexts[i])
                before.groupTexts[i] = chosen.groupTexts[i];
    }
    return false;
}

void KS_GEN_UserAdd::cmdCancel_Click()
{
    if (!saving_)
        close();
}

UserFormFields KS_GEN_UserAdd::fieldsFromControls() const
{
    UserFormFields f;
    f.pagerNo = ZeroPad(static_cast<long long>(Val(FromQString(txtUserID->text()))), 3);
    f.userName = FromQString(txtUserName->text());
    f.capcode = FromQString(txtCapcode->text());
    f.phone = FromQString(txtPhone->text());
    settings_.ReadInto(f);
    return f;
}

void KS_GEN_UserAdd::setBusy(bool busy)
{
    saving_ = busy;
    if (busy)
        KeepCaretWhileGrey(this);
    // The contents only: a disabled dialog would disable its own message boxes.
    content_->setEnabled(!busy);
    tlbMenu->setEnabled(!busy);
    cmdOk->setEnabled(!busy && !lineHeld_);
    cmdCancel->setEnabled(!busy);
    if (busy) {
        ShowBusyPointer();
    } else {
        GiveCaretBackAfterGrey(this);
        ShowNormalPointer();
    }
}

bool KS_GEN_UserAdd::SaveUser()
{
    // Checked before the encoder hears of the user, so that it never holds a
    // user that the directory could not keep.
    if (!EnsurePagerDatabase())
        return false;
    setBusy(true);
    LinkConversation conversation;
    const PagerRecord record = MakeUserRecord(fieldsFromControls(), edited_ ? &*edited_ : nullptr);
    const auto number = static_cast<int>(Val(record.PagerNo));

    if (!IsReservedPager(number)) {
        std::string error;
        const auto line = BuildEncoderUserRecord(record, &error);
        if (!line) {
            setBusy(false);
            ShowMessage(error, kButtonsOk, kAnswerOk, kIconCritical);
            return false;
        }
        if (!SendUserToEncoder(record.PagerNo, *line) && AskUpdateDatabaseOnly() != kAnswerYes) {
            setBusy(false);
            return false;
        }
    }
    if (!WritePagerRecord(number, record)) {
        setBusy(false);
        return false;
    }
    owner_->ShowSavedUser(record, adding_);
    setBusy(false);
    return true;
}

void KS_GEN_UserAdd::closeEvent(QCloseEvent* event)
{
    if (saving_) {
        event->ignore();
        return;
    }
    event->accept();
}
