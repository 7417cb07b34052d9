/* The baseline for bench/startup: a Windows console program that does nothing. */
int main(void) { return 0; }
