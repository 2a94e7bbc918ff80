// The whole user table between the encoder and Pager.DBS: the download reads
// every user the encoder holds into a new Pager.DBS (the old one kept as
// Pager.BAK), the upload sends every in-use user of Pager.DBS to the encoder.
#include <QTreeWidget>

#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "KS_PagingCodes.h"
#include "KS_Registry.h"
#include "KS_String.h"
#include "KS_UserDirectory.h"

namespace {

constexpr const char* kIdleText = "Please select a user to page ...";

// What one read of the user table brought.
struct UserRead {
    enum Kind {
        Record,     // a user record, at or after the number asked for
        EndOfTable, // the encoder has no user from this number on
        Unanswered, // no usable answer for this user, though the unit still answers the probe
        Lost,       // the unit no longer answers the probe
    } kind = Lost;
    PagerRecord record;
    int number = 0;
};

struct UserQuery {
    std::string suffix;
    std::int16_t length = 44;
    std::int32_t ticks = 20;
    int attempts = 3;
};

UserQuery userQueryForUnit()
{
    if (!gEncoderIdentified)
        return {"M", 44, 20, 3};
    // The answer's length is the layout that ParseEncoderUserRecord reads.
    if (IsDigitCodeEncoder(UserCodesUnit().letter))
        return {"N", 56, 20, 1};
    return {"N", 44, 40, 3};
}

// Reads the user at pager number n, or (identified units) the next one after it.
// A silent read is poked with a bare CR, and a record that comes in the
// poke's pause is taken: a slow unit loses no user. A read still unanswered is
// followed by a probe: a unit that answers it is asked again, and when it
// never answers for this user the user is taken as not in use; one that does
// not answer the probe has gone, and the table read so far is not the
// encoder's table. Only a "?99" that is surely the read's own (it came before
// the poke, or the poke's answer came behind it) ends the table; a lone one
// after the poke may be the poke's, and the probe's never counts. (A unit that
// holds every answer back until the poke thus has its table read to the end.)
// An answer that cannot be parsed, or that is for a lower number than asked,
// counts as no answer: it must never be stored under another user's record.
UserRead readUser(int n, const UserQuery& query)
{
    UserRead result;
    const std::string data = ZeroPad(n, 3) + query.suffix;
    // One more try than a single attempt gives: one garbled line must not end a long download.
    const int attempts = std::max(query.attempts, 2);
    bool refused = false;
    bool lost = false;
    for (int attempt = 0; attempt < attempts && !ExitRequested(); ++attempt) {
        const std::string value = QueryLink("?", data,
            {.expectedLength = query.length,
                .noSuffix = true,
                .ticks = query.ticks,
                .returnError = true,
                .pokeOnTimeout = true});
        if (value == "?99") {
            refused = true;
            // An unidentified unit's "?99" is its final word on this number.
            if (!gEncoderIdentified)
                break;
            continue;
        }
        if (!value.empty()) {
            PagerRecord record;
            if (ParseEncoderUserRecord(record, value)) {
                const auto number = static_cast<int>(Val(record.PagerNo));
                if (number >= n && number <= kPagerRecords) {
                    result.kind = UserRead::Record;
                    result.record = std::move(record);
                    result.number = number;
                    return result;
                }
            }
        }
        if (!IsLinkResponding()) {
            lost = true;
            break;
        }
    }
    result.kind = lost ? UserRead::Lost : refused ? UserRead::EndOfTable : UserRead::Unanswered;
    return result;
}

void markFree(std::vector<PagerRecord>& users, int from, int to)
{
    for (int i = from; i <= to && i < static_cast<int>(users.size()); ++i)
        users[static_cast<std::size_t>(i)].InUse = "N";
}

// Records 901-999 of the units whose group pagers live in Pager.DBS only.
void completeGroupPagers(std::vector<PagerRecord>& users)
{
    const UserEncoderClass encoder = CurrentUserEncoderClass();
    if (encoder == UserEncoderClass::LetterCode)
        return;
    for (int p = kFirstReservedPager; p <= kPagerRecords; ++p) {
        PagerRecord& r = users[static_cast<std::size_t>(p - 1)];
        r.PagerNo = ZeroPad(p, 3);
        r.Capcode = "0000000";
        r.PagerType = encoder == UserEncoderClass::QX7 ? "A" : "0";
        r.Format = "P";
        r.Baud = "5";
        r.Mode = "1";
        r.GroupFlag = "G";
        // Each stands for the group of its number, in the unit's own group encoding.
        r.Group1 = GroupByteFromText(GroupOfGroupPager(p), 1, true);
        r.InUse = "Y";
    }
}

// The part both transfers start with; false when the unit does not answer.
bool connectForTransfer(bool download)
{
    DetectEncoder();
    ShowBusyPointer();
    ReportStatus("Connecting to " + gEncoderModelName + " Paging Terminal ...");
    if (IsLinkResponding())
        return true;
    if (download)
        ReportStatus("Cannot connect to " + gEncoderModelName + " !", true, 3);
    else
        ReportStatus("Cannot connect to " + gEncoderModelName + " unit !", true);
    ShowLinkCommError();
    WaitTicks(10);
    return false;
}

} // namespace

