#pragma once
// Page texts: the last batch, sign-board page texts and the numeric-text check.

#include <cstdint>
#include <string>

#include "PageRequest.h"

// One user of the last batch sent, for Last Page.
struct LastPageEntry {
    std::string PagerNo;  // 3 characters
    std::string UserName; // at most 12 characters
    std::string TypeID;   // "4" for a voice pager, else the row's Type ID
    std::string Message;  // trimmed
};

// The text of a console page with display attributes: "SB", the attribute
// code, "*" and the message (nothing after "*" when clearing the display).
std::string SBPageText(const std::string& attributeCode, const std::string& message, bool clearDisplay);

struct SignBoardMessage;

// The text that sends a stored sign-board message (command 1), clears its
// slot (2) or clears every slot (3).
std::string StoredSBPageText(const SignBoardMessage& message, int sbCommand);

// True when the text reads as a number as the numeric-pager check wants it
// (blanks around, a sign, digits with one point, an exponent); "" is not.
bool IsNumericText(const std::string& text);
