#include "KS_PagerRules.h"

#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_PagingCodes.h"
#include "KS_String.h"

namespace {

std::string character(long code) { return std::string(1, static_cast<char>(static_cast<unsigned char>(code))); }

bool blank(std::string_view byte) { return byte.empty() || byte[0] == ' ' || byte[0] == '\0'; }

std::string twoDigits(long value) { return value >= 1 && value <= 99 ? ZeroPad(value, 2) : std::string(); }

} // namespace

UserEncoderClass CurrentUserEncoderClass() { return UserEncoderClassOf(UserCodesUnit()); }

UserEncoderClass UserEncoderClassOf(const UserCodeUnit& unit)
{
    if (IsDigitCodeEncoder(unit.letter))
        return UserEncoderClass::DigitCode;
    if (unit.family == "QX7XXX")
        return UserEncoderClass::QX7;
    return UserEncoderClass::LetterCode;
}

bool ReservedRangeApplies() { return CurrentUserEncoderClass() != UserEncoderClass::LetterCode; }

bool IsReservedPager(long pagerNo) { return ReservedRangeApplies() && pagerNo >= kFirstReservedPager; }

bool ConfirmReservedPagers()
{
    return ShowMessage("Pagers 901-999 are reserved and will be programmed on the PC database only. Continue?",
                       kButtonsYesNo, kAnswerYes, kIconQuestion)
           == kAnswerYes;
}

bool NumberDecidesGroupPager() { return CurrentUserEncoderClass() == UserEncoderClass::QX7; }

std::string GroupOfGroupPager(long pagerNo) { return pagerNo > 900 ? twoDigits(pagerNo - 900) : std::string(); }

std::string GroupByteFromText(std::string_view listText, int groupIndex, bool groupPager)
{
    const std::string text = Trim(listText);
    const auto number = static_cast<long>(Val(text));
    switch (CurrentUserEncoderClass()) {
    case UserEncoderClass::DigitCode:
        // The digit-code encoders offset every group by 32, so no group is a
        // control character; a group pager's own group is kept the same way.
        return character(number + 32);
    case UserEncoderClass::QX7:
        if (groupIndex == 1 || groupPager)
            return character(number);
        // The unit keeps only its first group; the others are blank as it reports them.
        return text.empty() ? std::string(" ") : character(number);
    case UserEncoderClass::LetterCode: break;
    }
    return text.empty() ? std::string(" ") : text.substr(0, 1);
}

std::string GroupTextFromByte(std::string_view byte)
{
    const long code = byte.empty() ? 0 : static_cast<unsigned char>(byte[0]);
    switch (CurrentUserEncoderClass()) {
    case UserEncoderClass::DigitCode: return blank(byte) ? std::string() : twoDigits(code - 32);
    case UserEncoderClass::QX7:
        // A group byte is the group number itself; a blank one is no group.
        return blank(byte) ? std::string() : twoDigits(code);
    case UserEncoderClass::LetterCode: break;
    }
    return blank(byte) ? std::string() : std::string(byte.substr(0, 1));
}

std::optional<PagerSettingRefusal> RefusedPagerSetting(std::string_view typeText, std::string_view baudText,
                                                       std::string_view modeText)
{
    if (CurrentUserEncoderClass() == UserEncoderClass::QX7 && baudText == "2400"
        && (modeText == "3" || modeText == "0"))
        return PagerSettingRefusal{"The Baud Rate and Mode combination is not supported by " + gEncoderModelName
                                       + ". Please change Baud Rate or Mode.",
                                   kIconCritical, true};
    // The U has no wide-area, radio, phone or intercom pagers of its own.
    if (UserCodesUnit().letter == "U"
        && (typeText == "Intercom Station" || typeText == "Phone" || typeText == "Portable Radio"
            || typeText == "Widearea"))
        return PagerSettingRefusal{"Pager Type is not supported by " + gEncoderModelName + ". Please change Pager Type.",
                                   kIconExclamation, false};
    return std::nullopt;
}
