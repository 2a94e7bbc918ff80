#include "KS_PagingCodes.h"

#include <span>

#include "KS_Globals.h"
#include "KS_Registry.h"
#include "KS_String.h"

namespace {

struct PagerTypeCode {
    std::string_view text;
    std::string_view letter; // empty: the letter-code encoders have no such type
    std::string_view digit;
};

constexpr PagerTypeCode kPagerTypes[] = {
    {"AlphaNumeric", "A", "0"},     {"Numeric", "N", "1"},        {"Tone-Only", "T", "2"},
    {"Voice", "V", "3"},            {"Wireless Speaker", "S", "4"}, {"Widearea", "W", "5"},
    {"Portable Radio", "R", "6"},   {"Phone", "", "7"},           {"LED Display", "", "8"},
    {"Intercom Station", "", "9"},
};

struct CodePair {
    std::string_view code;
    std::string_view text;
};

constexpr CodePair kBaudCodes[] = {{"5", "512"}, {"1", "1200"}, {"2", "2400"}};
constexpr CodePair kFormatCodes[] = {{"P", "POCSAG"}, {"G", "GOLAY"}, {"2", "2 Tone"}, {"5", "5-6 Tone"}};
constexpr CodePair kModeValues[] = {{"0", "0"}, {"1", "16"}, {"2", "32"}, {"3", "48"}};

// The first pair is the default in both directions.
std::string convertPair(std::span<const CodePair> pairs, std::string_view value, bool toText)
{
    for (const auto& pair : pairs)
        if ((toText ? pair.code : pair.text) == value)
            return std::string(toText ? pair.text : pair.code);
    return std::string(toText ? pairs.front().text : pairs.front().code);
}

bool modelIsU() { return UserCodesUnit().letter == "U"; }

constexpr std::string_view kLastModelSetting = "Last Encoder Model";
constexpr std::string_view kLastFamilySetting = "Last Encoder Family";

// A fixed-length field as the record holds it: cut or blank-padded to its width.
std::string field(std::string_view value, std::size_t width) { return PadRight(value, width); }

// The characters of the answer line from 1-based position, blank-padded to the field's width.
std::string take(std::string_view line, std::size_t position, std::size_t count, std::size_t width)
{
    const std::size_t start = position - 1;
    const std::string_view chunk = start < line.size() ? line.substr(start, count) : std::string_view();
    return field(chunk, width);
}

std::string character(unsigned code) { return std::string(1, static_cast<char>(code)); }

PagerFields allZeroRecord()
{
    namespace W = PagerFieldWidth;
    PagerFields r;
    r.PagerNo.assign(W::PagerNo, '\0');
    r.UserName.assign(W::UserName, '\0');
    r.Capcode.assign(W::Capcode, '\0');
    r.PagerType.assign(W::PagerType, '\0');
    r.Baud.assign(W::Baud, '\0');
    r.Phone.assign(W::Phone, '\0');
    r.Format.assign(W::Format, '\0');
    r.Mode.assign(W::Mode, '\0');
    r.GroupFlag.assign(W::GroupFlag, '\0');
    r.Group1.assign(W::Group, '\0');
    r.Group2.assign(W::Group, '\0');
    r.Group3.assign(W::Group, '\0');
    r.Group4.assign(W::Group, '\0');
    r.InUse.assign(W::InUse, '\0');
    r.DSC.assign(W::DSC, '\0');
    return r;
}

// Baud in the low four bits, mode in the high four: the letter-code encoders keep both in one byte.
void setBaudAndMode(PagerFields& r, unsigned char combined)
{
    r.Baud = field(std::to_string(combined & 15), PagerFieldWidth::Baud);
    r.Mode = field(PagerModeCodeValue(std::to_string(combined & 240), true), PagerFieldWidth::Mode);
}

std::optional<std::string> refuse(std::string* error, std::string message)
{
    if (error)
        *error = std::move(message);
    return std::nullopt;
}

constexpr std::size_t kLetterRecordLength = 44;
constexpr std::size_t kDigitRecordLength = 54;
constexpr std::size_t kQX7AnswerLength = 16;

} // namespace

bool IsDigitCodeEncoder(std::string_view m) { return m == "X" || m == "Y" || m == "R" || m == "U"; }

UserCodeUnit UserCodesUnit()
{
    // A time receiver, a tone generator or a speaker answering on the
    // encoder's line holds no pagers: read by its codes, every user of the
    // file would show as Numeric, and an update would store a code the
    // encoder never used.
    const bool holdsNoPagers = gEncoderFamily == "HTG-XXX" || gEncoderFamily == "HPA-XXX";
    if (gEncoderModelLetter != "N/A" && !holdsNoPagers)
        return {gEncoderModelLetter, gEncoderFamily};
    // A unit without a letter of its own (the legacy kind) is remembered by its family alone.
    if (!gLastEncoderFamily.empty())
        return {gLastEncoderModelLetter, gLastEncoderFamily};
    return {"N/A", ""};
}

