// The free-text keyword table ("F" nn) and the wireless-device table ("W" nnn).
// Each unit speaks the layout its firmware has: the letter decides, and on X
// and R units the version does too. A write that does not fit the unit's
// layout exactly is refused, as the unit cannot tell where its fields lie.

#include "SimDigits.h"
#include "SimEngine.h"

namespace sim {

namespace {

const std::string kRefused = "?99\r";
const std::string kAcknowledged = "*\r";

enum class KeywordForm { KeywordFirst, Extended, PagerFirst };
enum class DeviceForm { A, B, C, D };

std::string Padded(int value, std::size_t width)
{
    std::string digits = std::to_string(value);
    digits.insert(0, width > digits.size() ? width - digits.size() : 0, '0');
    return digits;
}

// Whether the unit's firmware is at least whole.fraction; the fraction is
// compared digit by digit, as the firmware numbers its releases (3.16 > 3.159).
bool FirmwareAtLeast(const std::string& version, int whole, std::string fraction)
{
    std::size_t i = 0;
    while (i < version.size() && version[i] >= '0' && version[i] <= '9')
        ++i;
    const int ownWhole = DigitsValue(version.substr(0, i));
    if (ownWhole != whole)
        return ownWhole > whole;
    std::string ownFraction;
    if (i < version.size() && version[i] == '.')
        for (++i; i < version.size() && version[i] >= '0' && version[i] <= '9'; ++i)
            ownFraction += version[i];
    const std::size_t width = std::max(ownFraction.size(), fraction.size());
    ownFraction.resize(width, '0');
    fraction.resize(width, '0');
    return ownFraction >= fraction;
}

KeywordForm KeywordFormOf(const Profile& p)
{
    if (p.letter == 'Y' || (p.letter == 'X' && !FirmwareAtLeast(p.version, 3, "1")))
        return KeywordForm::KeywordFirst;
    if (p.letter == 'X' || p.letter == 'R')
        return KeywordForm::Extended;
    return KeywordForm::PagerFirst;
}

// Older X firmware takes keywords but keeps no way to read them back.
bool KeywordsReadable(const Profile& p) { return p.letter != 'X' || FirmwareAtLeast(p.version, 3, "1"); }

DeviceForm DeviceFormOf(const Profile& p)
{
    if (p.letter == 'X')
        return FirmwareAtLeast(p.version, 3, "2")    ? DeviceForm::D
            : FirmwareAtLeast(p.version, 3, "16") ? DeviceForm::C
                                                   : DeviceForm::B;
    if (p.letter == 'R')
        return FirmwareAtLeast(p.version, 1, "05")   ? DeviceForm::D
            : FirmwareAtLeast(p.version, 1, "02") ? DeviceForm::C
                                                   : DeviceForm::B;
    return p.letter == 'Y' ? DeviceForm::B : DeviceForm::A;
}

bool SlotInTable(const TableSize& table, int slot) { return table.size && slot >= 1 && slot <= *table.size; }

std::string KeywordAnswer(KeywordForm form, const FreetextSlot& e)
{
    const std::string pager = Padded(e.pager, 3);
    const std::string active = e.pager > 0 ? "1" : "0";
    switch (form) {
    case KeywordForm::KeywordFirst: return e.keyword + pager + active;
    case KeywordForm::Extended: return e.keyword + pager + e.message + (e.replace ? "Y" : "N") + active;
    case KeywordForm::PagerFirst: return pager + e.keyword;
    }
    return {};
}

// The entry a write brings, or nothing when the data does not fit the layout.
std::optional<FreetextSlot> KeywordFromWrite(KeywordForm form, std::string_view data, const FreetextSlot& old)
{
    FreetextSlot e = old;
    std::string_view pager;
    std::string_view active = "0";
    switch (form) {
    case KeywordForm::KeywordFirst:
        if (data.size() != 34)
            return std::nullopt;
        e.keyword = data.substr(0, 30);
        pager = data.substr(30, 3);
        active = data.substr(33, 1);
        break;
    case KeywordForm::Extended:
        if (data.size() != 65 || (data[63] != 'Y' && data[63] != 'N'))
            return std::nullopt;
        e.keyword = data.substr(0, 30);
        pager = data.substr(30, 3);
        e.message = data.substr(33, 30);
        e.replace = data[63] == 'Y';
        active = data.substr(64, 1);
        break;
    case KeywordForm::PagerFirst:
        if (data.size() != 33)
            return std::nullopt;
        pager = data.substr(0, 3);
        e.keyword = data.substr(3, 30);
        break;
    }
    if (!AllDigits(pager) || (active != "0" && active != "1"))
        return std::nullopt;
    e.pager = DigitsValue(pager);
    return e;
}

std::string DeviceAnswer(DeviceForm form, const WirelessSlot& w)
{
    const std::string pager = Padded(w.pager, 3);
    const std::string repeat = Padded(w.repeatMinutes, 2);
    const std::string supervised = w.supervised ? "Y" : "N";
    const std::string plan = Padded(w.plan, 1);
    const std::string active = w.pager > 0 ? "1" : "0";
    switch (form) {
    case DeviceForm::A: return pager + w.message + repeat + Padded(w.deviceCode % 1000, 3) + supervised;
    case DeviceForm::B:
        return w.message + pager + Padded(w.deviceCode % 1000, 3) + Padded(w.cancelCode, 3) + repeat + plan
            + supervised + active;
    case DeviceForm::C:
        return w.message + pager + Padded(w.deviceCode, 7) + repeat + plan + supervised + (w.call == 'C' ? "C" : "N")
            + active;
    case DeviceForm::D:
        return w.message + pager + Padded(w.deviceCode, 7) + repeat + plan + supervised + std::string(1, w.call)
            + active;
    }
    return {};
}

// Cuts the data into fields of the given widths; nothing unless it fits exactly.
std::optional<std::vector<std::string_view>> Fields(std::string_view data, std::initializer_list<std::size_t> widths)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    for (const std::size_t w : widths) {
        if (at + w > data.size())
            return std::nullopt;
        fields.push_back(data.substr(at, w));
        at += w;
    }
    if (at != data.size())
        return std::nullopt;
    return fields;
}

std::optional<WirelessSlot> DeviceFromWrite(DeviceForm form, std::string_view data, const WirelessSlot& old)
{
    WirelessSlot w = old;
    std::string_view message, pager, code, cancel = "000", repeat, plan = "0", supervised, call = "1", active = "0";
    if (form == DeviceForm::A) {
        const auto f = Fields(data, {3, 30, 2, 3, 1});
        if (!f)
            return std::nullopt;
        pager = (*f)[0], message = (*f)[1], repeat = (*f)[2], code = (*f)[3], supervised = (*f)[4];
    } else if (form == DeviceForm::B) {
        const auto f = Fields(data, {30, 3, 3, 3, 2, 1, 1, 1});
        if (!f)
            return std::nullopt;
        message = (*f)[0], pager = (*f)[1], code = (*f)[2], cancel = (*f)[3], repeat = (*f)[4], plan = (*f)[5],
        supervised = (*f)[6], active = (*f)[7];
    } else {
        const auto f = Fields(data, {30, 3, 7, 2, 1, 1, 1, 1});
        if (!f)
            return std::nullopt;
        message = (*f)[0], pager = (*f)[1], code = (*f)[2], repeat = (*f)[3], plan = (*f)[4], supervised = (*f)[5],
        call = (*f)[6], active = (*f)[7];
        const std::string_view calls = form == DeviceForm::C ? "CN" : "CT1234";
        if (calls.find(call[0]) == std::string_view::npos)
            return std::nullopt;
    }
    if (!AllDigits(pager) || !AllDigits(code) || !AllDigits(cancel) || !AllDigits(repeat) || !AllDigits(plan)
        || (supervised != "Y" && supervised != "N") || (active != "0" && active != "1")
        || message.find('\0') != std::string_view::npos)
        return std::nullopt;
    w.message = message;
    w.pager = DigitsValue(pager);
    w.deviceCode = DigitsValue(code);
    if (form != DeviceForm::A) {
        w.cancelCode = DigitsValue(cancel);
        w.plan = DigitsValue(plan);
    }
    w.repeatMinutes = DigitsValue(repeat);
    w.supervised = supervised == "Y";
    if (form == DeviceForm::C)
        w.call = call[0] == 'C' ? 'C' : '1';
    else if (form == DeviceForm::D)
        w.call = call[0];
    return w;
}

template <class Slot>
const Slot& SlotOrBlank(const std::map<int, Slot>& table, int slot)
{
    static const Slot blank;
    const auto it = table.find(slot);
    return it == table.end() ? blank : it->second;
}

} // namespace

