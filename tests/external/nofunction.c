/* A library whose file promises a function it does not export. */
int NotTheEntry(void) { return 0; }
