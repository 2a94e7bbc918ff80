// The alarm window in real time against the simulator program on a
// pseudo-terminal: a unit with the extended table and a QX7XXX unit each
// download, take one edited point and an upload.
#include <sstream>

#include "KS_PPM_MessagesAlarmAdd.h"
#include "SimulatorProcess.h"
#include "TableFixture.h"

TEST(AlarmRealLine, ExtendedAndQX7UnitsDownloadSaveAndUpload)
{
    struct Case {
        const char* model;
        std::string saved; // the start of the edited point's write
    } cases[] = {{"X", "Z001Pump fault"}, {"H", "Z001021000Pump fault"}};
    RegisterMessageWindows();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.model);
        SimulatorProcess simulator({}, {"--model", c.model});
        ASSERT_TRUE(simulator.Started());

        ScriptedMessages messages;
        {
            KS_MainForm form; // the real port, the real timers and the real event loop
            form.Form_Load();
            auto* list = static_cast<KS_PPM_MessagesTable*>(CreateRegisteredWindow(FormName::MessagesAlarm, &form));
            form.OpenOwnedWindow(list, false);
            ASSERT_EQ(list->lvwMessages->topLevelItemCount(), 24);
            SelectListRow(list->lvwMessages, list->lvwMessages->topLevelItem(0));
            RunDialog<KS_PPM_MessagesAlarmAdd>(*list, "KS_PPM_MessagesAlarmAdd", [list] { list->cmdUpdate_Click(); },
                                               [](KS_PPM_MessagesAlarmAdd& dialog) {
                                                   dialog.txtUserID->setText("21");
                                                   dialog.txtMessage->setText("Pump fault");
                                                   dialog.cmdOk->click();
                                               });
            EXPECT_TRUE(list->UploadMessages());
            list->close();
        }
        EXPECT_TRUE(messages.shown().empty());
        // One line per entry: tick, ">" for the host, the bytes with CR shown as "\\r".
        std::istringstream lines(simulator.Transcript());
        std::vector<std::string> writes;
        for (std::string line; std::getline(lines, line);) {
            const std::size_t at = line.find(" > Z");
            if (at != std::string::npos && line.ends_with("W\\r"))
                writes.push_back(line.substr(at + 3));
        }
        // The save, then the whole table again.
        ASSERT_EQ(writes.size(), 25u);
        EXPECT_EQ(writes[0].substr(0, c.saved.size()), c.saved);
        EXPECT_EQ(writes[1].substr(0, c.saved.size()), c.saved);
    }
}
