// The program's entry point.
#include "converter/modMain.h"

int main() { return quillmark::Main(); }
