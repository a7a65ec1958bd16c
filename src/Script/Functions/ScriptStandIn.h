#pragma once

// Logs, once per name for the whole run, that a script function reached a
// part of the game that is not built yet and answered with its defaults.
void LogStandInOnce(const char* name);
