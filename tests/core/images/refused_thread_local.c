static _Thread_local int gPerThread;
int ImageEntry(void) { return ++gPerThread; }
