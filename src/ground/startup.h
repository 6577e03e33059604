// The report of a start-up resource that cannot serve: one line, then exit status 1.
#pragma once

// Writes the message (which names the culprit file) and a newline to standard error
// and exits with status 1.
[[noreturn]] void failStartup(const char *format, ...) __attribute__((format(printf, 1, 2)));
