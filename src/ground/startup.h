// The report of a start-up resource that cannot serve: one line, then exit status 1.
#pragma once

// Names the teardown that failStartup runs before it exits (the shell's: the audio device
// closed, then SDL shut down); null for none.
void setStartupTeardown(void (*teardown)());

// Writes the message (which names the culprit file) and a newline to standard error,
// runs the teardown set by setStartupTeardown, and exits with status 1.
[[noreturn]] void failStartup(const char *format, ...) __attribute__((format(printf, 1, 2)));
