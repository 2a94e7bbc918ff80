// The encoder's alarm-input table. Each generation of unit packs a point in
// its own form: "Z" point "?" reads one, "Z" point fields "W" writes one.
// The oldest units address a point with one digit and read it with "Z" digit
// " ?". A unit that counts its points from an offset (the QX6860 reports it
// in its identity) answers only for the points from offset + 1 on.

#include "SimEngine.h"

namespace sim {

namespace {

const std::string kRefused = "?99\r";
const std::string kAcknowledged = "*\r";

enum class AlarmForm { None, XY, U, Family8, Full, Other, Family7, Legacy };

struct AlarmTable {
    AlarmForm form = AlarmForm::None;
    int first = 1; // the unit's number of table slot 1
    int count = 0;
};

bool OneOf(char letter, std::string_view letters) { return letters.find(letter) != std::string_view::npos; }

bool Digits(std::string_view text)
{
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return !text.empty();
}

int Number(std::string_view digits)
{
    int value = 0;
    for (const char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

AlarmTable TableOf(const Profile& p)
{
    if (!p.identifies)
        return p.acknowledgesBarePage ? AlarmTable{AlarmForm::Legacy, 1, 7} : AlarmTable{};
    AlarmTable t;
    t.count = OneOf(p.letter, "IU") ? 96 : p.letter == 'L' ? 24 : p.alarm.size.value_or(0);
    if (p.letter == 'I' && Digits(p.value3))
        t.first = Number(p.value3);
    if (OneOf(p.letter, "XY"))
        t.form = AlarmForm::XY;
    else if (p.letter == 'U')
        t.form = AlarmForm::U;
    else if (OneOf(p.letter, "AB"))
        t.form = AlarmForm::Family8;
    else if (OneOf(p.letter, "HIGL"))
        t.form = AlarmForm::Full;
    else if (OneOf(p.letter, "EFJMNOPW"))
        t.form = AlarmForm::Family7;
    else
        t.form = AlarmForm::Other;
    if (t.count == 0)
        t.form = AlarmForm::None;
    return t;
}

std::size_t ReadLength(AlarmForm form)
{
    switch (form) {
    case AlarmForm::XY: return 63;
    case AlarmForm::U: return 79;
    case AlarmForm::Full: return 81;
    case AlarmForm::Family8:
    case AlarmForm::Other: return 36;
    case AlarmForm::Family7:
    case AlarmForm::Legacy: return 33;
    case AlarmForm::None: break;
    }
    return 0;
}

// Family7 units take three spare characters after the text that a read leaves out.
std::size_t WriteLength(AlarmForm form) { return form == AlarmForm::Family7 ? 36 : ReadLength(form); }

// A point that was never programmed: no pager, blank texts, every option off.
std::string BlankPoint(AlarmForm form)
{
    const std::string texts(60, ' ');
    switch (form) {
    case AlarmForm::XY: return std::string(53, ' ') + "000N000000";
    case AlarmForm::U: return "0000000" + texts + "00000+00101" + "0";
    case AlarmForm::Family8:
    case AlarmForm::Other: return "000" + std::string(30, ' ') + std::string(2, '\0') + "N";
    case AlarmForm::Full: return "000000" + texts + "0   00+00101001";
    case AlarmForm::Family7: return "000" + std::string(30, ' ');
    case AlarmForm::Legacy:
    case AlarmForm::None: break;
    }
    return {};
}

} // namespace

Engine::Reply Engine::AlarmCommand(const std::string& body)
{
    const AlarmTable table = TableOf(profile_);
    if (table.form == AlarmForm::None || body.empty())
        return kRefused;
    const std::size_t addressDigits = table.form == AlarmForm::Legacy ? 1 : 3;
    const std::string_view address = std::string_view(body).substr(0, addressDigits);
    if (body.size() <= addressDigits || !Digits(address))
        return kRefused;
    const int point = Number(address);
    if (point < table.first || point >= table.first + table.count)
        return kRefused;

    const std::string_view rest = std::string_view(body).substr(addressDigits);
    const std::string_view read = table.form == AlarmForm::Legacy ? " ?" : "?";
    if (rest == read) {
        const auto stored = alarms_.find(point);
        if (stored != alarms_.end())
            return stored->second + kAcknowledged;
        // The oldest units have nothing to say about a point never programmed.
        return table.form == AlarmForm::Legacy ? kAcknowledged : BlankPoint(table.form) + kAcknowledged;
    }
    if (rest.size() == WriteLength(table.form) + 1 && rest.back() == 'W') {
        alarms_[point] = std::string(rest.substr(0, ReadLength(table.form)));
        return kAcknowledged;
    }
    return kRefused;
}

void Engine::AddAlarmCommands()
{
    // After the table-size question "Z000?", which the built-in table answers first.
    commands_.push_back({R"(Z([\s\S]+))", std::regex(R"(Z([\s\S]+))"),
                         [](Engine& e, const std::smatch& m, std::int64_t) { return e.AlarmCommand(m.str(1)); }});
}

} // namespace sim
