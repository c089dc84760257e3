#pragma once

#include <cstdint>

class QWidget;

/// Shows a topic of a compiled help file (.chm), in the manner of the HTML Help
/// control's entry point. `file` is a file name, looked up beside the program,
/// then in the installed data folder, then in the current directory. Command 0
/// with data 0 shows the file's default topic. Returns the help window, or
/// nullptr when the file could not be found or read (the viewer has then told
/// the user so in a message box of its own).
QWidget *HtmlHelpA(QWidget *caller, const char *file, unsigned command, std::uintptr_t data);
