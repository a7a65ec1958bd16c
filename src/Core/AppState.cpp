#include "Core/AppState.h"

bool g_AppExiting = false;
std::string g_ExitUrl;
std::string g_LauncherPageUrl;
