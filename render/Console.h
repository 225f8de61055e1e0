// The console side of a fatal failure: the message is already printed, the console waits
// for a key so it stays readable, then the process ends with status -1.
#pragma once

#include <string>

namespace Console {
// Waits for Enter, but only when standard input is a terminal: a scripted or headless run
// must never hang on a prompt nobody can answer.
void pause();
// Writes each line to standard output (flushed), pauses, exits with -1.
[[noreturn]] void fail(const std::string& line);
[[noreturn]] void fail(const std::string& line, const std::string& detail);
}
