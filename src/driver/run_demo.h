// The whole program behind main(): options, then the show in the terminal or a capture.
//
// Called only by main(). Returns the exit status when the program ends by itself: after
// --help or --version, a bad option, a failed start-up or a finished capture. The show in
// the terminal never returns; it ends through the terminal's restore path.
#pragma once

int runDemo(int argc, char** argv);
