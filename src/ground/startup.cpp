// The report of a start-up resource that cannot serve: one line, then exit status 1.
#include "ground/startup.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void failStartup(const char *format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    fprintf(stderr, "%s\n", line);
    exit(1);
}
