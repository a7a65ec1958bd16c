#pragma once

#include <string>

// State of the application shell that every subsystem may read.

// Set once the application's run has returned: the main window then ignores
// activation changes and text updates from scripts are ignored.
extern bool g_AppExiting;
// The web page opened after the run ("http://" and the address read from
// data\links.txt).
extern std::string g_ExitUrl;
// The page the launcher shows.
extern std::string g_LauncherPageUrl;
