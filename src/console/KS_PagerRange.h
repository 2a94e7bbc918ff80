#pragma once
// A whole range of users in one run: every pager number from the first to the
// last gets the same name, settings and groups, and a capcode that rises by a
// fixed step. Each is sent to the encoder and written to Pager.DBS.

#include <functional>

#include "KS_UserDirectory.h"

struct PagerRangeSettings {
    int from = 1;
    int to = 1;
    long long startCapcode = 1;
    int increment = 1;
    UserFormFields user; // what every pager of the range shares; its number and capcode are the run's
};

enum class RangeStep {
    Calculating, // the records are being built; done counts them
    Programming, // done counts the records sent and written (0 when sending starts)
};
using RangeProgress = std::function<void(RangeStep step, int done)>;

// Builds the records in the codes of the unit the caller has just identified
// (and checked the choices against) and sends them one by one. A record the
// unit does not take asks the operator whether to keep it in the file only;
// No cancels the run there, a ticked "Don't ask me again" writes the rest to
// the file without the unit. True when the run reached the end.
bool ProgramUserRange(const PagerRangeSettings& range, const RangeProgress& progress);
