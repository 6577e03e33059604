// Fault reports: one line on standard error, and for start-up, exit status 1.
#include "ground/startup.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

static void (*startupTeardown)() = nullptr;

void setStartupTeardown(void (*teardown)()) { startupTeardown = teardown; }

// The line is formatted whole first, so that it reaches standard error in one write.
static void reportLine(const char *format, va_list args) {
    char line[512];
    vsnprintf(line, sizeof line, format, args);
    fprintf(stderr, "%s\n", line);
}

void reportFault(const char *format, ...) {
    va_list args;
    va_start(args, format);
    reportLine(format, args);
    va_end(args);
}

void failStartup(const char *format, ...) {
    va_list args;
    va_start(args, format);
    reportLine(format, args);
    va_end(args);
    // Torn down here rather than by exit handlers, which would also run when the X library ends
    // the process on a lost display and could wait on the dead connection for ever.
    if (startupTeardown)
        startupTeardown();
    exit(1);
}
