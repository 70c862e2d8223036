// A quit requested while GTK runs a dialog in a loop of its own, as a timer's Action may do
// while the colour dialog is open, ends that dialog instead of waiting for someone to answer it.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

#include "core/run_loop.h"
#include "vorn/application_abi.h"

extern "C" uint8_t selectColor(uint32_t* color, VornStringRecord* prompt);

namespace {

TEST(QuitDialogDeathTest, AQuitCancelsTheColourDialog) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        if (!gtk_init_check(nullptr, nullptr)) std::exit(2);
        alarm(10);  // a dialog left open fails the test instead of hanging it
        g_timeout_add(100, [](gpointer) -> gboolean {
          ApplicationQuit(nullptr, 0, 0);
          return FALSE;
        }, nullptr);
        uint32_t color = 0;
        const bool cancelled = selectColor(&color, nullptr) == 0;
        std::exit(cancelled && vorn::GetQuitFlag() ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
