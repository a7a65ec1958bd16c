#pragma once

#include <vector>

class CPInterface;

// Every live page in the order of creation. Pages add themselves when made
// and remove themselves when deleted.
extern std::vector<CPInterface*> g_InterfacePages;

// The page broadcasts: the input task and the menu script functions reach
// every page through these, the most recently created page first; each page
// decides for itself whether it reacts (inactive pages only pass mouse
// buttons to the control they still hold).

// Sends "mouse_move" with the pointer as fractions of the screen to the
// "interface" scripts once, then moves the pointer on every page.
void BroadcastMouseMove(float x, float y);
void BroadcastMouseDown(int button, float x, float y);
void BroadcastMouseUp(int button, float x, float y);
// Enter or NumPad Enter.
void BroadcastEnterPress();
void BroadcastEnterRelease();
// The arrow keys; the vertical ones reach the scripts inverted: the Up
// arrow sends "menu_down" and the Down arrow "menu_up".
void BroadcastKeyUp();
void BroadcastKeyDown();
void BroadcastKeyLeft();
void BroadcastKeyRight();
// The script functions IMenuRight and IMenuLeft: focus the next or the
// previous button.
void BroadcastMenuRight();
void BroadcastMenuLeft();
