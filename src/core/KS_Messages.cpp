#include "KS_Messages.h"

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <deque>

#include "KS_Events.h"
#include "KS_Forms.h"
#include "KS_Globals.h"
#include "KS_SYS_Message.h"

namespace {

// A box is up and not yet answered. Its call returns only once whatever runs
// inside its loop (a timer's page, say) has returned; the next box may show
// as soon as this one has been answered.
bool boxShowing = false;
std::uint64_t boxesShown = 0;

// Notices that met another box in their way, oldest first.
std::deque<MessageRequest>& pendingNotices()
{
    static std::deque<MessageRequest> notices;
    return notices;
}

void showPendingNotices()
{
    if (ExitChosen())
        pendingNotices().clear();
    while (!boxShowing && !pendingNotices().empty()) {
        const MessageRequest request = pendingNotices().front();
        pendingNotices().pop_front();
        ShowMessage(request);
    }
}

MessageAnswerHook& answerHook()
{
    static MessageAnswerHook hook;
    return hook;
}

StatusSink& statusSink()
{
    static StatusSink sink;
    return sink;
}

StatusReport& lastStatus()
{
    static StatusReport report;
    return report;
}

} // namespace

std::int16_t ShowMessage(std::string_view message, int buttons, int defaultButton, int icon, std::string_view title,
                         std::string_view optionText, bool optionValue, bool timeOutEnabled, int timeOutInterval,
                         bool tall)
{
    MessageRequest request;
    request.message = std::string(message);
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    request.icon = icon;
    request.title = std::string(title);
    request.optionText = std::string(optionText);
    request.optionValue = optionValue;
    request.timeOutEnabled = timeOutEnabled;
    request.timeOutInterval = timeOutInterval;
    request.tall = tall;
    return ShowMessage(request);
}

std::int16_t ShowMessage(const MessageRequest& request)
{
    if (boxShowing)
        return kAnswerBoxBusy;
    // Each box starts from no answer, never from the previous box's.
    gMessageResult = 0;

    if (auto& hook = answerHook()) {
        if (const auto answer = hook(request)) {
            gMessageDefaultButton = static_cast<std::int16_t>(request.defaultButton);
            gMessageResult = answer->result;
            if (answer->result != kAnswerTimedOut)
                gMessageOption = !request.optionText.empty() && answer->option;
            return gMessageResult;
        }
    }
    if (!QApplication::instance())
        return gMessageResult;

    boxShowing = true;
    ++boxesShown;
    std::optional<MessageAnswer> own;
    {
        // The box lives on this stack, owned by the window under it: that
        // window must outlive the box's loop, whatever runs inside it.
        const WaitScope boxWaits;
        KS_SYS_Message box(OperatorWindow());
        box.Prepare(request);
        // The answer is this box's own, whatever box shows after it while
        // its loop is still held by a wait.
        QObject::connect(&box, &QDialog::finished, [&own] {
            own = MessageAnswer{gMessageResult, gMessageOption};
            boxShowing = false;
            if (!pendingNotices().empty())
                QTimer::singleShot(0, showPendingNotices);
        });
        box.ShowMe();
    }
    boxShowing = false;
    const MessageAnswer answer = own.value_or(MessageAnswer{gMessageResult, gMessageOption});
    DoEvents();
    RaiseLoadMessage();
    showPendingNotices();
    // A notice that waited for this box has its own answer; the caller reads
    // the operator's answer to this one, in the result and in the globals.
    gMessageResult = answer.result;
    gMessageOption = answer.option;
    return answer.result;
}

std::int16_t ShowNotice(const MessageRequest& request)
{
    if (ExitChosen())
        return kAnswerBoxBusy;
    if (!boxShowing)
        return ShowMessage(request);
    // One failure told once: the same notice already waiting says it all.
    const auto same = [&request](const MessageRequest& waiting) { return waiting.message == request.message; };
    if (std::none_of(pendingNotices().begin(), pendingNotices().end(), same))
        pendingNotices().push_back(request);
    return kAnswerBoxBusy;
}

void SetMessageAnswerHook(MessageAnswerHook hook) { answerHook() = std::move(hook); }

bool MessageBoxShowing() { return boxShowing; }
std::uint64_t MessageBoxesShown() { return boxesShown; }

void SetStatusSink(StatusSink sink) { statusSink() = std::move(sink); }
const StatusSink& CurrentStatusSink() { return statusSink(); }

void ReportStatus(std::string_view statusText, bool isError, int noOfBeeps)
{
    if (noOfBeeps < 0)
        noOfBeeps = isError ? 3 : 0;
    lastStatus() = StatusReport{std::string(statusText), isError, noOfBeeps};
    if (auto& sink = statusSink())
        sink(lastStatus().text, isError, noOfBeeps);
}

const StatusReport& LastStatusReport() { return lastStatus(); }
