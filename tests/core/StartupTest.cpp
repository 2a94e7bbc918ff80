#include <QFileInfo>
#include <QLockFile>
#include <gtest/gtest.h>

#include "KS_General.h"
#include "KS_Globals.h"
#include "KS_Registry.h"
#include "TestSupport.h"

namespace {
class BareWindow : public MainWindowBase {
public:
    void Form_Load() override
    {
        loaded = true;
        helpFileThen = gHelpFile;
    }
    bool loaded = false;
    std::string helpFileThen; // F1 may come as soon as the window shows
};
} // namespace

TEST(Startup, ReadsSettingsThenLoadsTheWindowAndRefusesASecondInstance)
{
    SaveConfigSetting("SBChars", "20");
    int created = 0;
    auto factory = [&]() -> MainWindowBase* {
        ++created;
        return new BareWindow;
    };
    std::unique_ptr<QLockFile> firstLock;
    auto first = StartProgram(factory, firstLock);
    ASSERT_TRUE(first);
    EXPECT_TRUE(static_cast<BareWindow*>(first.get())->loaded);
    EXPECT_EQ(QFileInfo(QString::fromStdString(static_cast<BareWindow*>(first.get())->helpFileThen)).fileName(),
              "Pagora.html");
    EXPECT_EQ(gSBChars, "20");
    EXPECT_EQ(gRegistryRoot, "Software\\Kestrane\\Pagora\\");

    ScriptedMessages script;
    script.Answer(kAnswerOk);
    gSBChars = "untouched";
    std::unique_ptr<QLockFile> secondLock;
    EXPECT_FALSE(StartProgram(factory, secondLock));
    EXPECT_EQ(created, 1);
    EXPECT_EQ(gSBChars, "untouched"); // ended before reading any setting
    ASSERT_EQ(script.shown().size(), 1u);
    EXPECT_EQ(script.shown()[0].message,
              "Pagora is already active. Right click the Pagora icon on the taskbar to display the options menu.");
    EXPECT_EQ(script.shown()[0].icon, kIconCritical);
}
