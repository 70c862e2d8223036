static int gReady;
__attribute__((constructor)) static void Prepare(void) { gReady = 1; }
int ImageEntry(void) { return gReady; }
