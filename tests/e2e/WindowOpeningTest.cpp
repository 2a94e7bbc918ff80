// A window opened from the main window talks to the unit while it loads (a
// table downloaded because its file is missing, a device's first queries):
// the main window must already be closed to the operator by then, or a click
// there starts a second conversation or opens a second window beside it.
#include <QMenuBar>
#include <QTimer>

#include "ConsoleHarness.h"
#include "KS_Events.h"
#include "KS_MessageWindows.h"
#include "KS_Paging.h"
#include "KS_ProgrammerWindows.h"
#include "KS_ScheduleWindows.h"
#include "KS_SpeakerWindows.h"

namespace {

// What the operator could reach of the main window while the opened one was loading.
struct LoadWatch {
    LoadWatch(KS_MainForm& f, sim::Engine& e, const char* name)
        : form(f), engine(e), formName(name), seen(e.Transcript().size())
    {
    }
    KS_MainForm& form;
    sim::Engine& engine;
    QString formName;
    std::vector<std::string> liveDuring; // what went on while the main window was live
    std::size_t seen;
    bool closed = false;

    bool mainLive() const { return form.centralWidget()->isEnabled() || form.menuBar()->isEnabled(); }

    // Every line the window sends, as the unit receives it; the bare probes of the menus come before the window.
    void onYield()
    {
        AdvanceTick();
        PollEncoderReply();
        const auto& transcript = engine.Transcript();
        for (; seen < transcript.size(); ++seen)
            if (transcript[seen].fromHost && transcript[seen].bytes != "\r" && !closed && mainLive())
                liveDuring.push_back(transcript[seen].bytes);
    }
    // Window events run inside the load too; once the window shows, it is closed.
    void onEvents(int triesLeft = 5000)
    {
        QTimer::singleShot(0, [this, triesLeft] {
            if (QWidget* window = ShownWindow(formName)) {
                closed = true;
                window->close();
                return;
            }
            if (mainLive())
                liveDuring.push_back("window events");
            if (triesLeft > 0)
                onEvents(triesLeft - 1);
        });
    }
};

} // namespace

TEST(WindowOpening, TheMainWindowIsClosedToTheOperatorBeforeAWindowStartsLoading)
{
    RegisterMessageWindows();
    RegisterScheduleWindows();
    RegisterProgrammerWindows();
    RegisterSpeakerWindows();
    const struct {
        const char* formName;
        std::function<void(KS_MainForm&)> open;
    } cases[] = {
        {"KS_PPM_MessagesFastkey", [](KS_MainForm& f) { f.mnuMessagesOptions_Click(3); }}, // no file: downloads
        {"KS_GEN_ToneSchedule", [](KS_MainForm& f) { f.mnuSetupToneOptions_Click(0); }},   // no ToneGen.TGS
        {"KS_GEN_TimeReceiverProgrammer", [](KS_MainForm& f) { f.mnuDevicesProgrammersOptions_Click(8); }},
        {"KS_GEN_SpeakerProgrammer", [](KS_MainForm& f) { f.mnuDevicesProgrammersOptions_Click(0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.formName);
        ConsoleHarness harness({{1, "Anna", "A"}});
        harness.engine.EditProfile().toneGenerator = true;
        harness.messages.AnswerAlways(kAnswerNo);
        KS_MainForm& form = harness.Load();
        LoadWatch watch(form, harness.engine, c.formName);
        SetYieldHook([&watch] { watch.onYield(); });
        watch.onEvents();
        c.open(form);
        EXPECT_TRUE(watch.closed) << "the window never showed";
        EXPECT_TRUE(watch.liveDuring.empty()) << watch.liveDuring.front();
        EXPECT_FALSE(form.OpenerDisabled());
    }
}
