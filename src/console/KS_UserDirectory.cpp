#include "KS_UserDirectory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <optional>

#include "KS_Database.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_PagingLists.h"
#include "OptionList.h"
#include "KS_String.h"

namespace {

PagerRecord recordFromEntries(const UserFormFields& f)
{
    PagerRecord r = FreePagerRecord();
    r.PagerNo = PadRight(f.pagerNo, 3);
    r.UserName = PadRight(f.userName, 20);
    r.Capcode = PadRight(f.capcode, 7);
    r.PagerType = PagerTypeCodeText(f.pagerTypeText, false);
    r.Phone = PadRight(f.phone, 20);
    r.Format = PagerFormatCodeText(f.formatText, false);
    r.Baud = BaudCodeText(f.baudText, false);
    r.Mode = f.modeText.empty() ? std::string(" ") : f.modeText.substr(0, 1);
    r.DSC = PadRight(f.dsc, 4);
    r.GroupFlag = PagerGroupFlagCode(f.isGroup ? "1" : "0", false);
    r.Group1 = f.isGroup ? GroupByteFromText(f.groupText, 1, true) : GroupByteFromText(f.groupTexts[0], 1, false);
    r.Group2 = GroupByteFromText(f.groupTexts[1], 2, false);
    r.Group3 = GroupByteFromText(f.groupTexts[2], 3, false);
    r.Group4 = GroupByteFromText(f.groupTexts[3], 4, false);
    r.InUse = "Y";
    return r;
}

} // namespace

PagerRecord MakeUserRecord(const UserFormFields& f, const EditedUser* edited)
{
    PagerRecord made = recordFromEntries(f);
    if (!edited)
        return made;
    const UserFormFields& shown = edited->shown;
    PagerRecord r = edited->stored;
    const auto take = [&](bool changed, std::string PagerRecord::*field) {
        if (changed)
            r.*field = made.*field;
    };
    take(f.pagerNo != shown.pagerNo, &PagerRecord::PagerNo);
    take(f.userName != shown.userName, &PagerRecord::UserName);
    take(f.capcode != shown.capcode, &PagerRecord::Capcode);
    take(f.phone != shown.phone, &PagerRecord::Phone);
    take(f.dsc != shown.dsc, &PagerRecord::DSC);
    take(f.pagerTypeText != shown.pagerTypeText, &PagerRecord::PagerType);
    take(f.formatText != shown.formatText, &PagerRecord::Format);
    take(f.baudText != shown.baudText, &PagerRecord::Baud);
    take(f.modeText != shown.modeText, &PagerRecord::Mode);
    take(f.isGroup != shown.isGroup, &PagerRecord::GroupFlag);
    const bool firstGroupChanged = f.isGroup != shown.isGroup
                                   || (f.isGroup ? f.groupText != shown.groupText
                                                 : f.groupTexts[0] != shown.groupTexts[0]);
    take(firstGroupChanged, &PagerRecord::Group1);
    take(f.groupTexts[1] != shown.groupTexts[1], &PagerRecord::Group2);
    take(f.groupTexts[2] != shown.groupTexts[2], &PagerRecord::Group3);
    take(f.groupTexts[3] != shown.groupTexts[3], &PagerRecord::Group4);
    r.InUse = made.InUse;
    return r;
}

bool SendUserToEncoder(const std::string& pagerNo, const std::string& line)
{
    std::string reply;
    std::optional<std::string> heldBefore;
    if (!gEncoderIdentified) {
        const std::string old
            = QueryLink("?", pagerNo + "M", {.expectedLength = 44, .noSuffix = true, .attempts = 3});
        // Rebuilt in the unit's own layout: a QX7XXX answers in a shorter form
        // than it takes. One that cannot be put back is not deleted: the add
        // is then refused, and the unit keeps it.
        PagerRecord held;
        if (!Trim(old).empty() && ParseEncoderUserRecord(held, old))
            heldBefore = BuildEncoderUserRecord(held);
        if (heldBefore)
            SendLinkCommand("D", pagerNo + "M", true, 0, reply, true, 3);
    }
    if (SendLinkCommand("A", line + "M", true, 0, reply, true, 3))
        return true;
    if (heldBefore)
        SendLinkCommand("A", *heldBefore + "M", true, 0, reply, true, 3);
    return false;
}

// ---- The shared controls ---------------------------------------------------------

QString RecordFieldText(std::string_view field) { return ToQString(Trim(StripChar(field, std::string_view("\0", 1)))); }

std::string ComboText(const QComboBox* combo)
{
    return combo->currentIndex() < 0 ? std::string() : FromQString(combo->currentText());
}

void SelectComboText(QComboBox* combo, std::string_view text)
{
    combo->setCurrentIndex(text.empty() ? -1 : combo->findText(ToQString(text), Qt::MatchExactly));
}