void Engine::AddKeywordAndDeviceCommands()
{
    using M = const std::smatch&;
    using T = std::int64_t;
    const auto add = [this](const char* pattern, CommandHandler handler) {
        commands_.push_back({pattern, std::regex(pattern), std::move(handler)});
    };

    add(R"(F(\d{2})\?)", [](Engine& e, M m, T) -> Reply {
        const int slot = DigitsValue(m.str(1));
        if (!SlotInTable(e.profile_.freetext, slot) || !KeywordsReadable(e.profile_))
            return kRefused;
        return KeywordAnswer(KeywordFormOf(e.profile_), SlotOrBlank(e.freetext_, slot)) + kAcknowledged;
    });
    add(R"(F(\d{2})([\s\S]*)W)", [](Engine& e, M m, T) -> Reply {
        const int slot = DigitsValue(m.str(1));
        if (!SlotInTable(e.profile_.freetext, slot))
            return kRefused;
        const auto entry = KeywordFromWrite(KeywordFormOf(e.profile_), m.str(2), SlotOrBlank(e.freetext_, slot));
        if (!entry || entry->keyword.find('\0') != std::string::npos)
            return kRefused;
        e.freetext_[slot] = *entry;
        return kAcknowledged;
    });

    add(R"(W(\d{3})\?)", [](Engine& e, M m, T) -> Reply {
        const int slot = DigitsValue(m.str(1));
        if (!SlotInTable(e.profile_.wireless, slot))
            return kRefused;
        return DeviceAnswer(DeviceFormOf(e.profile_), SlotOrBlank(e.wireless_, slot)) + kAcknowledged;
    });
    add(R"(W(\d{3})([\s\S]*)W)", [](Engine& e, M m, T) -> Reply {
        const int slot = DigitsValue(m.str(1));
        if (!SlotInTable(e.profile_.wireless, slot))
            return kRefused;
        const auto entry = DeviceFromWrite(DeviceFormOf(e.profile_), m.str(2), SlotOrBlank(e.wireless_, slot));
        if (!entry)
            return kRefused;
        e.wireless_[slot] = *entry;
        return kAcknowledged;
    });
}

} // namespace sim