void RememberEncoderModel()
{
    if (gEncoderModelLetter == "N/A" || gDeviceWindowsOpen > 0)
        return;
    // A time receiver or a speaker answering on the encoder's line holds no
    // pagers, and a unit of no known family has no user codes of its own:
    // Pager.DBS stays read and written in the codes of the encoder it was.
    if (gEncoderFamily != "QX7XXX" && gEncoderFamily != "QX8XXX" && gEncoderFamily != "Not Defined")
        return;
    if (gLastEncoderModelLetter == gEncoderModelLetter && gLastEncoderFamily == gEncoderFamily)
        return;
    gLastEncoderModelLetter = gEncoderModelLetter;
    gLastEncoderFamily = gEncoderFamily;
    SaveConfigSetting(kLastModelSetting, gLastEncoderModelLetter);
    SaveConfigSetting(kLastFamilySetting, gLastEncoderFamily);
}

std::string PagerTypeCodeText(std::string_view value, bool toText)
{
    const UserCodeUnit unit = UserCodesUnit();
    const bool digits = IsDigitCodeEncoder(unit.letter);
    if (toText) {
        // The U encoder has no wide-area pagers; it gives their digit to the LED display.
        if (digits && unit.letter == "U" && value == "5")
            return "LED Display";
        for (const auto& type : kPagerTypes) {
            // No letter and digit code are alike, so without a unit a code still names its type.
            for (const std::string_view code : {digits ? type.digit : type.letter, unit.Known() ? "" : type.digit})
                if (!code.empty() && code == value)
                    return std::string(type.text);
        }
        return "Numeric";
    }
    for (const auto& type : kPagerTypes) {
        const std::string_view code = digits ? type.digit : type.letter;
        if (!code.empty() && type.text == value)
            return std::string(code);
    }
    return digits ? "1" : "N";
}

std::int16_t PagerTypeIconIndex(std::string_view code)
{
    struct Icon {
        std::string_view letter;
        std::string_view digit;
        std::int16_t index;
    };
    static constexpr Icon kIcons[] = {
        {"A", "0", 2}, {"N", "1", 3}, {"T", "2", 1}, {"V", "3", 4}, {"S", "4", 9},
        {"W", "5", 5}, {"R", "6", 7}, {"", "7", 10}, {"", "8", 11}, {"", "9", 12},
    };
    for (const auto& icon : kIcons) {
        if ((!icon.letter.empty() && code == icon.letter) || code == icon.digit) {
            if (icon.index == 5 && modelIsU())
                return 11;
            return icon.index;
        }
    }
    return 1;
}

std::string BaudCodeText(std::string_view value, bool toText) { return convertPair(kBaudCodes, value, toText); }

std::string PagerFormatCodeText(std::string_view value, bool toText)
{
    return convertPair(kFormatCodes, value, toText);
}

std::string PagerModeCodeValue(std::string_view value, bool fromValue)
{
    // The pairs run mode -> value, so "from value" is the pair's reverse direction.
    return convertPair(kModeValues, value, !fromValue);
}

std::string PagerGroupFlagCode(std::string_view value, bool fromFlag)
{
    return value == (fromFlag ? "G" : "1") ? "G" : "I";
}

std::string PagerTypeDigitCode(std::string_view code)
{
    std::string digit(code);
    for (const auto& type : kPagerTypes)
        if (!type.letter.empty() && type.letter == code)
            digit = type.digit;
    if (modelIsU()) {
        if (digit == "8")
            digit = "5";
        else if (digit == "5" || digit == "7" || digit == "9")
            digit = "0";
    }
    return digit;
}

