#include "KS_PendantRules.h"

#include <algorithm>
#include <cmath>

#include "KS_DeviceRules.h"
#include "KS_String.h"

int LeadingVersionHundredths(std::string_view text)
{
    // Any answer is possible; no firmware reaches version 10000.
    const double version = std::clamp(Val(text), -10000.0, 10000.0);
    return static_cast<int>(std::lround(version * 100));
}

bool PendantSpeaksCurrentSet(std::string_view model, int versionHundredths)
{
    return (model == kPendantThreeButtons && versionHundredths >= 210)
        || (model == kPendantOneButton && versionHundredths >= 220);
}

int PendantSlotCount(std::string_view model)
{
    if (model == kPendantOneButton)
        return 3;
    if (model == kPendantThreeButtons)
        return 4;
    return 0;
}

std::string PendantModelFromTag(std::string_view reply)
{
    // A reply with both tags is a PDX-03.
    if (reply.find("ZORPDX") != std::string_view::npos)
        return std::string(kPendantThreeButtons);
    if (reply.find("ZORMUL") != std::string_view::npos)
        return std::string(kPendantOneButton);
    return "N/A";
}

bool PendantLegacyHasRadio(std::string_view model, std::string_view versionText)
{
    const int version = LeadingVersionHundredths(versionText);
    return (model == kPendantThreeButtons && version >= 210) || (model == kPendantOneButton && version >= 200);
}

bool PendantNeedsNormalMode(std::string_view model, std::string_view versionText)
{
    const int version = LeadingVersionHundredths(versionText);
    return (model == kPendantOneButton && version < 200) || (model == kPendantThreeButtons && version < 210);
}

std::string PendantBaudTypeCode(std::string_view baudText, std::string_view pagerTypeText)
{
    const bool alpha = pagerTypeText == "AlphaNumeric";
    if (baudText == "512")
        return alpha ? "0" : "2";
    if (baudText == "1200")
        return alpha ? "1" : "3";
    return "0";
}

PendantBaudType PendantBaudTypeFromCode(std::string_view code)
{
    if (code == "1")
        return {"1200", "AlphaNumeric"};
    if (code == "2")
        return {"512", "Numeric"};
    if (code == "3")
        return {"1200", "Numeric"};
    return {"512", "AlphaNumeric"};
}

std::optional<std::string> PendantReplyValue(std::string_view rawReply)
{
    auto value = AcknowledgedValue(rawReply);
    if (!value)
        return std::nullopt;
    std::string clean = StripChar(*value, std::string_view("\0", 1));
    return clean.substr(0, clean.find('*'));
}

std::optional<std::string> PendantMessageText(std::string_view rawReply)
{
    if (!AcknowledgedValue(rawReply))
        return std::nullopt;
    std::string text;
    for (const char c : rawReply)
        if (c != '\0' && c != '\r' && c != '\n')
            text += c;
    while (text.ends_with('*'))
        text.pop_back();
    return Trim(text);
}
