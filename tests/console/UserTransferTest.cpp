// The whole user table between the simulated encoder and Pager.DBS.
#include <QFile>
#include <regex>

#include "ConsoleHarness.h"
#include "DataFileHelpers.h"
#include "KS_Database.h"
#include "KS_PagingCodes.h"
#include "KS_String.h"

namespace {

struct UserTransfer : ConsoleOnUnits {
    // Puts users into the encoder's table, in the form the connected unit takes.
    void encoderHolds(const std::vector<TestUser>& users)
    {
        for (const auto& user : users) {
            PagerRecord record = MakeUser(user);
            if (IsDigitCodeEncoder(gEncoderModelLetter))
                record.PagerType = PagerTypeDigitCode(record.PagerType);
            ASSERT_TRUE(harness->engine.PutUser(*BuildEncoderUserRecord(record)));
        }
    }
    // The host lines that match, in order.
    Lines lines(const std::string& pattern)
    {
        Lines matching;
        for (const auto& line : harness->HostLines())
            if (std::regex_match(line, std::regex(pattern)))
                matching.push_back(line);
        return matching;
    }
};

} // namespace

TEST_F(UserTransfer, DownloadSkipsAheadOverGapsAndCompletesTheGroupPagers)
{
    KS_MainForm& form = load('X', {{1, "Old", "0"}});
    encoderHolds({{7, "Gus", "A"}, {12, "Hal", "N"}});
    const std::string before = ReadBytes(DataFilePath("Pager.DBS"));

    form.DownloadPagerDatabase();
    EXPECT_EQ(lines(R"(\?\d{3}N)"), (Lines{"?001N", "?008N", "?013N", "?013N"}));
    EXPECT_TRUE(harness->messages.shown().empty());
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), before);
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.DBS")).size(), 999u * 160u);

    EXPECT_EQ(StoredUser(1).InUse + StoredUser(6).InUse + StoredUser(7).InUse + StoredUser(13).InUse, "NNYN");
    EXPECT_EQ(Trim(StoredUser(7).UserName), "Gus");
    EXPECT_EQ(StoredUser(12).Capcode, "1000012");
    const PagerRecord group = StoredUser(907);
    // Group 7 in the digit-code encoding.
    EXPECT_EQ(group.GroupFlag + group.PagerType + group.Group1 + group.InUse, "G0'Y");
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2 + 99);
    EXPECT_EQ(form.Users().size(), 999u);
}

TEST_F(UserTransfer, AnEndMarkerFreesTheRestAndALetterCodeUnitHasNoGroupPagers)
{
    KS_MainForm& form = load('A');
    encoderHolds({{3, "Ann", "A"}, {39, "Bea", "T"}});
    QFile::remove(QString::fromStdString(DataFilePath("Pager.DBS"))); // a download also writes a missing table
    form.DownloadPagerDatabase();
    EXPECT_EQ(lines(R"(\?\d{3}N)"), (Lines{"?001N", "?004N", "?040N", "?040N", "?040N"}));
    EXPECT_EQ(StoredUser(39).PagerType, "T");
    EXPECT_EQ(StoredUser(40).InUse, "N");
    EXPECT_EQ(StoredUser(905).InUse, "N");
    EXPECT_FALSE(PathExists(DataFilePath("Pager.BAK")));
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2);
}

TEST_F(UserTransfer, ALegacyQX7IsReadUserByUser)
{
    KS_MainForm& form = load(0, {}, sim::Legacy::QX7);
    encoderHolds({{2, "Cid", "N"}});
    form.DownloadPagerDatabase();
    const auto reads = lines(R"(\?(?!000)\d{3}M)"); // not the identification request
    ASSERT_EQ(reads.size(), 999u);
    EXPECT_EQ(reads.front(), "?001M");
    EXPECT_EQ(StoredUser(2).Capcode, "1000002");
    EXPECT_EQ(StoredUser(3).InUse, "N");
    EXPECT_EQ(StoredUser(999).Group1, "c"); // the QX7XXX keeps the group number itself: 99
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 1 + 99);
}