std::optional<std::string> BuildEncoderUserRecord(const PagerFields& r, std::string* error)
{
    namespace W = PagerFieldWidth;
    const UserCodeUnit unit = UserCodesUnit();
    std::string groups = field(r.Group1, W::Group) + field(r.Group2, W::Group) + field(r.Group3, W::Group)
                         + field(r.Group4, W::Group);
    // A group never written is NULs in the file. The QX7XXX keeps a group as
    // its number, NUL being none; the others say none with a blank.
    if (unit.family != "QX7XXX")
        groups = ReplaceChar(groups, std::string_view("\0", 1), " ");
    std::string line;
    if (IsDigitCodeEncoder(unit.letter)) {
        line += field(r.PagerNo, W::PagerNo);
        line += field(r.Capcode, W::Capcode);
        line += field(r.UserName, W::UserName).substr(0, 16);
        line += field(r.Phone, W::Phone).substr(0, 16);
        line += field(PagerTypeDigitCode(field(r.PagerType, W::PagerType)), 1);
        line += field(r.Format, W::Format);
        line += field(r.Baud, W::Baud);
        line += field(r.Mode, W::Mode);
        line += groups;
        // A DSC never entered is four NULs in the file; the encoder wants blanks there.
        line += ReplaceChar(field(r.DSC, W::DSC), std::string_view("\0", 1), " ");
    } else {
        // On the QX7XXX a group byte is the group number itself, so group 13
        // would put a carriage return into the command and end it half-way.
        for (std::size_t i = 0; i < groups.size(); ++i) {
            const char g = groups[i];
            if (g == '\r') {
                const std::string number = unit.family == "QX7XXX"
                                               ? ZeroPad(static_cast<unsigned char>(g), 2)
                                               : std::string(1, g);
                return refuse(error, "Group " + number + " cannot be programmed into the " + gEncoderModelName +
                                         ". Please choose another group for pager " +
                                         Trim(field(r.PagerNo, W::PagerNo)) + ".");
            }
        }
        line += field(r.PagerNo, W::PagerNo);
        line += field(r.UserName, W::UserName).substr(0, 12);
        line += field(r.Capcode, W::Capcode);
        line += groups;
        line += field(r.PagerType, W::PagerType);
        line += field(r.Format, W::Format);
        const auto baud = static_cast<int>(Val(field(r.Baud, W::Baud)));
        const auto mode = static_cast<int>(Val(PagerModeCodeValue(field(r.Mode, W::Mode), false)));
        line += character(static_cast<unsigned>(baud + mode));
        line += field(r.GroupFlag, W::GroupFlag);
        line += field(r.InUse, W::InUse);
        line += field(r.Phone, W::Phone).substr(0, 13);
    }
    if (line.find('\r') != std::string::npos)
        return refuse(error, "The record of pager " + Trim(field(r.PagerNo, W::PagerNo)) +
                                 " holds a line break and cannot be sent to the " + gEncoderModelName + ".");
    return line;
}

bool ParseEncoderUserRecord(PagerFields& record, std::string_view line)
{
    namespace W = PagerFieldWidth;
    const UserCodeUnit unit = UserCodesUnit();
    PagerFields r = allZeroRecord();
    if (IsDigitCodeEncoder(unit.letter)) {
        // The answer starts with one character of its own before the record.
        if (line.size() < 1 + kDigitRecordLength)
            return false;
        r.PagerNo = take(line, 2, 3, W::PagerNo);
        r.Capcode = take(line, 5, 7, W::Capcode);
        r.UserName = take(line, 12, 16, W::UserName);
        r.Phone = take(line, 28, 16, W::Phone);
        r.PagerType = take(line, 44, 1, W::PagerType);
        r.Format = take(line, 45, 1, W::Format);
        r.Baud = take(line, 46, 1, W::Baud);
        r.Mode = take(line, 47, 1, W::Mode);
        r.Group1 = take(line, 48, 1, W::Group);
        r.Group2 = take(line, 49, 1, W::Group);
        r.Group3 = take(line, 50, 1, W::Group);
        r.Group4 = take(line, 51, 1, W::Group);
        r.DSC = take(line, 52, 4, W::DSC);
        r.InUse = "Y";
    } else if (unit.family != "QX7XXX") {
        if (line.size() < kLetterRecordLength)
            return false;
        r.PagerNo = take(line, 1, 3, W::PagerNo);
        r.UserName = take(line, 4, 12, W::UserName);
        r.Capcode = take(line, 16, 7, W::Capcode);
        r.Group1 = take(line, 23, 1, W::Group);
        r.Group2 = take(line, 24, 1, W::Group);
        r.Group3 = take(line, 25, 1, W::Group);
        r.Group4 = take(line, 26, 1, W::Group);
        r.PagerType = take(line, 27, 1, W::PagerType);
        r.Format = take(line, 28, 1, W::Format);
        setBaudAndMode(r, static_cast<unsigned char>(line[28]));
        r.GroupFlag = take(line, 30, 1, W::GroupFlag);
        r.InUse = take(line, 31, 1, W::InUse);
        r.Phone = take(line, 32, 13, W::Phone);
    } else {
        if (line.size() < kQX7AnswerLength)
            return false;
        r.PagerNo = take(line, 1, 3, W::PagerNo);
        r.Capcode = take(line, 4, 7, W::Capcode);
        r.PagerType = take(line, 12, 1, W::PagerType);
        r.Format = take(line, 13, 1, W::Format);
        setBaudAndMode(r, static_cast<unsigned char>(line[13]));
        r.UserName = field("", W::UserName);
        r.Phone = field("", W::Phone);
        r.Group2 = r.Group3 = r.Group4 = field("", W::Group);
        // Pagers 901 to 999 are the QX7XXX's group pagers: each stands for the group of its number less 900.
        const auto number = static_cast<long long>(Val(r.PagerNo));
        const bool group = number > 900;
        r.GroupFlag = group ? "G" : "I";
        r.Group1 = group ? character(static_cast<unsigned>(number - 900)) : take(line, 11, 1, W::Group);
        const char inUse = line[15];
        r.InUse = (inUse == 2 || group) ? std::string("Y") : std::string(1, inUse);
    }
    record = std::move(r);
    return true;
}
