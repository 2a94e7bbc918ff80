#pragma once
// What the pendant programmer knows about pendants, without a widget or the
// link: the two models and their command sets, the baud and pager type code,
// the normal-mode rule and the texts the pendant answers with.

#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view kPendantOneButton = "PDX-01";
inline constexpr std::string_view kPendantThreeButtons = "PDX-03";

// The leading number of a version box in hundredths ("2.10" -> 210, "N/A" -> 0).
int LeadingVersionHundredths(std::string_view text);

// A pendant that names its model and runs new enough firmware speaks the
// current command set; every other pendant the legacy one.
bool PendantSpeaksCurrentSet(std::string_view model, int versionHundredths);
// Capcode slots of the model: 3, 4, or 0 for a model the window does not know.
int PendantSlotCount(std::string_view model);
// The model a legacy pendant names by its family tag; "N/A" without a tag.
std::string PendantModelFromTag(std::string_view reply);
// Whether a legacy pendant has a serial number and radio settings to read.
bool PendantLegacyHasRadio(std::string_view model, std::string_view versionText);
// Older firmware stays in programming mode until the console sends "XT".
bool PendantNeedsNormalMode(std::string_view model, std::string_view versionText);

// The one digit that carries the pager baud rate and the pager type.
std::string PendantBaudTypeCode(std::string_view baudText, std::string_view pagerTypeText);
struct PendantBaudType {
    const char* baud;
    const char* pagerType;
};
PendantBaudType PendantBaudTypeFromCode(std::string_view code);

// The text before the first "*" of a whole answer, NULs removed; nothing when
// the answer was refused, cut or lost.
std::optional<std::string> PendantReplyValue(std::string_view rawReply);
// A slot's message: the whole answer without its NULs, line ends and trailing
// "*", trimmed; nothing when no whole answer came.
std::optional<std::string> PendantMessageText(std::string_view rawReply);
