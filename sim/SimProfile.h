#pragma once
// What one simulated unit is: its identity, the sizes of the tables it holds,
// its tone capabilities and the way its clock is set. A profile only
// describes; the engine answers from it.

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The two kinds of old unit that do not answer the identification request and
// are told apart by their answer to a bare page command.
enum class Legacy {
    QX7, // acknowledges a bare "P"
    QX8, // refuses a bare "P" with "?99"
};

// How the unit takes its clock: one write with date and time ("T" ... "UW"),
// or the time ("PT") and the date ("PD") as two page-style commands.
enum class ClockForm { OneCommand, TwoCommand };

// How the unit takes its users and reads them back.
enum class UserForm {
    Letter, // "A" brings 44 characters; a read answers them as they came
    Digit,  // "A" brings 54 characters; a read answers them between a reply character and the in-use flag
    QX7,    // "A" brings 44 characters; a read answers the 16 the unit keeps, padded to 44
};

// A table the unit may hold. The size is sent zero-padded to `digits`; a unit
// without the table refuses the size query.
struct TableSize {
    std::optional<int> size;
    int digits = 2;
};

struct Profile {
    char letter = 'X';
    // False for the legacy units: they refuse "?000M".
    bool identifies = true;
    // A legacy unit's answer to a bare "P": true "*", false "?99".
    bool acknowledgesBarePage = false;

    // Characters 1-5, 7 and 8-10 of the identity exactly as the unit sends them.
    std::string serial = "12345";
    char option = '0';
    std::string value3 = "001";

    // The value of the "?V" answer; empty means the unit refuses the query.
    std::string version = "2.10";

    TableSize alarm{{}, 3};
    TableSize pabx{{}, 2};
    TableSize fastkey{{}, 2};
    TableSize freetext{{}, 2};
    TableSize wireless{{}, 3};

    // The "?T" answer of the A and B units that report their tone generator
    // this way; empty means "?T" reads the clock like on any other unit.
    std::string toneReply;
    // "?TG": "TG1" or "TG0"; no value: the query is refused.
    std::optional<bool> toneGenerator;
    // "?TC": two digits; no value: the query is refused.
    std::optional<int> calendarEventsPerDay;

    ClockForm clock = ClockForm::TwoCommand;
    UserForm users = UserForm::Digit;
    // Some two-command units take "PT" only with hours and minutes.
    bool acceptsSecondsInTime = true;
};

// The model letters of the units the simulator plays, in order.
std::string_view ModelLetters();

// The profile of an identified unit with that model letter. A letter outside
// the model list gives a plain unit that holds no optional table.
Profile ProfileFor(char letter);

// The profile of a legacy unit.
Profile LegacyProfile(Legacy variant);

} // namespace sim
