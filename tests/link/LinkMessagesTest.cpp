// The link's shared messages where they decide something; their texts are
// checked where the windows show them.
#include <gtest/gtest.h>

#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "TestSupport.h"

TEST(LinkMessages, CommErrorAsksForDialOutOnlyWhileAModemLinkHasNoCall)
{
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    gEncoderModelName = "QX9860";
    for (const auto& [type, connected] : {std::pair{2, false}, {2, true}, {1, false}}) {
        gConnectionType = static_cast<std::int16_t>(type);
        gModemConnected = connected;
        ShowLinkCommError();
    }
    ASSERT_EQ(boxes.texts().size(), 3u);
    EXPECT_EQ(boxes.texts()[0],
              "Communication with the QX9860 is established by dial out. \r\nPlease click Dial Out to connect.");
    EXPECT_EQ(boxes.shown()[0].icon, kIconInformation);
    EXPECT_EQ(boxes.texts()[1].substr(0, 53), "Communication with the QX9860 cannot be established. ");
    EXPECT_EQ(boxes.texts()[2], boxes.texts()[1]);
}

TEST(LinkMessages, OnlyTheAskingCallersOfferDontAskAgainAndTheCannotSendNoticeComesOnlyWhenRetrying)
{
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerNo);
    AskUpdateDatabaseOnly();
    AskUpdateDatabaseOnly(true);
    AskRetryDownload();
    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[0].optionText + "|" + boxes.shown()[1].optionText + "|" + boxes.shown()[2].optionText,
              "|&Don't ask me again|&Don't ask me again");
    EXPECT_EQ(boxes.shown()[2].defaultButton, kAnswerNo); // Enter gives up the download rather than retrying

    EXPECT_EQ(ShowCannotSendPagesNotice(false), 0);
    EXPECT_EQ(boxes.shown().size(), 3u);
    ShowCannotSendPagesNotice(true);
    ASSERT_EQ(boxes.shown().size(), 4u);
    EXPECT_TRUE(boxes.shown()[3].timeOutEnabled); // it closes itself, so the retry goes on unattended
}

// A program on its way out asks nothing: both questions answer No unseen.
TEST(LinkMessages, OnceExitIsChosenTheQuestionsAnswerNoUnseen)
{
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerYes);
    RequestExit();
    ClearExitRequest(); // the exit's own stops run with the waits working again
    EXPECT_EQ(AskUpdateDatabaseOnly(true), kAnswerNo);
    EXPECT_EQ(AskRetryDownload(), kAnswerNo);
    EXPECT_TRUE(boxes.shown().empty());
}
