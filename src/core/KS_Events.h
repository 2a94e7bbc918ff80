#pragma once
// The one place where the program yields to the window system. Every wait in
// Pagora is a loop on gDelayTicks that calls WaitForEvents() once per pass;
// in the program that blocks until the next event (at the latest the next
// 50 ms tick), so a waiting console costs no CPU. Tests replace it with a
// deterministic pump that advances one tick per call.

#include <cstdint>
#include <functional>

// Runs the window events already waiting, once, without blocking: a long
// piece of work that is not a wait (a transfer drawing its progress, the
// please-wait window shown or closed) calls it so the windows repaint and the
// operator's clicks are not left queued until the work ends.
void DoEvents();

// One pass of a wait loop: blocks in the event loop until something happens,
// or runs the installed test pump instead.
void WaitForEvents();

// Marks code that lets window events run while its callers' windows are in
// use: a pass of a wait, and the modal loop of a message box. A window closed
// from inside it (the operator closes a window while a page sent by a timer
// waits inside that window's message box) is hidden at once, but destroyed
// only once the outermost such scope has ended and the code below it has
// returned to the event loop: the box on the stack, and the handler that
// showed it, must not lose the window under them.
class WaitScope {
public:
    WaitScope();
    ~WaitScope();
    WaitScope(const WaitScope&) = delete;
    WaitScope& operator=(const WaitScope&) = delete;
};

// A wait notes the tick at which it acts of its own accord (its time-out, a
// second probe), and so does the receiver for a line that has not ended. A
// pump that knows nothing can arrive before that tick may skip the ticks up
// to it: nothing would happen in them.
void NoteWaitAction(std::int64_t tick);
// The earliest tick noted since the last call; the largest value when none.
std::int64_t TakeNextWaitAction();

// Installs a replacement for WaitForEvents (empty function restores the event loop).
void SetYieldHook(std::function<void()> hook);
bool HasYieldHook();

// Advances the tick counter by one; what tmrDelay does every 50 ms.
void AdvanceTick();

// Waits the given number of 50 ms ticks, letting window events run meanwhile.
void WaitTicks(std::int32_t noOf50msCycles);

// Exit may be chosen from inside a wait (the tray menu runs during transfers):
// once requested, every wait loop falls through so the process can end cleanly.
bool ExitRequested();
void RequestExit();
// The waits run again (the exit's own device stops and hang-up wait for their
// answers); Exit stays chosen.
void ClearExitRequest();
// Exit has been chosen: from then on no link failure is put to the operator,
// whatever the waits cut short or the last stops could not reach.
bool ExitChosen();
// A fresh start, as the program has before anyone chose Exit.
void ResetExitForTest();

// A device run's own ending: back to normal mode, the end marker of a
// half-sent file, the line speed put back. Exit cuts the run short at its next
// item, but not its ending, or the device would stay in programming mode or at
// a speed the console never looks for: while one lives, the waits run and the
// link sends as before Exit was chosen. Exit stays chosen, so no failure is put
// to the operator, and its request stands again once the ending is over.
class RunEnding {
public:
    RunEnding();
    ~RunEnding();
    RunEnding(const RunEnding&) = delete;
    RunEnding& operator=(const RunEnding&) = delete;
};

// Marks a conversation with the encoder (a page, a transfer, a clock setting)
// for as long as it lives. Timer jobs that would start a conversation of their
// own check ConversationActive() and wait for a later tick instead of nesting
// inside another's wait, so no acknowledgement is credited to the wrong command.
class LinkConversation {
public:
    LinkConversation();
    ~LinkConversation();
    LinkConversation(const LinkConversation&) = delete;
    LinkConversation& operator=(const LinkConversation&) = delete;

    static bool ConversationActive();
};

// Runs the callback once no conversation is running: at once when none is,
// else as the outermost one ends. A later call replaces a callback still
// waiting; an empty one cancels it.
void WhenNoConversation(std::function<void()> callback);
