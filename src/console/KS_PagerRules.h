#pragma once
// The rules of the user directory that depend on the connected unit: which
// class of encoder it is, which pager numbers are its group pagers, how a
// group is stored in a user record, and which pager settings it refuses. The
// user dialog and the database programmer both follow them.

#include <optional>
#include <string>
#include <string_view>

#include "KS_PagingCodes.h"

enum class UserEncoderClass {
    DigitCode,  // model letters X, Y, R and U
    QX7,        // the family QX7XXX
    LetterCode, // every other encoder
};

// The class of a unit's user codes. Of two units of other classes, a stored
// code means another type, or another group, to each.
UserEncoderClass UserEncoderClassOf(const UserCodeUnit& unit);
// The class of the unit of UserCodesUnit at the moment of the call: detection
// may have found another unit since the window opened.
UserEncoderClass CurrentUserEncoderClass();

// On digit-code and QX7XXX encoders pagers 901-999 are group pagers that live in Pager.DBS only.
inline constexpr long kFirstReservedPager = 901;
bool ReservedRangeApplies();
bool IsReservedPager(long pagerNo);
// Asks whether the reserved pagers may go to the computer only; true on Yes.
bool ConfirmReservedPagers();

// On the QX7XXX the number alone makes a user a group pager.
bool NumberDecidesGroupPager();
// The group a pager number above 900 stands for as a group pager ("05" for 905); "" for 900 and below.
std::string GroupOfGroupPager(long pagerNo);

// The byte that a group list's text is stored as; groupIndex 1..4. groupPager:
// the text names the group that a group pager stands for (the first byte).
std::string GroupByteFromText(std::string_view listText, int groupIndex, bool groupPager);
// The item text that a stored group byte of an individual pager selects; "" for none.
std::string GroupTextFromByte(std::string_view byte);

// A pager setting the connected unit cannot take: what to tell the operator,
// with which icon, and whether the mode (else the pager type) is to be changed.
struct PagerSettingRefusal {
    std::string message;
    int icon;
    bool changeMode;
};
std::optional<PagerSettingRefusal> RefusedPagerSetting(std::string_view typeText, std::string_view baudText,
                                                       std::string_view modeText);
