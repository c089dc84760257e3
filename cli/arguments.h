#pragma once

#include <string>
#include <vector>

namespace varnholt {

/// The program's arguments after its name, in UTF-8. On Windows they are read
/// from the wide command line, and an argument with "*" or "?" in its file
/// name is replaced by the names of the files it matches, in name order (the
/// Windows shell leaves that to the program); one that matches nothing stays
/// as it is, so that its error names it.
std::vector<std::string> commandLineArguments(int argc, char **argv);

} // namespace varnholt
