// The whole console in real time against the simulator program on a
// pseudo-terminal: start-up reaches the encoder and a page is acknowledged.
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "ConsoleHarness.h"
#include "KS_Database.h"
#include "KS_Events.h"
#include "KS_Globals.h"
#include "KS_MainForm.h"
#include "KS_Messages.h"
#include "KS_Registry.h"

namespace {

class SimProgram {
public:
    explicit SimProgram(const QString& transcript)
    {
        process_.start(PAGORA_SIM_PROGRAM, {"--model", "X", "--transcript", transcript});
        if (process_.waitForStarted(5000) && process_.waitForReadyRead(5000))
            slave_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    }
    ~SimProgram()
    {
        process_.terminate();
        if (!process_.waitForFinished(3000))
            process_.kill();
    }
    const QString& slave() const { return slave_; }

private:
    QProcess process_;
    QString slave_;
};

} // namespace

TEST(ConsoleEndToEnd, StartsAgainstTheSimulatorAndSendsAPage)
{
    const QString transcript = qEnvironmentVariable("XDG_DATA_HOME") + "/transcript";
    SimProgram simulator(transcript);
    ASSERT_FALSE(simulator.slave().isEmpty());
    qputenv("PAGORA_COM1", simulator.slave().toLocal8Bit());

    MakeDataFolder();
    ASSERT_TRUE(CreateEmptyPagerDatabase());
    ASSERT_EQ(WriteRecordAt(DataFilePath("Pager.DBS"), 3, MakeUser({3, "Front Desk", "A"})), FileError::None);
    gDatabaseFound = true;
    gConnectionType = 1;
    gSerialPort = 1;
    gComSettings = "38400,N,8,1";

    ScriptedMessages messages;
    KS_MainForm form; // the real port, the real timers and the real event loop
    form.Form_Load();
    EXPECT_EQ(form.lblConnectionStatus->text().left(13), "Connected to ");

    std::vector<std::string> reports;
    QElapsedTimer clock;
    qint64 sentAfterMs = -1;
    SetStatusSink([&, display = CurrentStatusSink()](const std::string& text, bool error, int beeps) {
        reports.push_back(text);
        if (text == "Page sent !" && sentAfterMs < 0)
            sentAfterMs = clock.elapsed();
        display(text, error, beeps);
    });
    ASSERT_EQ(form.lvwUsers->topLevelItemCount(), 1);
    form.lvwUsers->topLevelItem(0)->setSelected(true);
    form.lvwUsers_DblClick();
    form.txtMessage->setPlainText("Visitor at the gate");
    clock.start();
    form.cmdSendPage->click();
    // A figure for the record, not an assertion: Send Page to "Page sent !".
    RecordProperty("send_to_sent_ms", static_cast<int>(sentAfterMs));

    EXPECT_NE(std::find(reports.begin(), reports.end(), "Page sent !"), reports.end());
    QFile file(transcript);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("P003Visitor at the gate"));
    qunsetenv("PAGORA_COM1");
}
