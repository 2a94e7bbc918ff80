#include "KS_Events.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <utility>

#include "KS_Delay.h"
#include "KS_Globals.h"

namespace {
std::function<void()>& yieldHook()
{
    static std::function<void()> hook;
    return hook;
}
bool exitRequested = false;
int conversationDepth = 0;
std::function<void()> afterConversations;
} // namespace

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WaitForEvents()
{
    if (auto& hook = yieldHook()) {
        hook();
        return;
    }
    if (!QCoreApplication::instance() || exitRequested)
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
    while (!delay.DelayExpired() && !exitRequested)
        WaitForEvents();
}

bool ExitRequested() { return exitRequested; }
void RequestExit() { exitRequested = true; }
void ClearExitRequest() { exitRequested = false; }

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
