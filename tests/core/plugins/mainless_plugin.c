/* A shared object that is no plug-in: it has no VORNPluginMain. */
int NotAPluginEntry(void) { return 1; }
