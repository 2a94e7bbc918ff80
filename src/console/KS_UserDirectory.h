#pragma once
// What the user dialog and the database programmer share: the record built
// from what the operator typed, and the pager settings and groups they both edit.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "KS_FormBuilder.h"
#include "KS_PagerRules.h"
#include "KS_PagingCodes.h"
#include "KS_Records.h"

class QString;
class QWidget;

// The operator's entries, as the user dialog and the database programmer hold them.
struct UserFormFields {
    std::string pagerNo;
    std::string userName;
    std::string capcode;
    std::string phone;
    std::string dsc;
    std::string pagerTypeText;
    std::string formatText;
    std::string baudText;
    std::string modeText;
    bool isGroup = false;
    std::string groupText;                 // the group a group pager stands for
    std::array<std::string, 4> groupTexts; // first to fourth group of an individual pager
};

// A user read from Pager.DBS for a change: the record and the entries it showed as.
struct EditedUser {
    PagerRecord stored;
    UserFormFields shown;
};

// The record as it is sent and stored: in use, codes of the unit of
// UserCodesUnit. For an edited user every entry still as it was shown keeps
// the stored bytes, so a user saved unchanged is the same record and no code
// is turned into another family's or another unit's.
PagerRecord MakeUserRecord(const UserFormFields& fields, const EditedUser* edited = nullptr);

// Sends the user to the encoder as "A", the line and "M"; true when it is
// acknowledged. A unit that is not identified adds a user only where it holds
// none, so the user it holds under that number is read and deleted first; when
// the add is then refused, that user is put back, so a refusal never leaves the
// number empty on the unit.
bool SendUserToEncoder(const std::string& pagerNo, const std::string& line);

// The user windows lay out a column of captions and a column of boxes, one
// row of each every 420 twips; row 0 is the top row of the form.
inline constexpr int kUserFormRowPitch = 420;
inline constexpr int kUserFormBoxLeft = 2460;
inline TwipsRect UserFormCaption(int row) { return {120, 180 + row * kUserFormRowPitch, 2040, 255}; }
inline TwipsRect UserFormBox(int row, int width)
{
    return {kUserFormBoxLeft, 120 + row * kUserFormRowPitch, width, 315};
}

// The pager settings and groups that the user dialog and the database
// programmer both edit, built and ruled the same way in both.
struct PagerSettingControls {
    QLabel* lblPagerType = nullptr;
    QComboBox* cmbPagerType = nullptr;
    QLabel* lblPagerFormat = nullptr;
    QComboBox* cmbPagerFormat = nullptr;
    QLabel* lblPagerBaud = nullptr;
    QComboBox* cmbPagerBaud = nullptr;
    QLabel* lblPagerMode = nullptr;
    QComboBox* cmbPagerMode = nullptr;
    QLabel* lblDSC = nullptr;
    QLineEdit* txtDSC = nullptr;
    QCheckBox* chkPagerIsGroup = nullptr;
    QComboBox* cmbGroup = nullptr;
    QGroupBox* fraGroups = nullptr;
    std::array<QLabel*, 4> lblGroups{};      // lblGroupFirst .. lblGroupFourth
    std::array<QComboBox*, 4> cmbGroups{};   // cmbGroupFirst .. cmbGroupFourth
    UserCodeUnit filledFor{};

    // The table rows of the controls from firstRow down, inside the named frame
    // (nullptr: the form itself). The members are filled when the table is built.
    std::vector<FormControl> Controls(int firstRow, const char* parentName);
    // Rows that Controls takes.
    static constexpr int kRows = 9;
    // Once the table is built: the group check box rules the lists from then on.
    void Connect();
    // The code lists with their first entry, the group lists without a selection,
    // in the codes of the unit UserCodesUnit names now.
    void FillLists();
    // Whether the lists were filled for the unit whose codes a send uses now:
    // another unit identified since (at Program or OK, or by anything else)
    // may lack what the operator chose in them.
    bool FilledForUnitNow() const;
    // The group check box changed: the frame and lists follow it, and every group list loses its selection.
    void ApplyGroupRule();
    // Where the number decides it, a pager number above 900 makes the user the
    // group pager of its group and one up to 900 an individual pager.
    void FollowPagerNumber(long pagerNo);
    // The controls' texts into the fields (pager number, name, capcode and phone are the caller's).
    void ReadInto(UserFormFields& fields) const;
    // A unit identified only once the operator had made his choices, with the
    // lists filled again for it: selects again every choice (with shownBefore,
    // only those the operator changed from what was shown) that the unit's
    // lists still offer. The ones they no longer offer are dropped and named in
    // a message that asks for the button to be pressed again (no button: to
    // choose again); false then.
    bool KeepChoicesForUnit(const UserFormFields& chosen, const UserFormFields* shownBefore,
                            std::string_view button);

    // Gives a form its members of the same names, so handlers and tests find the controls there.
    template <class Form>
    void ExposeIn(Form& form) const
    {
        form.cmbPagerType = cmbPagerType;
        form.cmbPagerFormat = cmbPagerFormat;
        form.cmbPagerBaud = cmbPagerBaud;
        form.cmbPagerMode = cmbPagerMode;
        form.txtDSC = txtDSC;
        form.chkPagerIsGroup = chkPagerIsGroup;
        form.cmbGroup = cmbGroup;
        form.fraGroups = fraGroups;
        form.cmbGroupFirst = cmbGroups[0];
        form.cmbGroupSecond = cmbGroups[1];
        form.cmbGroupThird = cmbGroups[2];
        form.cmbGroupFourth = cmbGroups[3];
    }
};

// A record's text field as a widget shows it: trimmed, and without the NULs of
// a field never written, which a widget would draw as boxes.
QString RecordFieldText(std::string_view field);

// The selected item's text, "" when nothing is selected.
std::string ComboText(const QComboBox* combo);
// Selects the item with exactly this text; none when there is no such item.
void SelectComboText(QComboBox* combo, std::string_view text);
