#include "core/support/main_loop_turn.h"

#include <glib.h>
#include <gtest/gtest.h>

namespace vorn::testing {

void TurnMainLoopFor(int milliseconds) {
  const auto levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL);
  const guint complaints = g_log_set_handler(
      "GLib", levels, [](const gchar*, GLogLevelFlags, const gchar* message, gpointer) { ADD_FAILURE() << message; },
      nullptr);
  const gint64 end = g_get_monotonic_time() + gint64{milliseconds} * 1000;
  // Keeps the wait below from sleeping past the end; it stays until it is removed here.
  const guint wake = g_timeout_add(static_cast<guint>(milliseconds), [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  while (g_get_monotonic_time() < end) g_main_context_iteration(nullptr, TRUE);
  g_source_remove(wake);
  g_log_remove_handler("GLib", complaints);
}

}  // namespace vorn::testing
