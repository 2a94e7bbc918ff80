// The fast-key and PABX message tables: numbered slots of 30 characters,
// read with letter + slot + "?" and written with letter + slot + text + "W".
// Slot 00 is the size query, answered from the profile; a slot beyond the
// size, or a table the model does not hold, is refused.

#include "SimEngine.h"

namespace sim {

namespace {

constexpr std::size_t kTextLength = 30;

int SlotNumber(const std::string& digits) { return std::stoi(digits); }

} // namespace

const std::map<int, std::string>& Engine::MessageTable(char letter) const
{
    static const std::map<int, std::string> none;
    const auto found = messageTables_.find(letter);
    return found == messageTables_.end() ? none : found->second;
}

void Engine::SetMessageSlot(char letter, int slot, std::string value) { messageTables_[letter][slot] = std::move(value); }

void Engine::AddMessageTableCommands()
{
    struct Table {
        char letter;
        TableSize Profile::*size;
    };
    static constexpr Table kTables[] = {{'K', &Profile::fastkey}, {'C', &Profile::pabx}};
    for (const Table& table : kTables) {
        const auto holds = [table](const Engine& e, int slot) {
            const std::optional<int>& size = (e.profile_.*table.size).size;
            return size && slot >= 1 && slot <= *size;
        };
        const std::string letter(1, table.letter);
        const std::string read = letter + R"((\d\d)\?)";
        commands_.push_back({read, std::regex(read), [table, holds](Engine& e, const std::smatch& m, std::int64_t) -> Reply {
                                 const int slot = SlotNumber(m.str(1));
                                 if (!holds(e, slot))
                                     return "?99\r";
                                 const auto& slots = e.messageTables_[table.letter];
                                 const auto found = slots.find(slot);
                                 const std::string value
                                     = found == slots.end() ? std::string(kTextLength, ' ') : found->second;
                                 return value + "*\r";
                             }});
        const std::string write = letter + R"((\d\d)([\s\S]{30})W)";
        commands_.push_back({write, std::regex(write), [table, holds](Engine& e, const std::smatch& m, std::int64_t) -> Reply {
                                 const int slot = SlotNumber(m.str(1));
                                 if (!holds(e, slot))
                                     return "?99\r";
                                 e.messageTables_[table.letter][slot] = m.str(2);
                                 return "*\r";
                             }});
    }
}

} // namespace sim
