// A one-line progress bar on standard error, shown only when standard error is a terminal.
#pragma once

void showProgress(long done, long total, double framesPerSecond);
void endProgress();
