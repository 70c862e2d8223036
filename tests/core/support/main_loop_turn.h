// Turning the default main context for a while, as the run loop would between events.
#pragma once

#include <glib.h>
#include <gtest/gtest.h>

#include <functional>

namespace vorn::testing {

// Dispatches whatever falls due for `milliseconds`. A warning or critical GLib gives meanwhile
// (a source removed twice, say) fails the test that turned it.
inline void TurnMainLoopFor(int milliseconds) {
  const guint complaints = g_log_set_handler("GLib", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
                                             [](const gchar*, GLogLevelFlags, const gchar* message, gpointer) { ADD_FAILURE() << message; }, nullptr);
  const gint64 end = g_get_monotonic_time() + gint64{milliseconds} * 1000;
  // Keeps the wait below from sleeping past the end; it stays until it is removed here.
  const guint wake = g_timeout_add(static_cast<guint>(milliseconds), [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
  while (g_get_monotonic_time() < end) g_main_context_iteration(nullptr, TRUE);
  g_source_remove(wake);
  g_log_remove_handler("GLib", complaints);
}

// Dispatches until `done` holds (true) or a minute passed (false): the limit only ends a wait for
// what never comes, however slow the machine.
inline bool TurnMainLoopUntil(const std::function<bool()>& done) {
  for (const gint64 end = g_get_monotonic_time() + 60 * G_USEC_PER_SEC; !done(); TurnMainLoopFor(5)) {
    if (g_get_monotonic_time() >= end) return false;
  }
  return true;
}

}  // namespace vorn::testing
