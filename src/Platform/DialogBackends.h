#pragma once

#include <string>

class PlatDialogBackend;

// The one place that chooses what shows the next dialog: the test's script
// when one is installed, else GTK when it reaches a display; null when
// neither can.
PlatDialogBackend* PlatChooseDialogBackend();

// GTK and WebKitGTK stay out of the program until a dialog is shown: their
// backend is a module of its own, loaded from the program's folder the first
// time. A game started without its launcher never maps them.
inline constexpr const char* kPlatDialogModuleName = "kestrovar-dialogs.so";

// Loads the dialog module at `path` and returns its backend; null, with the
// reason on stderr, when the module cannot be loaded or GTK reaches no
// display.
PlatDialogBackend* PlatLoadDialogModule(const std::string& path);
