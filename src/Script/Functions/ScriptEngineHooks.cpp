#include "Script/Functions/ScriptEngineHooks.h"

ScriptEngineHooks g_ScriptEngineHooks;
