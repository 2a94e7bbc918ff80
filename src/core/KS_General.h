#pragma once
// Start-up, the encoder-type predicates and the hex helpers.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// What Main needs of the main window, which lives further up (console).
class MainWindowBase : public QMainWindow {
public:
    using QMainWindow::QMainWindow;
    // The window's load: opens the link, detects the encoder, builds itself.
    virtual void Form_Load() = 0;
};

class QLockFile;

// The program's entry point: single instance, settings, then the main window.
int Main(int argc, char** argv, const std::function<MainWindowBase*()>& createMainWindow);

// Main's work once the application object exists. Returns no window when
// another instance runs (after telling the operator); the lock is held for as
// long as the caller keeps it.
std::unique_ptr<MainWindowBase> StartProgram(const std::function<MainWindowBase*()>& createMainWindow,
                                             std::unique_ptr<QLockFile>& instanceLock);

// The path of the help document beside the program.
std::string HelpFilePath();

// Shows gHelpFile in the desktop's viewer. A missing file, or a desktop with
// no program that shows it, is told in a message box.
void ShowHelpTopics();
// Stands in for the desktop's viewer: true when it showed the file. An empty
// function restores the desktop's own.
void SetDocumentViewerForTest(std::function<bool(const QString& path)> viewer);

// ---- Encoder-type predicates: exact, case-sensitive tests of the model letter.
bool EncoderSerialIsReversed(std::string_view modelLetter);
bool IsEncoderTypeAB(std::string_view modelLetter);
bool EncoderSupportsToneChannels(std::string_view modelLetter);
bool EncoderSupportsToneActions(std::string_view modelLetter);
bool EncoderSupportsDateTimeCommands(std::string_view modelLetter);
bool EncoderUsesExtendedAlarmLayout(std::string_view modelLetter);

// ---- Hex helpers for the block framing of device uploads.
// Upper-case hex, zero-padded to width; throws std::invalid_argument when the value needs more digits.
std::string ToHexPadded(std::int32_t value, std::int16_t width);
// The 16-bit additive checksum of the bytes (each 0..255) as four hex digits,
// or asCharacters as the two bytes themselves, low byte first, as block
// uploads carry it.
std::string TextToHexChecksum(std::string_view text, bool asCharacters = false);

// ---- Display-attribute lists and the sign-board attribute code -------------
// The fillers of the seven display lists. Every one but FillNumberCombo first
// clears its list, so filling again rebuilds it. withAll puts an "All" item
// (datum kAllItemData) in front.
class OptionList;
void FillNumberCombo(OptionList& list, std::int16_t selectIndex);
void FillSBTimeSliceCombo(OptionList& list, std::int16_t selectIndex, bool withAll = false);
void FillSBTimeoutMinutesCombo(OptionList& list, std::int16_t selectIndex, bool withAll = false);
void FillSBColorCombo(OptionList& list, std::int16_t selectIndex, bool withAll = false);
void FillSBEffectCombo(OptionList& list, std::int16_t selectIndex, bool withAll = false);
void FillSBFontCombo(OptionList& list, std::int16_t selectIndex, bool withAll = false);
void FillSBAlignmentCombo(OptionList& list, std::int16_t selectIndex, bool withAll = false);
// The seven lists of one display's attributes, each filled by its filler above with its first entry selected.
void FillDisplayAttributeCombos(OptionList& slot, OptionList& timeSlice, OptionList& timeout, OptionList& color,
                                OptionList& effect, OptionList& font, OptionList& alignment);

// The seven-character attribute code that a sign-board page carries between
// "SB" and "*", or "*" alone when the display is to be cleared.
std::string BuildSBAttributeCode(std::int16_t slot, std::int16_t timeSlice, std::int16_t timeout, std::int16_t color,
                                 std::int16_t effect, std::int16_t font, std::int16_t alignment, bool clear);
