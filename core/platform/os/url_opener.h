#pragma once
// Opening web pages and mail addresses with the desktop's handler. Only http, https and
// mailto addresses are handed over, always as one argument of a started program, never
// through a shell.

#include <string>

// An http://, https:// or mailto: address (scheme in any case) without control characters.
bool IsOpenableUrl(const std::string& url);
// Starts "xdg-open" with the address; false when the address is refused or the program
// could not be started.
bool OpenUrl(const std::string& url);
// Starts a program (searched on PATH) with one argument, without waiting for it.
bool LaunchProgram(const std::string& program, const std::string& argument);
