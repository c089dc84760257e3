#pragma once

#include <cstdint>

class QWidget;

/// Shows a topic of a compiled help file (.chm), in the manner of the HTML Help
/// control's entry point.
///
/// `file` is a file name, looked up beside the program, then in the installed
/// data folder (<program folder>/../share/varnholt, then the configured install
/// prefix's share/varnholt), then in the current directory; a name with a folder
/// part is used as it stands. Command 0 with data 0 shows the file's default
/// topic; command 0 with data pointing to a NUL-terminated archive path
/// ("page.html") shows that page if the file has it. Any other command behaves
/// like command 0 with data 0.
///
/// The help window is a top-level window owned by `caller` (which may be
/// nullptr). A new one opens beside the caller's window, to its right where the
/// screen has room, else to its left, else centred on the screen, and wholly on
/// the screen; without a caller it is centred on the primary screen. A window
/// already open on the same file is reused where it is and brought to the front. Returns the help
/// window, or nullptr when the file could not be found or read: the viewer has then told the user
/// so in a message box of its own, naming the file and the folders searched, and `caller` stays
/// usable.
QWidget *HtmlHelpA(QWidget *caller, const char *file, unsigned command, std::uintptr_t data);
