#include "arguments.h"

namespace varnholt {

// The shell has expanded any wildcards, and the bytes are passed as they are.
std::vector<std::string> commandLineArguments(int argc, char **argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return arguments;
}

} // namespace varnholt
