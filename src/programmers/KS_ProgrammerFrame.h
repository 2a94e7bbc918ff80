#pragma once
// What every device-programmer window shares: the window itself (modal over
// the main window, which it enables again when it closes), the toolbar that
// repeats its command buttons, the text-box conventions (Enter as Tab,
// select-all, digit boxes padded on leaving, frequency boxes with their range
// and raster question), the program check boxes, the checks before a run,
// the run guard and the step texts of a program run, the factory reset and
// the switch back to normal mode, and the hidden service key.
//
// A window derives from KS_ProgrammerFrame, builds its controls from its
// table with BuildFrame (the common members below are filled by the rows
// that name them; a window without a reset simply has no cmdReset row), and
// overrides the handlers of the buttons it has.

#include <QHash>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "KS_BusyDialog.h"
#include "KS_FormBuilder.h"
#include "KS_Toolbar.h"

class FormConventions;
class LinkConversation;
class QToolBar;

class KS_ProgrammerFrame : public BusyDialog {
    Q_OBJECT

public:
    ~KS_ProgrammerFrame() override;

    // ---- Controls common to the windows (nullptr where a window has none)
    QToolBar* tlbMenu = nullptr;
    QGroupBox* fraGeneralDetails = nullptr;
    QLabel* lblVersion = nullptr;
    QLineEdit* txtVersion = nullptr;
    QLabel* lblSerialNumber = nullptr;
    QLineEdit* txtSerialNumber = nullptr;
    QCheckBox* chkSNAutoIncrement = nullptr;
    QLineEdit* txtSNIncrement = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdProgram = nullptr;
    QPushButton* cmdRead = nullptr;
    QPushButton* cmdClose = nullptr;
    QProgressBar* prgProgress = nullptr;
    QLabel* lblInfo = nullptr;

    // ---- Shared handlers
    virtual void cmdRead_Click() {}
    virtual void cmdProgram_Click() {}
    virtual void cmdReset_Click() {}
    void cmdClose_Click() { close(); }
    void chkSNAutoIncrement_Click();

    // The hidden key combination for the service fields.
    static constexpr int kServiceKey = Qt::Key_F12;
    static constexpr Qt::KeyboardModifiers kServiceModifiers = Qt::ControlModifier | Qt::ShiftModifier;

    // True between the start and the end of a read, program or reset run;
    // the window cannot be closed meanwhile.
    bool Running() const { return Busy(); }
    // True while a test tone or a transmitter test waits for the unit.
    bool Exchanging() const { return exchanges_ > 0; }

    // ---- Leaving boxes (the focus-out handlers call these; tests may too)
    // A digit box: its numeric value with leading zeros to its maximum length,
    // as it goes to the device whatever the box holds, and as leaving shows it.
    static std::string BoxDigits(const QLineEdit* box);
    static void PadDigitBox(QLineEdit* box);
    // A frequency box: reformatted "000.0000"; then, while it is enabled,
    // shown and unlocked, the range message or the raster question. False
    // when the box took the focus back. Leaving a box runs it only when the
    // box holds what the operator typed (its modified flag).
    bool FrequencyBoxLeft(QLineEdit* box);

protected:
    KS_ProgrammerFrame(QWidget* owner, const char* formName, const char* caption, int widthTwips, int heightTwips);

    // Builds the window's controls into the area under the toolbar and
    // installs the form conventions and the shared handlers.
    void BuildFrame(std::span<const FormControl> controls);
    // Builds the toolbar, hourglass shown: "cmdProgram" (Update), "cmdRead"
    // (Download), "cmdClose" (Close), then the window's further buttons.
    void SetupToolbar(std::span<const ToolbarButton> further = {});

    // Box roles: the key filter, select-all and what happens on leaving.
    void MakeDigitBox(QLineEdit* box, int maxLength);
    void MakeFrequencyBox(QLineEdit* box);
    // A read-only box: locked, select-all on focus only.
    static void Lock(QLineEdit* box, bool locked);
    // txtVersion locked, showing "N/A" until a read finds a version.
    void SetUpVersionBox();
    static bool Unlocked(const QLineEdit* box);
    // Shown within this window, whether or not the window itself is on screen yet.
    bool Shown(const QWidget* control) const;
    bool Editable(const QLineEdit* box) const;

    // A program check box enables (or disables) what it governs and moves the
    // focus to the first of them when ticked.
    void BindProgramCheck(QCheckBox* check, std::initializer_list<QWidget*> governed);
    // The serial-number service fields: unlocked by the hidden key; a window
    // that unlocks more overrides ServiceUnlocked.
    virtual void ServiceUnlocked() {}
    void UnlockServiceFields();
    // A window without service fields ignores the hidden key; one whose
    // operator stays where he was when it unlocks keeps the focus.
    void SetServiceKey(bool on, bool movesFocus = true)
    {
        serviceKey_ = on;
        serviceKeyMovesFocus_ = movesFocus;
    }

