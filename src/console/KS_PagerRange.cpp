#include "KS_PagerRange.h"

#include <algorithm>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_String.h"

bool ProgramUserRange(const PagerRangeSettings& range, const RangeProgress& progress)
{
    const auto report = [&progress](RangeStep step, int done) {
        if (progress)
            progress(step, done);
    };
    LinkConversation conversation;
    report(RangeStep::Calculating, 0);

    // The codes of the records follow the unit the caller identified.
    const int count = std::max(range.to - range.from + 1, 0);
    UserFormFields fields = range.user;
    std::vector<PagerRecord> records;
    for (int i = 0; i < count; ++i) {
        fields.pagerNo = ZeroPad(range.from + i, 3);
        fields.capcode = ZeroPad(range.startCapcode + static_cast<long long>(i) * range.increment, 7).substr(0, 7);
        records.push_back(MakeUserRecord(fields));
        report(RangeStep::Calculating, i + 1);
    }

    // Every user of the range carries the same groups; a record the encoder
    // could not take is refused before the first one is written anywhere.
    std::vector<std::string> lines(records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (IsReservedPager(range.from + static_cast<long>(i)))
            continue;
        std::string error;
        const auto line = BuildEncoderUserRecord(records[i], &error);
        if (!line) {
            ShowMessage(error, kButtonsOk, kAnswerOk, kIconCritical);
            return false;
        }
        lines[i] = *line;
    }
    if (!EnsurePagerDatabase())
        return false;

    report(RangeStep::Programming, 0);
    bool askOnFailure = true;
    bool fileOnly = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PagerRecord& record = records[i];
        const int number = range.from + static_cast<int>(i);
        if (!fileOnly) {
            bool taken = true;
            if (!IsReservedPager(number)) {
                taken = SendUserToEncoder(record.PagerNo, lines[i]);
            } else if (!gEncoderIdentified) {
                // The group pagers live in the file only: one the unit still holds goes.
                std::string reply;
                const std::string old
                    = QueryLink("?", record.PagerNo + "M", {.expectedLength = 44, .noSuffix = true, .attempts = 3});
                if (!Trim(old).empty())
                    SendLinkCommand("D", record.PagerNo + "M", true, 0, reply, true, 3);
            }
            if (!taken && askOnFailure) {
                if (AskUpdateDatabaseOnly(true) != kAnswerYes)
                    return false;
                if (gMessageOption) {
                    askOnFailure = false;
                    fileOnly = true;
                }
            }
        }
        if (!WritePagerRecord(number, record))
            return false;
        report(RangeStep::Programming, static_cast<int>(i) + 1);
    }
    return true;
}
