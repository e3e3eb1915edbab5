/* A console program, built with the cross compiler for the program-kind tests. */
#include <stdio.h>

int main(void) {
  puts("console");
  return 0;
}
