// Command ids of the main window (menu entries and commands posted by the
// monitor), and the request codes of the one-slot hand-off to the monitor.
// Shared by the engine, the shell and tolvi-sim; constants only.
#pragma once

#include <cstdint>

namespace tolvi {

namespace command {
inline constexpr std::uint32_t kHelp = 2000;
inline constexpr std::uint32_t kOptions = 2001;
inline constexpr std::uint32_t kExit = 2002;
inline constexpr std::uint32_t kAbout = 2003;
inline constexpr std::uint32_t kResetReminder = 2004;
inline constexpr std::uint32_t kAway = 2006;
inline constexpr std::uint32_t kOnBreak = 2007;
inline constexpr std::uint32_t kWorking = 2008;
inline constexpr std::uint32_t kTimeDisplay = 2009;
inline constexpr std::uint32_t kAtMeeting = 2010;
inline constexpr std::uint32_t kTerminateSound = 2011;
inline constexpr std::uint32_t kDestroyWindow = 2012;
inline constexpr std::uint32_t kTransparent = 2013;
inline constexpr std::uint32_t kOnTop = 2014;
inline constexpr std::uint32_t kAddWorkType = 2015;
inline constexpr std::uint32_t kSelectWorkType = 2016;
inline constexpr std::uint32_t kRefresh = 2017;
inline constexpr std::uint32_t kWorkTypeDialog = 2018;
// "Recent Work" entries and "Change Work To ...": first id + RecentWork slot.
inline constexpr std::uint32_t kChangeWorkFirst = 2200;
// "Edit ...": first id + RecentWork slot.
inline constexpr std::uint32_t kEditWorkFirst = 2300;
inline constexpr std::uint32_t kWorkSlotCount = 20;
}  // namespace command

namespace request {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kChangeWorkType = 1;
inline constexpr std::uint32_t kDayCheck = 2;
inline constexpr std::uint32_t kEditWorkType = 3;
inline constexpr std::uint32_t kSelectWorkType = 4;
inline constexpr std::uint32_t kAddWorkType = 5;
inline constexpr std::uint32_t kRefresh = 6;
inline constexpr std::uint32_t kWorkDetailsClosed = 7;
inline constexpr std::uint32_t kSelectWorkClosed = 8;
inline constexpr std::uint32_t kDialogOpen = 999;

// RequestValue the monitor leaves for the dialog of requests 4 and 5.
inline constexpr std::int32_t kSelectCurrentValue = -1;
inline constexpr std::int32_t kNewWorkTypeValue = -2;
}  // namespace request

}  // namespace tolvi
