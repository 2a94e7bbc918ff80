#pragma once
// Helpers shared by all test programs.

#include <deque>
#include <string>
#include <vector>

#include "KS_Messages.h"

class KS_SYS_Message;

// Puts the program-wide variables and hooks back to their start-up values.
void ResetProgramStateForTest();

// Answers message boxes from a queue instead of showing them. Every box shown
// is recorded; a box with no queued answer fails the test and answers the
// box's Escape choice so the code under test can go on.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void Answer(std::int16_t result, bool option = false);
    // Answers the next box with the button, and any later unanswered box too.
    void AnswerAlways(std::int16_t result);

    const std::vector<MessageRequest>& shown() const { return shown_; }
    // For each box shown, whether the please-wait window was still up behind it.
    const std::vector<bool>& pleaseWaitUp() const { return pleaseWaitUp_; }
    std::vector<std::string> texts() const;
    // Every queued answer was used.
    bool queueEmpty() const { return answers_.empty(); }

private:
    std::deque<MessageAnswer> answers_;
    std::vector<MessageRequest> shown_;
    std::vector<bool> pleaseWaitUp_;
    std::int16_t always_ = 0;
};

// Collects every status report while it lives.
class StatusLog {
public:
    StatusLog();
    ~StatusLog();
    StatusLog(const StatusLog&) = delete;
    StatusLog& operator=(const StatusLog&) = delete;

    std::vector<std::string> texts() const;
    std::vector<StatusReport> reports;
};

// The message box shown for real (no answer hook took it), or null.
KS_SYS_Message* VisibleMessageBox();

// A fresh temporary data folder, set as gDataFolder for the test's life.
std::string MakeDataFolder();
