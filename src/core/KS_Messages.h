#pragma once
// The one message box of the program, and the status line that every part
// of the program reports to.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Buttons
inline constexpr int kButtonsOk = 0;
inline constexpr int kButtonsOkCancel = 1;
inline constexpr int kButtonsCancel = 2;
inline constexpr int kButtonsYesNoCancel = 3;
inline constexpr int kButtonsYesNo = 4;
// Icons
inline constexpr int kIconCritical = 16;
inline constexpr int kIconQuestion = 32;
inline constexpr int kIconExclamation = 48;
inline constexpr int kIconInformation = 64;
// Answers
inline constexpr std::int16_t kAnswerOk = 1;
inline constexpr std::int16_t kAnswerCancel = 2;
inline constexpr std::int16_t kAnswerTimedOut = 3;
inline constexpr std::int16_t kAnswerYes = 6;
inline constexpr std::int16_t kAnswerNo = 7;
inline constexpr std::int16_t kAnswerBoxBusy = -1;

struct MessageRequest {
    std::string message;
    int buttons = kButtonsOk;
    int defaultButton = kAnswerOk;
    int icon = kIconCritical;
    std::string title;
    std::string optionText;
    bool optionValue = false;
    bool timeOutEnabled = false;
    int timeOutInterval = 0;
    bool tall = false;
};

struct MessageAnswer {
    std::int16_t result = kAnswerOk;
    bool option = false;
};

// Shows the box modally and returns 1 OK, 2 Cancel, 3 timed out, 6 Yes, 7 No,
// or -1 when a box is already showing (nothing is shown then).
std::int16_t ShowMessage(std::string_view message, int buttons = kButtonsOk, int defaultButton = kAnswerOk,
                         int icon = kIconCritical, std::string_view title = {}, std::string_view optionText = {},
                         bool optionValue = false, bool timeOutEnabled = false, int timeOutInterval = 0,
                         bool tall = false);
std::int16_t ShowMessage(const MessageRequest& request);
// A notice the operator must not miss: shown at once, or, while another box
// is up, as soon as that box has been answered (returning -1 then).
std::int16_t ShowNotice(const MessageRequest& request);

// Tests answer boxes without showing them. The hook sees each request; an
// answer is taken as if the operator gave it, no answer shows the real box.
using MessageAnswerHook = std::function<std::optional<MessageAnswer>(const MessageRequest&)>;
void SetMessageAnswerHook(MessageAnswerHook hook);

// True while the message window is up.
bool MessageBoxShowing();
// How many boxes have shown on the screen so far (a hook's answers show none):
// a mouse press that outlasted one was released on the box, not on its button.
std::uint64_t MessageBoxesShown();

// The status line. The main window registers where the text goes; until then
// (and in tests) the last report is kept for reading.
using StatusSink = std::function<void(const std::string& text, bool isError, int noOfBeeps)>;
void SetStatusSink(StatusSink sink);
const StatusSink& CurrentStatusSink();
// noOfBeeps < 0 means the default: 3 for an error, else 0.
void ReportStatus(std::string_view statusText, bool isError = false, int noOfBeeps = -1);
struct StatusReport {
    std::string text;
    bool isError = false;
    int noOfBeeps = 0;
};
const StatusReport& LastStatusReport();
