// Ctrl-C (SIGINT) and SIGTERM as a request to stop, for runs that must finish a file.
//
// A video capture watches for the request between frames and completes its file up to
// the last frame instead of dying half-way. A second request while finishing ends the
// program at once, as the default would. The terminal backend has its own handling.
#pragma once

void watchInterrupts();
bool interruptRequested();
