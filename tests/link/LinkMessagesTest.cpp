#include <gtest/gtest.h>

#include "KS_Globals.h"
#include "KS_Messages.h"
#include "KS_Paging.h"
#include "TestSupport.h"

TEST(LinkMessages, CommErrorAsksForDialOutOnlyWhileAModemLinkHasNoCall)
{
    ScriptedMessages boxes;
    boxes.AnswerAlways(kAnswerOk);
    gEncoderModelName = "QX9860";
    gConnectionType = 2;
    ShowLinkCommError();
    gModemConnected = true;
    ShowLinkCommError();
    gConnectionType = 1;
    gModemConnected = false;
    ShowLinkCommError();

    ASSERT_EQ(boxes.shown().size(), 3u);
    EXPECT_EQ(boxes.shown()[0].message,
              "Communication with the QX9860 is established by dial out. \r\nPlease click Dial Out to connect.");
    EXPECT_EQ(boxes.shown()[0].icon, kIconInformation);
    const std::string cannot = "Communication with the QX9860 cannot be established. \r\nMake sure the QX9860 is "
                               "powered on, the COM port that is connected to the PC is set to Kestrane protocol, "
                               "check COM settings and connections.";
    EXPECT_EQ(boxes.shown()[1].message, cannot);
    EXPECT_EQ(boxes.shown()[2].message, cannot);
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

    const auto& shown = boxes.shown();
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].message, "Connection to encoder cannot be established. Click Yes to continue and update the "
                                "database on the hard drive only, No to cancel this operation.");
    EXPECT_EQ(shown[0].defaultButton, kAnswerYes);
    EXPECT_EQ(shown[0].optionText, "");
    EXPECT_EQ(shown[1].optionText, "&Don't ask me again");
    EXPECT_EQ(shown[2].message, "Connection to encoder cannot be established. \r\nClick Yes to continue and retry to "
                                "download from encoder, No to cancel this operation.");
    EXPECT_EQ(shown[2].defaultButton, kAnswerNo);
    EXPECT_EQ(shown[2].optionText, "&Don't ask me again");
    EXPECT_EQ(shown[3].message, "Connection to encoder cannot be established or Alert Level option is not supported "
                                "by the encoder. \r\nThe encoder will not be updated.");
    EXPECT_EQ(shown[3].icon, kIconExclamation);
}
