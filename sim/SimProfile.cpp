#include "SimProfile.h"

namespace sim {

namespace {

bool OneOf(char letter, std::string_view letters)
{
    return letters.find(letter) != std::string_view::npos;
}

constexpr std::string_view kModelLetters = "ABEFGHIJKLMNOPQRSTUWXY";
// Tone generators and the speaker hold no message tables of their own.
constexpr std::string_view kNoMessageTables = "KQST";

} // namespace

std::string_view ModelLetters() { return kModelLetters; }

Profile ProfileFor(char letter)
{
    Profile p;
    p.letter = letter;
    p.identifies = true;
    if (!OneOf(letter, kModelLetters)) {
        p.clock = ClockForm::TwoCommand;
        p.users = UserForm::Letter;
        return p;
    }

    const bool tables = !OneOf(letter, kNoMessageTables);
    // The sizes are those of the tables each model really holds; a model whose
    // table the console never asks for still refuses the question honestly.
    // The PABX and fast-key tables are sized unlike the console's fallbacks
    // (20 and 10), so a size read can be told from a size defaulted.
    if (tables && !OneOf(letter, "IULRW"))
        p.alarm.size = 24;
    if (tables)
        p.pabx.size = 16;
    if (OneOf(letter, "ABXY"))
        p.fastkey.size = 12;
    if (OneOf(letter, "ABXYR"))
        p.freetext.size = 49;
    if (OneOf(letter, "BXYR"))
        p.wireless.size = 200;

    if (OneOf(letter, "AB"))
        p.toneReply = "T0001";
    if (OneOf(letter, "LPJMNOWRXQY")) {
        p.toneGenerator = true;
        p.calendarEventsPerDay = 48;
    }
    if (letter == 'H' || letter == 'I')
        p.option = '1';
    if (letter == 'I')
        p.value3 = "005";

    p.clock = OneOf(letter, "UJMNOWRXQY") ? ClockForm::OneCommand : ClockForm::TwoCommand;
    p.users = OneOf(letter, "XYRU") ? UserForm::Digit
        : OneOf(letter, "EFGHIJLMNOPW") ? UserForm::QX7
                                         : UserForm::Letter;
    return p;
}

Profile LegacyProfile(Legacy variant)
{
    Profile p;
    // A legacy unit never reports a letter; this one is only for the transcript.
    p.letter = '-';
    p.identifies = false;
    p.acknowledgesBarePage = variant == Legacy::QX7;
    p.version.clear();
    p.clock = ClockForm::TwoCommand;
    p.users = variant == Legacy::QX7 ? UserForm::QX7 : UserForm::Letter;
    return p;
}

} // namespace sim
