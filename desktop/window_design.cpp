#include "window_design.h"

#include "version.h"

namespace varnholt {

std::string mainWindowCaption()
{
    return std::string(programName) + "  version " + std::string(programVersion);
}

namespace about {

    std::string versionRow() { return "version " + std::string(programVersion); }

} // namespace about

} // namespace varnholt
