// The report of a start-up resource that cannot serve: one line, then exit status 1.
#include "ground/startup.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

static void (*startupTeardown)() = nullptr;

void setStartupTeardown(void (*teardown)()) { startupTeardown = teardown; }

void failStartup(const char *format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    fprintf(stderr, "%s\n", line);
    // Torn down here rather than by exit handlers, which would also run when Xlib ends
    // the process on a lost display and could wait on the dead connection for ever.
    if (startupTeardown)
        startupTeardown();
    exit(1);
}
