/*
 * The yardstick of the runtime's start-up benchmark: a GTK 2 program that initialises GTK,
 * runs one main-loop iteration without opening anything, and exits.
 */
#include <gtk/gtk.h>

int main(int argc, char **argv) {
  gtk_set_locale();
  gtk_init(&argc, &argv);
  gtk_main_iteration_do(FALSE);
  return 0;
}