    // ---- Checks before a run (each shows its message, exclamation and OK,
    // and moves the focus to the control at fault)
    // "Please enter a valid frequency." for an empty or absurd frequency box.
    bool FrequencyPresent(QLineEdit* box);
    // Range and raster of every frequency box the run will write.
    bool FrequenciesAcceptable(std::initializer_list<QLineEdit*> boxes);
    // Every ticked capcode row within 8..2097151.
    bool CapcodesInRange(std::span<QCheckBox* const> ticks, std::span<QLineEdit* const> capcodes);
    // A ticked program check box whose list has no selection.
    bool SelectionMade(QCheckBox* check, QComboBox* list, std::string_view message);
    // Shows the message (none when it is empty) and moves the focus (inside a
    // run: once the run is over and the controls can take it); always false.
    bool Refuse(std::string_view message, QWidget* focus);

    // ---- Runs
    // Disables the window's controls and shows the hourglass while it lives;
    // on every way out the controls are enabled again, the pointer restored,
    // the loading window unloaded and, for a program run, the progress bar
    // hidden. It also marks the conversation, so no timer job of the main
    // window talks in between.
    class Run {
    public:
        Run(KS_ProgrammerFrame& frame, bool programRun);
        ~Run();
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

    private:
        KS_ProgrammerFrame& frame_;
        bool programRun_;
        bool outermost_;
        std::unique_ptr<LinkConversation> conversation_;
    };
    // A read run. While the tries run, lblInfo shows which item the read is
    // at, counted from 1 on every read (a window whose read shows no step
    // texts says so); a read that asked the device and got not one item from
    // it ends with the warning of a read whose probe went unanswered, rather
    // than passing for a read of the fallbacks the boxes then show.
    class ReadRun {
    public:
        explicit ReadRun(KS_ProgrammerFrame& frame, bool showsItems = true);
        ~ReadRun();
        ReadRun(const ReadRun&) = delete;
        ReadRun& operator=(const ReadRun&) = delete;

    private:
        KS_ProgrammerFrame& frame_;
        bool outermost_;
        Run run_;
        int askedBefore_ = 0;
        int itemsBefore_ = 0;
        bool infoHidden_ = false;
        QString working_;
    };
    // A single exchange outside a run (a test tone, a transmitter test): no
    // hourglass, but the window's controls and toolbar go grey until the
    // exchange is over and it cannot be closed meanwhile, since its handler
    // still has to come back to it. A read, program or reset started while
    // the unit's acknowledgement is awaited would clear it and make the
    // sender repeat the test's command (the unit plays the tone twice), so
    // the window's handlers refuse to start one while Exchanging().
    class Exchange {
    public:
        explicit Exchange(KS_ProgrammerFrame& frame);
        ~Exchange();
        Exchange(const Exchange&) = delete;
        Exchange& operator=(const Exchange&) = delete;

    private:
        KS_ProgrammerFrame& frame_;
    };
    // Runs the body; an unexpected failure inside it ends the run with false.
    static bool Guarded(const std::function<bool()>& body);

    // Program-run steps.
    void StartProgress(int maximum);
    // Shows the step text and, when asked, moves the progress bar on.
    void Step(std::string_view text, bool advance = true);
    // A step the device did not acknowledge: the failure text, a 20-tick pause.
    void StepFailed(std::string_view failureText = " - Failed.");
    // "Done !", or "Done ! - " + the count + " item(s) failed." when a step failed.
    void FinishProgram();
    // The serial number plus its increment after a successful setting; a sum
    // that outgrows the box is refused with a message and nothing changes.
    void AutoIncrement(QLineEdit* value, QLineEdit* increment);
    // Sends a digit box's value, padded to the box's width as leaving it
    // would, after the command; acknowledged, the box shows what was sent and
    // then takes its increment when the increment is ticked; refused, the step
    // fails and the box is left as it was.
    bool SendDigitBox(std::string_view command, QLineEdit* box, QCheckBox* autoIncrement, QLineEdit* increment,
                      std::int32_t ticks, std::int16_t retries = 3);
    // The reset's question (question icon, Yes and No, No the default), then,
    // for a device with a button, the operator's press of it, a Cancel told as
    // not updated. Any other answer moves the focus to txtVersion; false.
    bool ResetConfirmed(std::string_view question, const std::function<bool()>& buttonPressed = nullptr);
    // "?XR" (40 ticks and the given retries); false when not acknowledged.
    static bool SendFactoryReset(std::int16_t retries = 3);
    // "XT" back to normal mode, with its step text and failure text.
    void SwitchToNormalMode();

    void keyPressEvent(QKeyEvent* event) override;
    // Refused while an exchange waits, as while a run goes on.
    void closeEvent(QCloseEvent* event) override;

    // The window's dialog conventions, for boxes with rules of their own.
    FormConventions& Conventions() { return *conventions_; }

private:
    class BoxRoles;
    void setRunning(bool running);

    QWidget* client_ = nullptr;
    FormConventions* conventions_ = nullptr;
    BoxRoles* roles_ = nullptr;
    bool serviceKey_ = true;
    bool serviceKeyMovesFocus_ = true;
    QPointer<QWidget> focusAfterRun_;
    int failedSteps_ = 0;
    int exchanges_ = 0; // test tones and transmitter tests waiting for the unit
    // Off-raster frequencies the operator confirmed, by box: asked once for a value.
    QHash<const QLineEdit*, QString> rasterConfirmed_;
};
