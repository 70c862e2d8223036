// The System module ("_SystemClass") and its companion class _QuicktimeInstallStatus: class
// definitions built once on first use, registered with the intrinsic classes at start-up. Its
// companions NetworkInterface and Network are the net room's (net/network_classes.h). The
// entry points are declared in vorn/system_api.h.
#pragma once

#include <cstdint>
#include <string>

#include "objects/object_definition.h"
#include "objects/runtime_class.h"
#include "vorn/system_api.h"

namespace vorn {

ObjectDefinition* GetSystemModuleDefinition();
ObjectDefinition* GetQuicktimeInstallStatusClassDefinition();
// Enters the System module and its companion classes in the intrinsic registries.
void RegisterSystemClasses();

// Source path of the module's failed assertions.
inline constexpr const char* kSystemModuleSource = "../Common/RunSystem";

// The bytes of a language string as the desktop reads text (UTF-8); nil gives empty.
std::string SystemText(VornStringRecord* record);

// --- the system log -----------------------------------------------------------------------

// The syslog priority of a LogLevel constant: 1000-1007 give 0-7, 1008 (Success) and every
// other value 6 (informational).
int SyslogPriorityForLevel(int32_t level);

// What Log hands to the system log: the program's name (entry 0 of the command line, nil
// when there is none), the priority and the message bytes, which are sent as data (never as
// a format). The default writer opens the log with LOG_PID and LOG_USER, writes and closes it.
using SystemLogWriter = void (*)(const char* ident, int priority, const std::string& message);
// Replaces the writer; nil puts the real system log back. Answers the writer it replaced.
SystemLogWriter SetSystemLogWriter(SystemLogWriter writer);

// --- the command line ---------------------------------------------------------------------

// Forgets the cached command line, so that the next CommandLine read builds it again (tests).
void ForgetCachedCommandLine();

}  // namespace vorn
