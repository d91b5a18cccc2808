#pragma once

// The program's entry: the first start shows the main window and listens for
// later starts; a later start hands its paths over and ends.
int Main(int argc, char** argv);
