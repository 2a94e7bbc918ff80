// Dial Out and Disconnect of the main window against the simulator's modem.
#include <algorithm>

#include "ConsoleHarness.h"

namespace {

// The console on a modem link whose far end is the simulator's modem.
KS_MainForm& loadOnModem(ConsoleHarness& harness)
{
    harness.engine.EnableModem();
    gConnectionType = 2;
    gModemPort = 1;
    gModemPhone = "5551234";
    harness.messages.AnswerAlways(kAnswerOk); // no call is up while the console starts
    return harness.Load();
}

} // namespace

TEST(ModemDialMode, DialOutToAModemThatAnswersNothingEndsOfflineAndSaysTheModemIsNotResponding)
{
    ConsoleHarness harness({{1, "Anna", "A"}});
    KS_MainForm& form = loadOnModem(harness);
    SilenceEveryLine(harness.engine);
    harness.statusLog.clear();

    form.cmdDialOut->click();
    EXPECT_EQ(form.cmdDialOut->text(), "Dial &Out");
    EXPECT_TRUE(form.cmdDialOut->isEnabled());
    EXPECT_EQ(form.lblModemStatus->text(), "Modem Offline");
    const auto lines = harness.HostLines();
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("ATDT", 0) == 0; }),
              0);
    ASSERT_FALSE(harness.statusLog.empty());
    EXPECT_EQ(harness.statusLog.back().text, "Modem Not Responding.");
    EXPECT_TRUE(harness.statusLog.back().isError);
    EXPECT_FALSE(harness.Reported("Modem is Ready.", false));
}
