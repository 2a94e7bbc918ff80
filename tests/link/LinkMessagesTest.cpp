#include <gtest/gtest.h>

#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "TestSupport.h"

using Texts = std::vector<std::string>;

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
    const std::string cannot = "Communication with the QX9860 cannot be established. \r\nMake sure the QX9860 is "
                               "powered on, the COM port that is connected to the PC is set to Kestrane protocol, "
                               "check COM settings and connections.";
    EXPECT_EQ(boxes.texts(), (Texts {"Communication with the QX9860 is established by dial out. \r\nPlease click Dial "
                                     "Out to connect.", cannot, cannot}));
    EXPECT_EQ(boxes.shown()[0].icon, kIconInformation);
    EXPECT_EQ(boxes.shown()[2].icon, kIconExclamation);
}

TEST(LinkMessages, QuestionsNameTheModelAndOfferTheCheckBoxAsAsked)
{
    ScriptedMessages boxes;
    boxes.Answer(kAnswerYes);
    boxes.Answer(kAnswerNo);
    boxes.Answer(kAnswerYes, true);
    boxes.Answer(kAnswerOk);
    // With no unit detected the texts read "encoder".
    EXPECT_EQ(AskUpdateDatabaseOnly(), kAnswerYes);
    EXPECT_EQ(AskUpdateDatabaseOnly(true), kAnswerNo);
    EXPECT_EQ(AskRetryDownload(), kAnswerYes);
    EXPECT_TRUE(gMessageOption);
    EXPECT_EQ(ShowOptionNotUpdatedWarning("Alert Level"), kAnswerOk);

    EXPECT_EQ(boxes.texts(),
              (Texts {"Connection to encoder cannot be established. Click Yes to continue and update the database on "
                      "the hard drive only, No to cancel this operation.",
                      "Connection to encoder cannot be established. Click Yes to continue and update the database on "
                      "the hard drive only, No to cancel this operation.",
                      "Connection to encoder cannot be established. \r\nClick Yes to continue and retry to download "
                      "from encoder, No to cancel this operation.",
                      "Connection to encoder cannot be established or Alert Level option is not supported by the "
                      "encoder. \r\nThe encoder will not be updated."}));
    const auto& shown = boxes.shown();
    EXPECT_EQ(shown[0].defaultButton, kAnswerYes);
    EXPECT_EQ(shown[2].defaultButton, kAnswerNo);
    EXPECT_EQ(shown[0].optionText + "|" + shown[1].optionText + "|" + shown[2].optionText,
              "|&Don't ask me again|&Don't ask me again");
    EXPECT_EQ(shown[3].icon, kIconExclamation);
}

TEST(LinkMessages, TheCannotSendNoticeClosesItselfAfterThirtySecondsAndIsOnlyShownWhenRetrying)
{
    ScriptedMessages boxes;
    EXPECT_EQ(ShowCannotSendPagesNotice(false), 0);
    EXPECT_TRUE(boxes.shown().empty());
    boxes.Answer(kAnswerTimedOut);
    gEncoderModelName = "QX9860";
    EXPECT_EQ(ShowCannotSendPagesNotice(true), kAnswerTimedOut);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], "Communication with the QX9860 cannot be established. Pagora is unable to send "
                                "pages.\r\nPagora will try to reconnect within 5 seconds.");
    EXPECT_TRUE(boxes.shown()[0].timeOutEnabled);
    EXPECT_EQ(boxes.shown()[0].timeOutInterval, 30000);
}
