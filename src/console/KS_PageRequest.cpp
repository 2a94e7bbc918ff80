#include "KS_PageRequest.h"

#include "KS_String.h"

std::string SBPageText(const std::string& attributeCode, const std::string& message, bool clearDisplay)
{
    return "SB" + attributeCode + "*" + (clearDisplay ? std::string() : message);
}

#include <cctype>

#include "KS_Records.h"

namespace {
std::string hex(unsigned value)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}
} // namespace

std::string StoredSBPageText(const SignBoardMessage& message, int sbCommand)
{
    const std::string font = std::to_string(message.Font);
    const std::string effect = hex(message.Effect);
    switch (sbCommand) {
    case 2:
        return "*" + hex(message.Slot) + font + "0" + effect + "*";
    case 3:
        return "*0" + font + "0" + effect + "*";
    default: {
        const int count = message.CharPerLine * message.Lines;
        // An empty record (no file, or a message never written) has no text at all.
        // Any other control character goes as a space of its own, so the text
        // keeps its place on the board's lines.
        std::string text = message.Text.find_first_not_of('\0') == std::string::npos
            ? std::string()
            : BlankControlChars(message.Text);
        if (count <= 0)
            text.clear();
        else if (static_cast<std::size_t>(count) < text.size())
            text.resize(static_cast<std::size_t>(count));
        return "*" + hex(message.Slot) + font + std::to_string(message.Delay) + effect + "*" + text;
    }
    }
}

bool IsNumericText(const std::string& text)
{
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipBlanks();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            ++i;
        bool exponent = false;
        while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
            ++i;
            exponent = true;
        }
        if (!exponent)
            return false;
    }
    skipBlanks();
    return i == n;
}
