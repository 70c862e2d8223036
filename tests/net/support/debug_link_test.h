// Fixture of the debug session tests: the program is this process, the IDE a FakeIDE on the
// transport the parameter names (true: the local link in a private folder, false: TCP on an
// ephemeral port). The program's end is counted instead of taken.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

#include "core/support/core_object_test.h"
#include "net/debug_session.h"
#include "net/debugger_transports.h"
#include "net/support/fake_ide.h"

namespace vorn::testing {

class DebugLinkTest : public CoreObjectTest, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    CoreObjectTest::SetUp();
    char pattern[] = "/tmp/vorn-debug-session-XXXXXX";
    mFolder = mkdtemp(pattern);
    setenv("XDG_RUNTIME_DIR", mFolder.c_str(), 1);
    SetDebuggerProgramEnd([](int) { ++sEnds; });
    sEnds = 0;
  }
  void TearDown() override {
    RuntimeDebuggerShutdown();
    SetDebuggerLinkFactory(nullptr);
    SetDebuggerProgramEnd(nullptr);
    DebugSession() = DebugSessionState();
    UpdateDebuggerAttention();
    rmdir(mFolder.c_str());
    CoreObjectTest::TearDown();
  }
  // Starts the IDE on the transport under test; the program connects on its first line.
  std::unique_ptr<FakeIDE> StartIDE(std::function<void(FakeIDE&)> script) {
    auto ide = std::make_unique<FakeIDE>(GetParam(), std::move(script));
    if (GetParam()) {
      DebugSession().host = string("127.0.0.1");
    } else {
      sPort = ide->Port();
      SetDebuggerLinkFactory(&TCPToTestIDE);
    }
    return ide;
  }

 public:
  // A link to the test's TCP port, whatever host the program names.
  static SmartRef<DebuggerConnection> TCPToTestIDE(const string&) {
    return SmartRef<DebuggerConnection>(new TCPSocketConnection(string("127.0.0.1"), sPort));
  }

  static inline int sPort = 0;
  static inline int sEnds = 0;

 protected:
  std::string mFolder;
};

inline std::string LinkName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Local" : "TCP"; }

}  // namespace vorn::testing
