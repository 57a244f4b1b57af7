// rumora: the window. Everything it does lives in Form1 and the pages.
#include "window/window_start.h"

int main(int argc, char* argv[]) { return rumora::RunWindow(argc, argv); }
