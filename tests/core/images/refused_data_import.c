extern int SomeRuntimeVariable;
int ImageEntry(void) { return SomeRuntimeVariable; }
