// Fault reports. Every fault the game reports is one line on standard error naming the
// culprit first (a file, or what failed) and then, after ": ", what is wrong; a fault
// the game survives goes through reportFault, one at start-up that it cannot survive
// through failStartup, which then ends the process with status 1.
#pragma once

// Names the teardown that failStartup runs before it exits (the shell's: the audio device
// closed, then SDL shut down); null for none.
void setStartupTeardown(void (*teardown)());

// Writes the message (which names the culprit first) and a newline to standard error.
void reportFault(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Reports the message as reportFault does, runs the teardown set by setStartupTeardown,
// and exits with status 1.
[[noreturn]] void failStartup(const char *format, ...) __attribute__((format(printf, 1, 2)));
