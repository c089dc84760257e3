#pragma once

#include "geometry.h"

#include <ostream>
#include <string>

namespace varnholt {

/// How GoogleTest prints a point in its messages.
inline void PrintTo(Point point, std::ostream *out) { *out << point.x << ',' << point.y; }

namespace testing {

    /// Names each case of a parameterised test after the `name` of its
    /// parameter; the last argument of INSTANTIATE_TEST_SUITE_P.
    inline constexpr auto caseName = [](const auto &info) { return std::string(info.param.name); };

} // namespace testing

} // namespace varnholt
