// Fault reports: one line on standard error, and for start-up, exit status 1.
#include "ground/startup.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

static void (*startupTeardown)() = nullptr;

void setStartupTeardown(void (*teardown)()) { startupTeardown = teardown; }

// The line is formatted whole first, so that it reaches standard error in one write, and
// never cut: a long path must not push the reason out of it.
static void reportLine(const char *format, va_list args) {
    char line[512];
    va_list again;
    va_copy(again, args);
    int length = vsnprintf(line, sizeof line, format, args);
    if (length >= static_cast<int>(sizeof line)) {
        std::string whole(static_cast<size_t>(length) + 1, '\0');
        vsnprintf(&whole[0], whole.size(), format, again);
        whole.back() = '\n';
        fwrite(whole.data(), 1, whole.size(), stderr);
    } else if (length >= 0) {
        fprintf(stderr, "%s\n", line);
    }
    va_end(again);
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
