/* A windowed program, built with the cross compiler for the program-kind tests. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show) {
  (void)instance, (void)previous, (void)commandLine, (void)show;
  return MessageBoxA(NULL, "windowed", "windowed", MB_OK) == 0;
}
