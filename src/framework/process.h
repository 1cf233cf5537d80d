// Starting programs: the command-line split of the Microsoft C runtime and
// the WinExec stand-in. Programs are executed directly (no shell), so no
// text on a command line can run a command of its own.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "wintypes.h"

// Splits a whole command line into argv as the Microsoft C runtime does for
// main(), argv[0] included. The line ends at its first NUL; an empty line
// gives argv[0] = programPath.
std::vector<std::string> SplitCommandLine(const std::string& commandLine, const std::string& programPath);

// The program a command line names: a leading quoted part up to its closing
// quote, otherwise the text up to the first space or tab.
std::string CommandLineProgram(const std::string& commandLine);

// The first executable regular file called name in the PATH directories;
// empty when there is none.
std::string FindOnPath(const std::string& name);

struct ProcessStart {
  std::string program;            // executed as given, no PATH search
  std::vector<std::string> argv;  // argv[0] included
  // Variables set for the program on top of the inherited environment.
  std::vector<std::pair<std::string, std::string>> environment;
};

// Starts a program that outlives the caller: leader of a new session, the signal
// mask and dispositions reset, no descriptors inherited beyond 0-2, and no
// zombie left behind (a thread collects it when it ends; after the caller
// has gone, init does). Answers 0, or the errno of the failed start (a
// failed exec included).
int StartDetachedProcess(const ProcessStart& start);

// The platform's start of a program from a command line. The program is the
// one CommandLineProgram names; its argv is SplitCommandLine of the whole
// line; the whole line is also handed over in the environment variable
// QUORIN_COMMAND_LINE. A program whose file begins with "MZ" (a Windows
// program) is run through wine when wine is on the PATH: wine gets the
// program's path and argv[1] onward, so the Windows program's own argv[1..]
// split out the same. Answers a value above 31 on success, else an error
// code (0 out of resources, 2 file not found, 3 path not found, 5 access
// denied, 11 bad format).
UINT WinExec(LPCSTR commandLine, UINT cmdShow);

// Name of the environment variable that carries the whole command line.
constexpr const char* kCommandLineVariable = "QUORIN_COMMAND_LINE";
