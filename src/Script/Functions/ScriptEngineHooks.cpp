#include "Script/ScriptEngineHooks.h"

ScriptEngineHooks g_ScriptEngineHooks;
