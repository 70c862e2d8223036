// Every test program runs in surroundings of its own, set up by its main before any test: a
// HOME and XDG folders in a private folder, no print server but one a test starts itself, no
// default printer, an ALSA default device that plays nowhere, GTK's print backends fixed, and no
// way to the desktop's session bus, input method or GTK modules. The tests pass the same on a
// desk full of printers, sound cards and settings as on a bare machine.
#pragma once

#include <string>

namespace vorn::test {

// Makes the private folder (first call only) and points the environment at it; the folder goes
// when the program ends, removed by the process that made it.
void EnterPrivateEnvironment();
void LeavePrivateEnvironment();

// The private folder, and the socket where every CUPS client of this process asks for the print
// server: nothing listens there unless a test starts its own server on it.
const std::string& PrivateRoot();
const std::string& PrivateCupsSocket();

}  // namespace vorn::test
