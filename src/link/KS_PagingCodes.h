#pragma once
// Module KS_Paging, user-record codes: the one-character codes of a user
// record (pager type, baud, format, mode, group flag) and the user-record
// string in which a user travels to and from the encoder. Everything here
// codes a user for the unit that UserCodesUnit names.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "PagerFields.h"

// The encoders whose user record uses digit pager-type codes and the 54-character string.
bool IsDigitCodeEncoder(std::string_view modelLetter);

// The unit whose codes the users of Pager.DBS are read and written in. The
// file holds the codes of the unit they were written for, so while no unit
// answers that is the last unit identified, not whatever the silence makes of
// it; with none ever identified the letter is "N/A" (no unit).
struct UserCodeUnit {
    std::string letter;
    std::string family;
    bool Known() const { return letter != "N/A"; }
    bool operator==(const UserCodeUnit&) const = default;
};
// The unit answering now (gEncoderModelLetter), else the one remembered in
// the settings; also while a unit that holds no pagers answers.
UserCodeUnit UserCodesUnit();
// After a detection: an encoder of a family whose user codes are known
// (QX7XXX, QX8XXX, Not Defined) that answered on the encoder's line is
// remembered as the one whose codes Pager.DBS holds. A device on the line, a
// time receiver or a speaker is no such encoder.
void RememberEncoderModel();

// Code to text when toText, else text to code, in the code family of the unit
// of UserCodesUnit. With no unit known a code reads in the family it belongs
// to (a letter or a digit), and a text gets its letter code.
std::string PagerTypeCodeText(std::string_view value, bool toText);
// The image of a pager type in the users' list views.
std::int16_t PagerTypeIconIndex(std::string_view code);
std::string BaudCodeText(std::string_view value, bool toText);
std::string PagerFormatCodeText(std::string_view value, bool toText);
// fromValue: "0"/"16"/"32"/"48" to "0".."3"; otherwise the reverse.
std::string PagerModeCodeValue(std::string_view value, bool fromValue);
// fromFlag: the value is a stored flag; otherwise a check-box value ("1" set).
std::string PagerGroupFlagCode(std::string_view value, bool fromFlag);
// The pager-type digit that the 54-character string carries.
std::string PagerTypeDigitCode(std::string_view code);

// The user-record string for "A" <string> "M": 44 characters on letter-code
// encoders, 54 on digit-code encoders. Empty, with the reason in *error, when
// the record holds a carriage return, which would end the command line.
std::optional<std::string> BuildEncoderUserRecord(const PagerFields& record, std::string* error = nullptr);

// Fills record from the encoder's answer to a user read. A line too short for
// the unit's layout is refused: false, and record is left as it was.
bool ParseEncoderUserRecord(PagerFields& record, std::string_view line);