std::vector<FormControl> PagerSettingControls::Controls(int row, const char* parent)
{
    // The frame holds its lists in two pairs of columns, two rows of them under its title.
    const int frameTop = 120 + (row + 6) * kUserFormRowPitch;
    const TwipsRect groupCaption[] = {
        {120, 360, 540, 255}, {2160, 360, 540, 255}, {120, 780, 540, 255}, {2160, 780, 540, 255}};
    const TwipsRect groupList[] = {
        {720, 300, 1200, 315}, {2760, 300, 1200, 315}, {720, 720, 1200, 315}, {2760, 720, 1200, 315}};
    const TwipsRect groupCheck = {120, 120 + (row + 5) * kUserFormRowPitch, 2340, 315};
    return {
        Control(lblPagerType, "lblPagerType", "Pager &Type:", UserFormCaption(row), 0, parent),
        Control(cmbPagerType, "cmbPagerType", "", UserFormBox(row, 2400), 0, parent),
        Control(lblPagerFormat, "lblPagerFormat", "&Format:", UserFormCaption(row + 1), 0, parent),
        Control(cmbPagerFormat, "cmbPagerFormat", "", UserFormBox(row + 1, 2400), 0, parent),
        Control(lblPagerBaud, "lblPagerBaud", "&Baud Rate:", UserFormCaption(row + 2), 0, parent),
        Control(cmbPagerBaud, "cmbPagerBaud", "", UserFormBox(row + 2, 2400), 0, parent),
        Control(lblPagerMode, "lblPagerMode", "&Mode:", UserFormCaption(row + 3), 0, parent),
        Control(cmbPagerMode, "cmbPagerMode", "", UserFormBox(row + 3, 2400), 0, parent),
        Control(lblDSC, "lblDSC", "D.S.C:", UserFormCaption(row + 4), 0, parent),
        Control(txtDSC, "txtDSC", "", UserFormBox(row + 4, 700), 4, parent),
        Control(chkPagerIsGroup, "chkPagerIsGroup", "Set as a Group Pager", groupCheck, 0, parent),
        Control(cmbGroup, "cmbGroup", "", UserFormBox(row + 5, 1200), 0, parent),
        Control(fraGroups, "fraGroups", "Groups", {120, frameTop, 4740, 1200}, 0, parent),
        Control(lblGroups[0], "lblGroupFirst", "&1st:", groupCaption[0], 0, "fraGroups"),
        Control(cmbGroups[0], "cmbGroupFirst", "", groupList[0], 0, "fraGroups"),
        Control(lblGroups[1], "lblGroupSecond", "&2nd:", groupCaption[1], 0, "fraGroups"),
        Control(cmbGroups[1], "cmbGroupSecond", "", groupList[1], 0, "fraGroups"),
        Control(lblGroups[2], "lblGroupThird", "&3rd:", groupCaption[2], 0, "fraGroups"),
        Control(cmbGroups[2], "cmbGroupThird", "", groupList[2], 0, "fraGroups"),
        Control(lblGroups[3], "lblGroupFourth", "&4th:", groupCaption[3], 0, "fraGroups"),
        Control(cmbGroups[3], "cmbGroupFourth", "", groupList[3], 0, "fraGroups"),
    };
}

void PagerSettingControls::Connect()
{
    QObject::connect(chkPagerIsGroup, &QCheckBox::toggled, fraGroups, [this] { ApplyGroupRule(); });
}

void PagerSettingControls::FillLists()
{
    for (QComboBox* list : {cmbPagerType, cmbPagerFormat, cmbPagerBaud, cmbPagerMode, cmbGroup, cmbGroups[0],
                            cmbGroups[1], cmbGroups[2], cmbGroups[3]})
        list->clear();
    FillPagerTypeCombo(AsOptionList(cmbPagerType), 0);
    FillPagerFormatCombo(AsOptionList(cmbPagerFormat), 0);
    FillPagerBaudCombo(AsOptionList(cmbPagerBaud), 0);
    FillPagerModeCombo(AsOptionList(cmbPagerMode), 0);
    FillPagerGroupCombo(AsOptionList(cmbGroup), -1);
    for (QComboBox* list : cmbGroups)
        FillPagerGroupCombo(AsOptionList(list), -1);
    filledFor = UserCodesUnit();
}

bool PagerSettingControls::FilledForUnitNow() const { return UserCodesUnit() == filledFor; }

void PagerSettingControls::ApplyGroupRule()
{
    const bool group = chkPagerIsGroup->isChecked();
    fraGroups->setEnabled(!group);
    lblGroups[0]->setEnabled(!group);
    cmbGroups[0]->setEnabled(!group);
    cmbGroup->setEnabled(group);
    // The QX7XXX keeps one group per pager, and only a number above 900 makes a group pager.
    const bool qx7 = CurrentUserEncoderClass() == UserEncoderClass::QX7;
    if (qx7)
        cmbGroup->setEnabled(false);
    for (std::size_t i = 1; i < 4; ++i) {
        lblGroups[i]->setEnabled(!qx7 && !group);
        cmbGroups[i]->setEnabled(!qx7 && !group);
    }
    cmbGroup->setCurrentIndex(-1);
    for (QComboBox* list : cmbGroups)
        list->setCurrentIndex(-1);
}

