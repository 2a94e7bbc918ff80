// The encoder's user table: "A" record "M" writes a user, "D" nnn "M" deletes
// one, "?" nnn "N" reads the first user from nnn on, "?" nnn "M" reads user nnn.

#include "SimDigits.h"
#include "SimEngine.h"

namespace sim {

namespace {

const std::string kRefused = "?99\r";
const std::string kAcknowledged = "*\r";

constexpr std::size_t kLetterLength = 44;
constexpr std::size_t kDigitLength = 54;
constexpr int kFirstGroupPager = 901;
// The digit-code units start a user answer with this character and end it with the in-use flag.
constexpr char kDigitReplyLead = 'U';
// What a QX7XXX unit keeps as the in-use mark of a user.
constexpr char kQX7InUse = '\x02';

} // namespace

bool Engine::PutUser(std::string_view record)
{
    const std::size_t length = profile_.users == UserForm::Digit ? kDigitLength : kLetterLength;
    if (record.size() != length || !AllDigits(record.substr(0, 3)))
        return false;
    const int pagerNo = DigitsValue(record.substr(0, 3));
    // Units with group pagers keep those in the console only; their numbers are not users here.
    if (pagerNo == 0 || (profile_.users != UserForm::Letter && pagerNo >= kFirstGroupPager))
        return false;
    users_[pagerNo] = std::string(record);
    return true;
}

std::string Engine::UserAnswer(const std::string& record) const
{
    switch (profile_.users) {
    case UserForm::Letter: return record;
    case UserForm::Digit: return kDigitReplyLead + record + "Y";
    case UserForm::QX7: break;
    }
    // Number, capcode, first group, type, format, baud and mode, a blank, the in-use mark.
    std::string kept = record.substr(0, 3) + record.substr(15, 7) + record.substr(22, 1) + record.substr(26, 3) + " "
        + kQX7InUse;
    kept.resize(kLetterLength, ' ');
    return kept;
}

void Engine::AddUserCommands()
{
    using M = const std::smatch&;
    using T = std::int64_t;
    const auto add = [this](const char* pattern, CommandHandler handler) {
        commands_.push_back({pattern, std::regex(pattern), std::move(handler)});
    };

    add(R"(A([\s\S]*)M)", [](Engine& e, M m, T) -> Reply { return e.PutUser(m.str(1)) ? kAcknowledged : kRefused; });
    add(R"(D(\d{3})M)", [](Engine& e, M m, T) -> Reply {
        const int pagerNo = DigitsValue(m.str(1));
        if (pagerNo == 0)
            return kRefused;
        e.users_.erase(pagerNo);
        return kAcknowledged;
    });
    // Only identified units read ahead to the next user; older ones know the exact read alone.
    add(R"(\?(\d{3})N)", [](Engine& e, M m, T) -> Reply {
        if (!e.profile_.identifies)
            return kRefused;
        const auto next = e.users_.lower_bound(DigitsValue(m.str(1)));
        if (next == e.users_.end())
            return kRefused;
        return e.UserAnswer(next->second) + kAcknowledged;
    });
    add(R"(\?(\d{3})M)", [](Engine& e, M m, T) -> Reply {
        const auto user = e.users_.find(DigitsValue(m.str(1)));
        if (user == e.users_.end())
            return kRefused;
        return e.UserAnswer(user->second) + kAcknowledged;
    });
}

} // namespace sim
