/* The smallest 32-bit Windows program: it only exits with 42. The 64-bit tests start it
   once to learn whether this machine runs 32-bit programs at all. */
int main(void) { return 42; }