void PagerSettingControls::FollowPagerNumber(long pagerNo)
{
    if (!NumberDecidesGroupPager())
        return;
    const std::string group = GroupOfGroupPager(pagerNo);
    chkPagerIsGroup->setChecked(!group.empty());
    SelectComboText(cmbGroup, group);
}

void PagerSettingControls::ReadInto(UserFormFields& f) const
{
    f.dsc = FromQString(txtDSC->text());
    f.pagerTypeText = ComboText(cmbPagerType);
    f.formatText = ComboText(cmbPagerFormat);
    f.baudText = ComboText(cmbPagerBaud);
    f.modeText = ComboText(cmbPagerMode);
    f.isGroup = chkPagerIsGroup->isChecked();
    f.groupText = ComboText(cmbGroup);
    for (std::size_t i = 0; i < 4; ++i)
        f.groupTexts[i] = ComboText(cmbGroups[i]);
}

bool PagerSettingControls::KeepChoicesForUnit(const UserFormFields& chosen, const UserFormFields* shownBefore,
                                              std::string_view button)
{
    std::vector<std::string> notOffered;
    // An entry the operator left as it was shown is the unit's own reading now.
    const auto operatorsChoice = [shownBefore](const auto& choice, const auto UserFormFields::*field) {
        return !shownBefore || choice != shownBefore->*field;
    };
    // A list the unit's rules switched off offers nothing, whatever it holds.
    const auto keep = [&notOffered](QComboBox* list, const std::string& choice, bool mustBeOpen,
                                    std::string_view name) {
        if (choice == ComboText(list))
            return;
        const bool held = list->findText(ToQString(choice), Qt::MatchExactly) >= 0;
        const bool open = !mustBeOpen || list->isEnabledTo(list->window());
        if (Trim(choice).empty()) {
            if (open)
                SelectComboText(list, held ? choice : std::string());
        } else if (held && open) {
            SelectComboText(list, choice);
        } else {
            notOffered.push_back(std::string(name) + " \"" + choice + "\"");
        }
    };
    const struct {
        QComboBox* list;
        std::string UserFormFields::*field;
        const char* name;
    } settings[] = {
        {cmbPagerType, &UserFormFields::pagerTypeText, "Pager Type"},
        {cmbPagerFormat, &UserFormFields::formatText, "Format"},
        {cmbPagerBaud, &UserFormFields::baudText, "Baud Rate"},
        {cmbPagerMode, &UserFormFields::modeText, "Mode"},
    };
    for (const auto& s : settings)
        if (operatorsChoice(chosen.*s.field, s.field))
            keep(s.list, chosen.*s.field, false, s.name);
    if (operatorsChoice(chosen.dsc, &UserFormFields::dsc))
        txtDSC->setText(ToQString(chosen.dsc));

    // Before the groups: the check box clears every group list when it changes.
    if (operatorsChoice(chosen.isGroup, &UserFormFields::isGroup)
        && chosen.isGroup != chkPagerIsGroup->isChecked()) {
        if (chkPagerIsGroup->isEnabledTo(chkPagerIsGroup->window()))
            chkPagerIsGroup->setChecked(chosen.isGroup);
        else if (chosen.isGroup)
            notOffered.push_back("\"Set as a Group Pager\"");
    }
    // A tick the unit's rules locked, with no group of theirs behind it (a
    // digit-code unit, a QX7XXX number up to 900), could neither be unticked
    // nor given a group: it is dropped, and never reaches the unit as "G".
    if (chkPagerIsGroup->isChecked() && !chkPagerIsGroup->isEnabledTo(chkPagerIsGroup->window())
        && Trim(ComboText(cmbGroup)).empty()) {
        chkPagerIsGroup->setChecked(false);
        notOffered.push_back("\"Set as a Group Pager\"");
    }
    if (operatorsChoice(chosen.groupText, &UserFormFields::groupText))
        keep(cmbGroup, chosen.groupText, true, "Group");
    const char* groupNames[] = {"1st group", "2nd group", "3rd group", "4th group"};
    for (std::size_t i = 0; i < 4; ++i)
        if (!shownBefore || chosen.groupTexts[i] != shownBefore->groupTexts[i])
            keep(cmbGroups[i], chosen.groupTexts[i], true, groupNames[i]);

    if (notOffered.empty())
        return true;
    std::string named;
    for (const std::string& choice : notOffered)
        named += (named.empty() ? "" : ", ") + choice;
    const std::string tail = button.empty() ? std::string(". Please choose again.")
                                            : ". Please choose again and press " + std::string(button) + " again.";
    ShowMessage("Connected to " + gEncoderModelName + ", which does not offer " + named + tail, kButtonsOk,
                kAnswerOk, kIconExclamation);
    return false;
}
