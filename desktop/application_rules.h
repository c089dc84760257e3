#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace varnholt {

/// Maps UTF-8 text to lower case. Each window passes its toolkit's Unicode
/// mapping (QString::toLower, CharLowerBuffW); asciiLowerCase() is the plain one.
using LowerCase = std::string (*)(std::string_view text);

/// `text` with "A" to "Z" in lower case and every other byte as it is.
std::string asciiLowerCase(std::string_view text);

/// The application title for a program file: its name without the folder ("/"
/// and "\" both end a folder), cut before the first ".", the first character
/// unchanged and the rest mapped by `lowerCase` ("/opt/ConvTool.exe" and
/// "C:\Tools\ConvTool.exe" give "Convtool", "a.b.exe" gives "a"). The path is
/// UTF-8; the first character is taken whole, lead byte and continuation bytes.
std::string applicationTitleFor(std::string_view programPath, LowerCase lowerCase = asciiLowerCase);

/// The text the application-level error box shows for `message`: a full stop is
/// appended when the message is not empty and its last character's code is above
/// that of "." (46); "File access denied" gives "File access denied.", while "x.",
/// "a!", "a)", "a,", "a-", "a " and "" stay as they are.
std::string withClosingFullStop(std::string_view message);

/// The text the application-level error box shows for an exception that
/// ended a command: its message with the closing full stop, or "An
/// unexpected error occurred." for an exception that carries none (one not
/// derived from std::exception).
std::string errorBoxText(const std::exception_ptr &error);

/// Whether a file may be handed to the load command by dropping it on the main
/// window: its name ends in ".csv", ".txt" or ".json", in any letter case. The folder
/// ("/" and "\" both end one) plays no part.
bool isLoadableFileName(std::string_view path);

} // namespace varnholt
