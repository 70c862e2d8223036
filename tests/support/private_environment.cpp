#include "support/private_environment.h"

#include <ftw.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace vorn::test {

namespace {

std::string sRoot, sCupsSocket;
pid_t sOwner = -1;

// The folder, with exactly that mode whatever the umask.
std::string Folder(const std::string& path, mode_t mode) {
  mkdir(path.c_str(), mode);
  chmod(path.c_str(), mode);
  return path;
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
  Folder(sRoot, 0755);

  const std::string home = Folder(sRoot + "/home", 0700);
  Set("HOME", home);
  Set("XDG_CONFIG_HOME", Folder(home + "/.config", 0700));
  Folder(home + "/.local", 0700);
  Set("XDG_DATA_HOME", Folder(home + "/.local/share", 0700));
  Set("XDG_STATE_HOME", Folder(home + "/.local/state", 0700));
  Set("XDG_CACHE_HOME", Folder(home + "/.cache", 0700));
  Set("XDG_RUNTIME_DIR", Folder(sRoot + "/runtime", 0700));

  // CUPS clients (GTK's backend, the lp tools) read the server's address from CUPS_SERVER
  // before any client.conf, and client.conf only from CUPS_SERVERROOT and HOME, both ours.
  Set("CUPS_SERVERROOT", Folder(sRoot + "/cups", 0755));
  Set("CUPS_SERVER", sCupsSocket = sRoot + "/cups/cups.sock");
  unsetenv("LPDEST");
  unsetenv("PRINTER");

  // The default PCM takes samples and plays them nowhere; a test that listens brings its own.
  std::ofstream(sRoot + "/alsa.conf") << "pcm.!default { type null }\n";
  Set("ALSA_CONFIG_PATH", sRoot + "/alsa.conf");
  // GTK reads this file instead of the system's and the user's: the print backends are fixed.
  std::ofstream(sRoot + "/gtkrc-2.0") << "gtk-print-backends = \"file,cups\"\n";
  Set("GTK2_RC_FILES", sRoot + "/gtkrc-2.0");
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
