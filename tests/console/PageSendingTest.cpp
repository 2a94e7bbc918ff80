// Send Page against the simulated encoder: the checks against the selection,
// the exact lines on the wire, and what the operator is told.
#include <QFile>
#include <QTest>

#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "SettingsFile.h"

namespace {

struct PageSending : testing::Test {
    PageSending() { form.show(); }
    void send(const Lines& pagers, const std::string& text)
    {
        harness.Select(pagers);
        form.txtMessage->setPlainText(QString::fromStdString(text));
        form.cmdSendPage->click();
    }
    int selected() const { return form.lvwSelectedUsers->topLevelItemCount(); }
    ConsoleHarness harness{{{1, "Alpha", "A"}, {7, "Tone", "T"}, {12, "Numeric", "N"}, {30, "Voice", "V"}, {999, "Last", "A"}}};
    KS_MainForm& form = harness.Load();
};

} // namespace

TEST_F(PageSending, LoadsUsersFromAnyRecordAndSendsAPlainTextPage)
{
    EXPECT_EQ(form.lvwUsers->topLevelItemCount(), 5);
    send({"001"}, "Hello\r\nthere");
    EXPECT_EQ(harness.Pages(), Lines{"P001Hello there"});
    EXPECT_EQ(selected(), 0);
    EXPECT_TRUE(form.txtMessage->toPlainText().isEmpty());
    EXPECT_TRUE(harness.messages.shown().empty());
    EXPECT_EQ(LastStatusReport().text, "Please select a user to page ...");
}

TEST_F(PageSending, TheSelectionIsCheckedAgainstTheTextBeforeAnythingIsSent)
{
    const struct {
        Lines pagers;
        std::string text;
        std::string question; // how the Yes/No question starts; "" for none
        std::int16_t answer;
        Lines sent;
        int left; // users still selected
    } cases[] = {
        {{"007"}, "abc", "Some of the selected pagers are Tone / Vibrate pagers", kAnswerYes, {"P007abc"}, 0},
        {{"012"}, "12a", "Some of the selected pagers are Numeric pagers", kAnswerNo, {}, 1},
        {{"012"}, "12.5", "", 0, {"P01212.5"}, 0}, // a decimal point is numeric
        {{"012"}, "-3e2", "", 0, {"P012-3e2"}, 0}, // numeric text as the number reader takes it
        {{"007"}, "", "", 0, {"P007"}, 0},         // tone pagers need no text
        {{"001"}, "   ", "", 0, {}, 1},            // a text pager does
        {{}, "x", "", 0, {}, 0},                   // nobody selected
        {{"030"}, "", "", 0, {}, 1},               // no voice message recorded
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        form.cmdRemoveAll->click();
        const std::size_t boxes = harness.messages.shown().size();
        if (c.answer)
            harness.messages.Answer(c.answer);
        send(c.pagers, c.text);
        ASSERT_EQ(harness.messages.shown().size(), boxes + (c.question.empty() ? 0 : 1));
        EXPECT_EQ(c.question.empty() ? 0u : harness.messages.texts().back().rfind(c.question, 0), 0u);
        EXPECT_EQ(harness.Pages(), c.sent);
        EXPECT_EQ(selected(), c.left);
        EXPECT_EQ(LastStatusReport().text, "Please select a user to page ...");
    }

    form.cmdRemoveAll->click();
    QFile voice(ProgramFolder() + "/MsgTemp.WAV");
    ASSERT_TRUE(voice.open(QIODevice::WriteOnly));
    voice.write("RIFF");
    voice.close();
    send({"030"}, "");
    EXPECT_EQ(selected(), 0);
    EXPECT_TRUE(harness.Pages().empty()); // a voice page puts nothing on the line
}

TEST_F(PageSending, DisplayParametersAndClearDisplayBuildSignBoardPages)
{
    form.chkUseDisplayParameters->setChecked(true);
    send({"001"}, "Hi");
    EXPECT_EQ(harness.Pages(), Lines{"P001SB0011000*Hi"});

    harness.Select({"001", "999"});
    form.txtMessage->setPlainText("ignored");
    form.cmdClearDisplay->click();
    EXPECT_EQ(harness.Pages(), (Lines{"P001SB**", "P999SB**"}));

    // The clear flag served that send only.
    send({"001"}, "Hi");
    EXPECT_EQ(harness.Pages(), Lines{"P001SB0011000*Hi"});
}

