// Every test program runs in surroundings of its own, set up by its main before any test:
// a HOME and XDG folders in a private folder, a CUPS client configuration that reaches no
// print server but the one a test starts itself, no default printer named by the environment,
// an ALSA configuration whose default device takes samples nowhere, GTK's print backends
// fixed, and no way to the desktop's session bus, input method or GTK modules. A developer's
// printers, sound card, home folder and desktop settings are out of reach, and the tests pass
// the same on a desk full of them as on a bare machine.
#pragma once

#include <string>

namespace vorn::test {

// Makes the private folder and points the environment at it; the first call only. The folder
// goes when the program ends.
void EnterPrivateEnvironment();
// Removes the private folder (from the process that made it only).
void LeavePrivateEnvironment();

// The private folder, and the socket path every CUPS client of this process asks for the
// print server: nothing listens there unless a test starts its own server on it.
const std::string& PrivateRoot();
const std::string& PrivateCupsSocket();

}  // namespace vorn::test