TEST_F(UserTransfer, AUserTheUnitDoesNotAnswerForWhileItAnswersTheProbeIsStoredAsNotInUse)
{
    const std::string stale = *BuildEncoderUserRecord(MakeUser({7, "Gus", "A"})) + "*\r";
    const struct {
        const char* what;
        std::string read;  // the read that goes wrong
        std::string reply; // and what the unit answers to it
        Lines reads;
        std::string inUse; // of users 1, 7, 8, 12 and 13
    } cases[] = {
        {"silence", R"(\?008N)", "", {"?001N", "?008N", "?008N", "?008N", "?009N", "?013N", "?014N", "?014N", "?014N"},
         "NYNYY"},
        // A stale answer: user 7 again where users from 13 on were asked for.
        {"lower number", R"(\?013N)", stale,
         {"?001N", "?008N", "?009N", "?013N", "?013N", "?013N", "?014N", "?014N", "?014N"}, "NYYYN"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KS_MainForm& form = load('A', {{1, "Old", "A"}});
        encoderHolds({{7, "Gus", "A"}, {8, "Ida", "A"}, {12, "Hal", "N"}, {13, "Jo", "N"}});
        harness->engine.AddCommand(c.read, [reply = c.reply](sim::Engine&, const std::smatch&, std::int64_t) {
            return sim::Engine::Reply{reply};
        });
        const std::string dbs = ReadBytes(DataFilePath("Pager.DBS"));

        form.DownloadPagerDatabase();
        EXPECT_EQ(lines(R"(\?\d{3}N)"), c.reads);
        EXPECT_TRUE(harness->messages.shown().empty());
        EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), dbs);
        EXPECT_EQ(StoredUser(1).InUse + StoredUser(7).InUse + StoredUser(8).InUse + StoredUser(12).InUse + StoredUser(13).InUse, c.inUse);
        EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 3);
    }
}

TEST_F(UserTransfer, ALostLinkAbortsWithTheLinkErrorAndLeavesBothFilesAsTheyWere)
{
    KS_MainForm& form = load('A', {{1, "Old", "A"}});
    encoderHolds({{7, "Gus", "A"}, {12, "Hal", "N"}});
    WriteBytes(DataFilePath("Pager.BAK"), "an older backup");
    // The cable is pulled while user 8 is asked for: nothing answers from then on.
    harness->engine.AddCommand(R"(\?008N)", [](sim::Engine& e, const std::smatch&, std::int64_t) {
        e.AddFault({sim::FaultKind::Silence, ".*", sim::MatchMode::Regex, 5, {}, 0, 0});
        return sim::Engine::Reply{};
    });
    const std::string dbs = ReadBytes(DataFilePath("Pager.DBS"));
    harness->messages.Answer(kAnswerOk);

    form.DownloadPagerDatabase();
    EXPECT_EQ(lines(R"(\?\d{3}N)"), (Lines{"?001N", "?008N"}));
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.DBS")), dbs);
    EXPECT_EQ(ReadBytes(DataFilePath("Pager.BAK")), "an older backup");
    EXPECT_FALSE(PathExists(DataFilePath("Pager.TMP")));
    ASSERT_EQ(harness->messages.texts().size(), 1u);
    EXPECT_NE(harness->messages.texts()[0].find("cannot be established"), std::string::npos);
    for (const auto& report : harness->statusLog)
        EXPECT_EQ(report.text.find("Cannot connect to"), std::string::npos) << report.text;
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 1); // the old directory is still shown
}

