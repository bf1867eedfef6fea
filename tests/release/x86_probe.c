/* Prints "32-bit ok" when it runs as a 32-bit process: the x86 tests first ask whether this Wine can run
   32-bit programs at all. */
#include <stdio.h>

int main(void) {
  printf("%d-bit ok\n", (int)(sizeof(void*) * 8));
  return 0;
}