void KS_MainForm::DownloadPagerDatabase()
{
    LinkConversation conversation;
    // The Devices menu has emptied the lists; whichever way this ends they show the table again.
    const auto finish = [this] {
        FillUsersList(users_);
        ReportStatus(kIdleText);
        ShowNormalPointer();
    };
    if (!connectForTransfer(true)) {
        finish();
        return;
    }

    // Built apart from the user table: a download that fails half-way leaves
    // the table, the list and Pager.DBS as they were.
    std::vector<PagerRecord> users(static_cast<std::size_t>(kPagerRecords));
    const UserQuery query = userQueryForUnit();
    bool lost = false;
    for (int n = 1; n <= kPagerRecords && !lost; ++n) {
        ReportStatus("Downloading Pager Database from " + gEncoderModelName + " ... " + ZeroPad(n, 3));
        UserRead read = readUser(n, query);
        switch (read.kind) {
        case UserRead::Record:
            // An identified unit answers with the next user it holds; the numbers between have none.
            markFree(users, n - 1, read.number - 2);
            users[static_cast<std::size_t>(read.number - 1)] = std::move(read.record);
            n = read.number;
            break;
        case UserRead::EndOfTable:
            if (gEncoderIdentified) {
                markFree(users, n - 1, kPagerRecords - 1);
                n = kPagerRecords;
            } else if (gEncoderFamily == "QX7XXX") {
                markFree(users, n - 1, n - 1);
            }
            break;
        case UserRead::Unanswered: markFree(users, n - 1, n - 1); break;
        case UserRead::Lost: lost = true; break;
        }
        if (ExitRequested())
            lost = true;
    }
    if (lost) {
        // Leaving the program is no failure of the unit; there is nobody left to tell.
        if (!ExitRequested())
            ShowLinkCommError();
        finish();
        return;
    }

    completeGroupPagers(users);
    // Pager.TMP first, then Pager.DBS becomes Pager.BAK and Pager.TMP takes its place.
    const FileError error = Trim(gDataFolder).empty() ? FileError::PathOrAccess
                                                      : ReplaceRecords(DataFilePath("Pager.DBS"), users);
    if (error != FileError::None) {
        ShowMessage(FileErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical);
        finish();
        return;
    }
    users_ = std::move(users);
    finish();
}

void KS_MainForm::UploadPagerDatabase()
{
    LinkConversation conversation;
    const auto finish = [this] {
        ReportStatus(kIdleText);
        ShowNormalPointer();
    };
    if (!connectForTransfer(false)) {
        finish();
        return;
    }

    ReportStatus("Reading Pager Database ...");
    std::vector<PagerRecord> users;
    const FileError error = Trim(gDataFolder).empty() ? FileError::PathOrAccess
                                                      : ReadRecords(DataFilePath("Pager.DBS"), users);
    if (error != FileError::None) {
        ShowMessage(FileErrorMessage(error), kButtonsOk, kAnswerOk, kIconCritical);
        finish();
        return;
    }
    users_ = users;

    const bool groupPagersLocal = ReservedRangeApplies();
    for (const PagerRecord& user : users) {
        if (ExitRequested())
            break;
        if (user.InUse != "Y")
            continue;
        const auto number = static_cast<long>(Val(user.PagerNo));
        if (groupPagersLocal && number >= kFirstReservedPager)
            continue;
        if (user.GroupFlag == "G" && !IsEncoderTypeAB(gEncoderModelLetter))
            continue;
        const std::string pagerNo = ZeroPad(number, 3);
        ReportStatus("Uploading Pager Database to " + gEncoderModelName + " ... " + pagerNo);

        std::string reason;
        const auto line = BuildEncoderUserRecord(user, &reason);
        if (!line) {
            ShowMessage(reason, kButtonsOk, kAnswerOk, kIconCritical);
            break;
        }
        // The records sent so far stay in the encoder; the first one refused ends the upload.
        if (!SendUserToEncoder(pagerNo, *line)) {
            ShowLinkCommError();
            break;
        }
    }
    finish();
}
