#include "driver/demo.h"

int main() { return runDemo(); }
