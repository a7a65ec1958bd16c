#pragma once

// Connects the interface pages to the script host: the pages' reports reach
// the scripts of a category, and the script hooks LockButton and
// UnlockButton reach the page they name.
void ConnectInterfaceToScripts();

// Connects the input task's page hooks to the page broadcasts, and the
// pages to the pointer position the input task keeps and to the game's text
// table.
void ConnectInterfaceInput();
