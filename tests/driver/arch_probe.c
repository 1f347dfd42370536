/* Exits with the width of a pointer in bits: the wine tests start the 32-bit
   build of this program to learn whether this machine runs 32-bit code. */
int main(void) { return (int)(sizeof(void*) * 8); }
