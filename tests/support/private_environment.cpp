#include "support/private_environment.h"

#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace vorn::test {

namespace {

std::string sRoot;
std::string sCupsSocket;
pid_t sOwner = -1;

void MakeFolder(const std::string& path, mode_t mode) {
  mkdir(path.c_str(), mode);
  chmod(path.c_str(), mode);
}

void Set(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

}  // namespace

void EnterPrivateEnvironment() {
  if (!sRoot.empty()) return;
  // In /tmp whatever TMPDIR says: a socket path has little room.
  char folder[] = "/tmp/vorn-test-XXXXXX";
  if (!mkdtemp(folder)) {
    std::perror("no private folder for the tests");
    std::exit(2);
  }
  sRoot = folder;
  sOwner = getpid();
  // Also for the tests that end the program themselves; a forked child leaves it to its parent.
  std::atexit(&LeavePrivateEnvironment);
  // A print server the tests start runs its backends as another user, who must reach its folder.
  MakeFolder(sRoot, 0755);

  const std::string home = sRoot + "/home";
  MakeFolder(home, 0700);
  for (const char* sub : {"/.config", "/.local", "/.local/share", "/.local/state", "/.cache"}) {
    MakeFolder(home + sub, 0700);
  }
  Set("HOME", home);
  Set("XDG_CONFIG_HOME", home + "/.config");
  Set("XDG_DATA_HOME", home + "/.local/share");
  Set("XDG_STATE_HOME", home + "/.local/state");
  Set("XDG_CACHE_HOME", home + "/.cache");
  MakeFolder(sRoot + "/runtime", 0700);
  Set("XDG_RUNTIME_DIR", sRoot + "/runtime");

  // CUPS clients (GTK's backend, the lp tools) read the server's address from CUPS_SERVER
  // before any client.conf, and client.conf only from CUPS_SERVERROOT and HOME, both ours.
  const std::string cups = sRoot + "/cups";
  MakeFolder(cups, 0755);
  sCupsSocket = cups + "/cups.sock";
  Set("CUPS_SERVER", sCupsSocket);
  Set("CUPS_SERVERROOT", cups);
  unsetenv("LPDEST");
  unsetenv("PRINTER");

  // The default PCM takes samples and plays them nowhere; a test that listens brings its own.
  const std::string alsa = sRoot + "/alsa.conf";
  std::ofstream(alsa) << "pcm.!default { type null }\n";
  Set("ALSA_CONFIG_PATH", alsa);

  // GTK reads this file instead of the system's and the user's: the print backends are fixed.
  const std::string gtkrc = sRoot + "/gtkrc-2.0";
  std::ofstream(gtkrc) << "gtk-print-backends = \"file,cups\"\n";
  Set("GTK2_RC_FILES", gtkrc);
  // The desktop's modules (event sounds, accessibility) and input method stay out; the tests
  // that want them set them again.
  unsetenv("GTK_MODULES");
  Set("GTK_IM_MODULE", "gtk-im-context-simple");
  Set("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + sRoot + "/runtime/no-session-bus");
  Set("GIO_USE_VFS", "local");
  Set("GSETTINGS_BACKEND", "memory");
}

void LeavePrivateEnvironment() {
  if (sRoot.empty() || getpid() != sOwner) return;
  nftw(sRoot.c_str(), &RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
  sRoot.clear();
}

const std::string& PrivateRoot() { return sRoot; }
const std::string& PrivateCupsSocket() { return sCupsSocket; }

}  // namespace vorn::test
