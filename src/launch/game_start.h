// The application-wide launch entry points. They keep the launch-argument
// text in theApp.m_strLaunchArgs and work in the running shell's own
// directory with the configured download host.
#pragma once

#include <string>

// Stores text (narrowed to UTF-8) as the launch-argument text.
void SetLaunchArgs(const wchar_t* text);
// Makes sure the launcher is there, fetching it when missing, then runs it
// with the stored text. A failed download starts nothing and posts nothing.
void StartGame();
// Starts the launcher beside the shell with args, reports a failed start,
// posts the quit request (16).
void RunLauncher(const wchar_t* args);