TEST_F(UserTransfer, UploadSkipsFreeAndGroupRecordsAndStopsAtTheFirstRefusal)
{
    KS_MainForm& form = load('X', {{1, "Ann", "0"}, {3, "Cid", "1"}, {4, "Dan", "2"}, {905, "Grp", "0", "G"}});
    harness->engine.AddFault({sim::FaultKind::Refuse, "A003", sim::MatchMode::Prefix, 5, {}, 0, 0});
    harness->messages.Answer(kAnswerOk);
    form.UploadPagerDatabase();
    const auto adds = lines(R"(A[\s\S]*M)");
    ASSERT_GE(adds.size(), 2u);
    EXPECT_EQ(adds.front().substr(0, 4), "A001");
    for (std::size_t i = 1; i < adds.size(); ++i)
        EXPECT_EQ(adds[i].substr(0, 4), "A003"); // retried, then the upload ends: no 004, no 905
    EXPECT_EQ(harness->messages.texts().size(), 1u);
    EXPECT_EQ(form.Users().size(), 999u);
}

TEST_F(UserTransfer, UploadLeavesOnTheComputerWhatTheUnitKeepsNoneOf)
{
    const struct {
        char model;
        std::vector<TestUser> users;
        std::vector<int> sent;
    } cases[] = {
        {'X', {{900, "Nine", "0", "I"}, {901, "Past", "0", "I"}}, {900}}, // 901 up are the group pagers
        {'A', {{2, "Grp", "A", "G"}, {6, "Ind", "A"}}, {2, 6}},
        {'T', {{2, "Grp", "A", "G"}, {6, "Ind", "A"}}, {6}}, // group users go to letters A and B only
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        load(c.model, c.users).UploadPagerDatabase();
        std::vector<int> held;
        for (const auto& [number, user] : harness->engine.Users())
            held.push_back(number);
        EXPECT_EQ(held, c.sent);
    }
}

TEST_F(UserTransfer, ALegacyUnitHasAnExistingUserDeletedBeforeTheAdd)
{
    KS_MainForm& form = load(0, {{1, "Ann", "A"}, {2, "Ben", "N"}}, sim::Legacy::QX7);
    encoderHolds({{2, "Old", "N"}});
    form.UploadPagerDatabase();
    Lines heads;
    for (const auto& line : lines(R"([?DA](?!000)\d{3}[\s\S]*M)"))
        heads.push_back(line.substr(0, 4));
    EXPECT_EQ(heads, (Lines{"?001", "A001", "?002", "D002", "A002"}));
}

TEST_F(UserTransfer, ALegacyUnitThatRefusesTheAddAfterItsDeleteGetsItsUserBack)
{
    KS_MainForm& form = load(0, {{2, "Ben", "N"}}, sim::Legacy::QX7);
    encoderHolds({{2, "Old", "T"}});
    const std::string before = harness->engine.UserAnswer(harness->engine.Users().at(2));
    harness->engine.AddFault({sim::FaultKind::Refuse, "A002Ben", sim::MatchMode::Prefix, 5, {}, 0, 0});
    harness->messages.Answer(kAnswerOk); // the link notice that ends the upload
    form.UploadPagerDatabase();
    ASSERT_EQ(harness->engine.Users().count(2), 1u);
    EXPECT_EQ(harness->engine.UserAnswer(harness->engine.Users().at(2)), before);
}

TEST_F(UserTransfer, ASlowUnitsRecordsTakenInThePokesPauseAreStoredAndThePokesAnswerEndsNoTable)
{
    // Each read answered past its 20-tick wait, inside the poke's pause; or only once the poke comes.
    for (const sim::FaultKind kind : {sim::FaultKind::Delay, sim::FaultKind::AfterPoke}) {
        SCOPED_TRACE(static_cast<int>(kind));
        KS_MainForm& form = load('X', {{1, "Old", "0"}});
        encoderHolds({{7, "Gus", "A"}, {12, "Hal", "N"}});
        harness->engine.AddFault(
            {.kind = kind, .pattern = R"(\?\d{3}N)", .match = sim::MatchMode::Regex, .ticks = 25, .times = 0});
        form.DownloadPagerDatabase();
        EXPECT_TRUE(harness->messages.shown().empty());
        EXPECT_EQ(StoredUser(1).InUse + StoredUser(7).InUse + StoredUser(12).InUse + StoredUser(13).InUse, "NYYN");
        EXPECT_EQ(Trim(StoredUser(12).UserName), "Hal");
        EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 2 + 99);
    }
}
