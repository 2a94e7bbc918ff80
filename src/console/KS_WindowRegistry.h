#pragma once
// The windows of the message, schedule and device-programmer parts live in
// libraries above the console, so the console cannot name their classes. Each
// of those parts registers a factory here under its form name before the main
// window loads (main.cpp does it); the menu item that opens a form stays
// disabled for as long as no factory is registered for it.

#include <functional>
#include <string>
#include <string_view>

class QWidget;

// Builds the form as a window owned by owner; the opener shows it.
using WindowFactory = std::function<QWidget*(QWidget* owner)>;

namespace FormName {
inline constexpr std::string_view MessagesAlarm = "KS_PPM_MessagesAlarm";
inline constexpr std::string_view MessagesPABX = "KS_PPM_MessagesPABX";
inline constexpr std::string_view MessagesFastkey = "KS_PPM_MessagesFastkey";
inline constexpr std::string_view MessagesFreetext = "KS_PPM_MessagesFreetext";
inline constexpr std::string_view MessagesWireless = "KS_PPM_MessagesWireless";
inline constexpr std::string_view MessagesSB = "KS_PPM_MessagesSB";
inline constexpr std::string_view ScheduledPaging = "KS_GEN_ScheduledPaging";
inline constexpr std::string_view ToneSchedule = "KS_GEN_ToneSchedule";
inline constexpr std::string_view ToneScheduleCalendar = "KS_GEN_ToneScheduleCalendar";
inline constexpr std::string_view DBProgrammer = "KS_GEN_DBProgrammer";
inline constexpr std::string_view SpeakerProgrammer = "KS_GEN_SpeakerProgrammer";
inline constexpr std::string_view CustomAlertsProgrammer = "KS_GEN_CustomAlertsProgrammer";
inline constexpr std::string_view PendantProgrammer = "KS_GEN_PendantProgrammer";
inline constexpr std::string_view PaddleProgrammer = "KS_GEN_PaddleProgrammer";
inline constexpr std::string_view TimeReceiverProgrammer = "KS_GEN_TimeReceiverProgrammer";
inline constexpr std::string_view ClockProgrammer = "KS_GEN_ClockProgrammer";
} // namespace FormName

// A later registration under the same name replaces the earlier one; an empty factory removes it.
void RegisterWindow(std::string_view formName, WindowFactory factory);
bool IsWindowRegistered(std::string_view formName);
// The new window, or nullptr when nothing is registered under the name.
QWidget* CreateRegisteredWindow(std::string_view formName, QWidget* owner);
