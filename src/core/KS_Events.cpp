#include "KS_Events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "KS_Delay.h"
#include "KS_Globals.h"

namespace {
std::function<void()>& yieldHook()
{
    static std::function<void()> hook;
    return hook;
}
bool exitRequested = false;
// Run endings under way, each of which the exit waits for.
int runEndings = 0;
bool exitChosen = false;
int conversationDepth = 0;
std::function<void()> afterConversations;

constexpr std::int64_t kNoWaitAction = std::numeric_limits<std::int64_t>::max();
std::int64_t nextWaitAction = kNoWaitAction;

int waitDepth = 0;
std::vector<QPointer<QObject>> keptWindows;

// Holds back the deletion of a window that was closed inside a wait. Qt
// deletes a closed window as soon as the event that closed it has returned;
// inside a wait that is still deep inside the code that uses the window.
class WindowKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::DeferredDelete && waitDepth > 0 && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->isWindow()) {
            keptWindows.emplace_back(watched);
            return true;
        }
        return false;
    }
};

void installWindowKeeper()
{
    static QPointer<WindowKeeper> keeper;
    if (keeper || !QCoreApplication::instance())
        return;
    keeper = new WindowKeeper(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(keeper);
}
} // namespace

WaitScope::WaitScope()
{
    installWindowKeeper();
    ++waitDepth;
}

WaitScope::~WaitScope()
{
    if (--waitDepth > 0)
        return;
    // Asked again from here, the deletion waits until the code that runs this
    // wait (or showed this box) has returned to the event loop.
    for (const QPointer<QObject>& window : std::exchange(keptWindows, {})) {
        // Qt drops a deletion asked for again while other events still wait
        // for the window (it takes the first request for one still queued),
        // and the window would live on hidden: those events go first.
        if (window)
            QCoreApplication::sendPostedEvents(window.data());
        if (window)
            QCoreApplication::postEvent(window.data(), new QDeferredDeleteEvent());
    }
}

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void NoteWaitAction(std::int64_t tick) { nextWaitAction = std::min(nextWaitAction, tick); }
std::int64_t TakeNextWaitAction() { return std::exchange(nextWaitAction, kNoWaitAction); }

void WaitForEvents()
{
    const WaitScope pass;
    if (auto& hook = yieldHook()) {
        hook();
        return;
    }
    if (!QCoreApplication::instance() || ExitRequested())
        return;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void SetYieldHook(std::function<void()> hook) { yieldHook() = std::move(hook); }
bool HasYieldHook() { return static_cast<bool>(yieldHook()); }

void AdvanceTick() { ++gDelayTicks; }

void WaitTicks(std::int32_t noOf50msCycles)
{
    clsDelay delay;
    delay.InitDelay(noOf50msCycles);
    while (!delay.DelayExpired() && !ExitRequested())
        WaitForEvents();
}

bool ExitRequested() { return exitRequested && runEndings == 0; }

RunEnding::RunEnding() { ++runEndings; }
RunEnding::~RunEnding() { --runEndings; }
void RequestExit()
{
    exitRequested = true;
    exitChosen = true;
}
void ClearExitRequest() { exitRequested = false; }
bool ExitChosen() { return exitChosen; }
void ResetExitForTest()
{
    exitRequested = false;
    exitChosen = false;
}

LinkConversation::LinkConversation() { ++conversationDepth; }
LinkConversation::~LinkConversation()
{
    if (--conversationDepth == 0 && afterConversations)
        std::exchange(afterConversations, {})();
}
bool LinkConversation::ConversationActive() { return conversationDepth > 0; }

void WhenNoConversation(std::function<void()> callback)
{
    if (callback && conversationDepth == 0) {
        afterConversations = {};
        callback();
        return;
    }
    afterConversations = std::move(callback);
}
