#pragma once

#include <functional>

struct CKelvoAppOptions;

// The program from the command line to the end of the event loop. `seams` may add to the options
// once the command line is read (the test build's observers); users' builds pass none.
int KelvoMain(int argc, char* argv[], const std::function<void(CKelvoAppOptions&)>& seams = {});
