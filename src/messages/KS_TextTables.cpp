#include "KS_TextTables.h"

#include "KS_Globals.h"
#include "KS_String.h"
#include "KS_WindowRegistry.h"

const TextTableDefinition& FastkeyTable()
{
    static const TextTableDefinition definition{FormName::MessagesFastkey.data(),
                                    "KS_PPM_MessagesFastkeyAdd",
                                    "K",
                                    "Fastkey Messages",
                                    "Fastkey",
                                    " - Fastkey ",
                                    {&gFastkeyMessageCount, &gEncoderSupportsFastkey, "PPM_Fastkey.DBS",
                                     "Fastkey Messages", true, &gFastkeySizeUnanswered},
                                    true};
    return definition;
}

const TextTableDefinition& PABXTable()
{
    static const TextTableDefinition definition{FormName::MessagesPABX.data(),
                                    "KS_PPM_MessagesPABXAdd",
                                    "C",
                                    "PABX Messages",
                                    "PABX",
                                    " - PABX Message ",
                                    {&gPABXMessageCount, &gEncoderSupportsPABX, "PPM_PABXDI.DBS", "PABX Messages", true,
                                     &gPABXSizeUnanswered},
                                    false};
    return definition;
}

MessageTableEngine MakeTableEngine(const TextTableDefinition& definition)
{
    return MessageTableEngine(definition.params, std::make_shared<TableMessageCodec>(definition.letter));
}

std::string FastkeyLabel(int slot) { return (slot <= 10 ? "F" : "ALT + F") + std::to_string(slot); }

