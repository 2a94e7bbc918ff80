#pragma once
// The two tables of plain numbered texts: fast keys and PABX messages. Each
// is one set of parameters for the shared engine and the shared list window
// and edit dialog.

#include <string>

#include "KS_MessageTable.h"

struct TextTableDefinition {
    const char* listForm;    // KS_PPM_Messages...
    const char* editForm;    // the list form's name with "Add"
    const char* letter;      // the table letter of every read and write
    const char* caption;     // of the list window and the edit dialog
    const char* keyColumn;   // caption of the first list column
    const char* editCaptionItem;
    MessageTableParams params;
    // Fast keys are labelled F1 … F10, ALT + F11 …; PABX rows by their number
    // field, and kept sorted by it.
    bool keyLabels;
};

const TextTableDefinition& FastkeyTable();
const TextTableDefinition& PABXTable();

MessageTableEngine MakeTableEngine(const TextTableDefinition& definition);

// The label of a fast-key row: "F3", "ALT + F11".
std::string FastkeyLabel(int slot);