TEST_F(PageSending, LastPageRestoresTheBatchWithShortNamesAndTrimmedText)
{
    harness.Select({"001"});
    form.SendSBPage(1, 1);
    EXPECT_FALSE(form.cmdLastPage->isEnabled() || form.cmdSBMessages->isEnabled()); // no batch, no sign-board window
    harness.HostLines();
    form.AddUserRow("A very long user name", "002", 2, "Alphanumeric", "1000002", false);
    send({"001", "002", "999"}, "  batch  ");
    EXPECT_EQ(harness.Pages().size(), 3u);
    form.cmdLastPage->click();
    ASSERT_EQ(selected(), 3);
    const auto rows = form.lvwSelectedUsers->findItems("002", Qt::MatchExactly, 0);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first()->text(1), "A very long ");
    EXPECT_EQ(form.txtMessage->toPlainText(), "batch");
}

TEST_F(PageSending, StoredSignBoardMessagesGoToEverySelectedUser)
{
    const SignBoardMessage message{.No = "003", .Text = std::string("Fire drill at noon") + std::string(182, ' '),
                                   .Slot = 12, .Font = 1, .Delay = 3, .Effect = 10, .CharPerLine = 16, .Lines = 1};
    ASSERT_EQ(WriteRecordAt(DataFilePath("SBMessages.DBS"), 3, message), FileError::None);

    harness.Select({"001", "007", "012"});
    form.SendSBPage(3, 1);
    // In the order of the selected list, which follows the sorted user list.
    EXPECT_EQ(harness.Pages(), (Lines{"P001*C13A*Fire drill at no", "P012*C13A*Fire drill at no", "P007*C13A*Fire drill at no"}));
    harness.Select({"001"});
    form.SendSBPage(3, 3);
    EXPECT_EQ(harness.Pages(), Lines{"P001*010A*"});

    const SignBoardMessage m{.Text = std::string("abcdef") + std::string(194, ' '), .Slot = 15, .Font = 11,
                             .Delay = 12, .Effect = 3, .CharPerLine = 2, .Lines = 2};
    EXPECT_EQ(StoredSBPageText(m, 1), "*F11123*abcd");
    EXPECT_EQ(StoredSBPageText(m, 2), "*F1103*");
    EXPECT_EQ(StoredSBPageText(SignBoardMessage{}, 1), "*0000*"); // no stored message
    // A line break kept in the record keeps its two places on the board as spaces.
    const SignBoardMessage broken{.Text = "AB\r\nCD" + std::string(194, ' '), .CharPerLine = 3, .Lines = 2};
    EXPECT_EQ(StoredSBPageText(broken, 1), "*0000*AB  CD");

    // With nobody selected the calling window gets the focus back after the
    // notice, unless it has gone meanwhile.
    auto* caller = new QWidget;
    caller->show();
    QApplication::setActiveWindow(caller);
    SetYieldHook([&caller] {
        AdvanceTick();
        delete std::exchange(caller, nullptr);
    });
    form.SendSBPage(3, 1);
    EXPECT_EQ(caller, nullptr);
    EXPECT_TRUE(harness.Pages().empty());
}

TEST_F(PageSending, APortClosedOnPurposeIsToldOnceAndThePageIsNotSent)
{
    form.comUnitConnect->SetPortOpen(false);
    harness.messages.AnswerAlways(kAnswerOk);
    PageRequest request;
    request.SetPagerNo("001");
    request.Kind = PageRequest::kPage;
    request.Message = "x";
    EXPECT_FALSE(form.SendPageToPager(request));
    ASSERT_EQ(harness.messages.shown().size(), 1u);
    EXPECT_NE(harness.messages.texts()[0].find("cannot be established"), std::string::npos);
    EXPECT_FALSE(harness.messages.shown()[0].timeOutEnabled); // not the 30-second notice
    EXPECT_EQ(LastStatusReport().text, "Sending page to pager 001 ...");
    EXPECT_TRUE(harness.Pages().empty());
}

TEST_F(PageSending, TabLeavesTheMessageBoxAndNoControlCharacterGoesOutInAPage)
{
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form, 1000));
    form.txtMessage->setFocus();
    QTest::keyClicks(form.txtMessage, "XA");
    QTest::keyClick(form.txtMessage, Qt::Key_Tab);
    EXPECT_NE(form.focusWidget(), form.txtMessage);
    EXPECT_EQ(form.txtMessage->toPlainText(), "XA");

    // Pasted, or stored in a message: each control character reaches the pager as a space.
    send({"001"}, "X\tA\x01" "B\x7F" "C\x1B");
    EXPECT_EQ(harness.Pages(), Lines{"P001X A B C "});
}
