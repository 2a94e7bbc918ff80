#pragma once
// Program-wide variables. Every window and module reads and writes these
// directly, as the console always has; keep each one here and nowhere else.

#include <cstdint>
#include <string>
#include <vector>

#include "KS_Records.h"
#include "PageRequest.h"

class CommPort;

// ---- Program and settings (read once at start-up) --------------------------
inline std::string gAppName = "Pagora";
inline std::string gRegistryRoot = "Software\\Kestrane\\Pagora\\";
inline std::string gDataFolder;
inline std::int16_t gConnectionType = 1; // 1 serial, 2 modem
inline std::int16_t gSerialPort = 0;
inline std::int16_t gModemPort = 0;
inline std::string gComSettings = "38400,N,8,1";
inline std::string gModemPhone;
inline std::string gAdminPassword;
inline bool gAutoTimeSet = false;
inline bool gUTCTimeOverride = false;
inline std::string gToneGenFile;
inline std::string gToneGenSlot = "1";
inline std::string gToneGenCalendarFile;
inline std::string gSBChars = "32";
inline std::string gSBLines = "3";
inline bool gShowHelpMessage = true;
inline bool gShowSBSupport = false;
inline bool gAutoHide = false;
inline bool gDatabaseFound = false;
inline bool gAdminMode = false;
// The last unit identified on the encoder's line (settings "Last Encoder Model"
// and "Last Encoder Family"). Pager.DBS holds its codes, so they are read and
// written by it while no unit answers. A blank family: none identified yet.
inline std::string gLastEncoderModelLetter;
inline std::string gLastEncoderFamily;
// The help document that F1 and Help Topics show; Main sets it beside the program.
inline std::string gHelpFile;

// ---- Time base ------------------------------------------------------------
// Advanced by the main window's 50 ms tmrDelay. 64 bits wide so that it never
// wraps within the life of the program.
inline std::int64_t gDelayTicks = 0;

// ---- The link -------------------------------------------------------------
inline CommPort* gComm = nullptr;
inline std::string gReplyBuffer;
inline bool gReceiverIdle = true;
inline bool gReplyAcknowledged = false;
inline bool gProbeAnswered = false;
inline bool gModemConnected = false;
inline bool gModemFailed = false;
inline bool gModemReady = false;
// The line that set gReplyAcknowledged; a stray line arriving after it must not
// turn an acknowledged command into a failure or change the value read.
inline std::string gAcknowledgedLine;

// ---- The encoder's identity and capabilities (written by DetectEncoder) ----
inline std::string gEncoderModelName = "encoder";
inline std::string gEncoderModelLetter = "N/A";
inline std::string gEncoderFamily;
// The model name of a unit that answered neither the identification nor the
// legacy request: no unit was identified.
inline constexpr const char* kUnknownEncoderName = "Not Connected / Unknown";
inline double gEncoderVersion = 0;
// The "?V" answer as the unit sent it. The table layouts compare it digit by
// digit: as a double, 3.16 read from the line need not equal the constant 3.16.
inline std::string gEncoderVersionText;
inline std::string gEncoderSerialNumber;
inline bool gEncoderIdentified = false;
// The last identification fell short: no unit answered it at all, or one
// answered the probe but said nothing to the identification request. What it
// offers is not known, unlike a unit that named itself or refused the request
// as the old ones do.
inline bool gIdentityUnanswered = false;
inline bool gEncoderOptionFlag = false;
inline int gAlarmIndexOffset = 0;

inline bool gEncoderSupportsAlarm = false;
inline bool gEncoderSupportsPABX = false;
inline bool gEncoderSupportsFastkey = false;
inline bool gEncoderSupportsFreetext = false;
inline bool gEncoderSupportsWireless = false;
inline int gAlarmMessageCount = 24;
inline int gPABXMessageCount = 20;
inline int gFastkeyMessageCount = 10;
inline int gFreetextMessageCount = 49;
inline int gWirelessMessageCount = 200;
// The unit was asked for a table's size and gave no answer in time (busy for
// a moment): whether it holds the table is not known, unlike a unit that
// refused the question or said 0.
inline bool gAlarmSizeUnanswered = false;
inline bool gPABXSizeUnanswered = false;
inline bool gFastkeySizeUnanswered = false;
inline bool gFreetextSizeUnanswered = false;
inline bool gWirelessSizeUnanswered = false;

inline bool gToneGenSupported = false;
inline bool gToneCalendarSupported = false;
inline int gToneCalendarEventsPerDay = 0;
// The unit was asked whether it has a tone generator (a tone calendar) and
// gave no answer in time: whether it has one is not known, unlike a unit that
// said no.
inline bool gToneGenUnanswered = false;
inline bool gToneCalendarUnanswered = false;
inline bool gToneEventsSupported = false;

// ---- Device programmers ------------------------------------------------------
// Programmer windows open. While any is, a device and not the encoder is on
// the port, so the timers of the main window and the cover page keep off it.
inline int gDeviceWindowsOpen = 0;

// ---- The cover page ---------------------------------------------------------
// Filled by the cover-page window before each test page; keeps its last values
// after the window closes.
inline PageRequest gCoverPageRequest;

// ---- The message box ------------------------------------------------------
inline std::int16_t gMessageResult = 0;
inline bool gMessageOption = false;
inline std::int16_t gMessageDefaultButton = 0;

// ---- The schedules ------------------------------------------------------------
// 700 entries once the first LoadScheduleDatabase has run (empty before);
// the seconds timer's Fired marks live here and survive reloads.
inline std::vector<ScheduleEntry> gSchedule;
// 336 events, built anew by every LoadToneSchedule.
inline std::vector<ToneScheduleEvent> gToneSchedule;
