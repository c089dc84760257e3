#pragma once

#include "geometry.h"

#include <ostream>
#include <string>
#include <string_view>

namespace varnholt {

/// How GoogleTest prints a point in its messages.
inline void PrintTo(Point point, std::ostream *out) { *out << point.x << ',' << point.y; }

namespace testing {

    /// Prints a row of a test table as its name, so that test lists, CTest
    /// names and failure reports name the row instead of dumping its bytes.
    /// GoogleTest finds it by argument-dependent lookup once a file declares
    /// `using testing::PrintTo;` in the namespace of its case structs.
    template <class Case>
    requires requires(const Case &row) { std::string_view(row.name); }
    void PrintTo(const Case &row, std::ostream *out) { *out << row.name; }

    /// Names each case of a parameterised test after the `name` of its
    /// parameter; the last argument of INSTANTIATE_TEST_SUITE_P.
    inline constexpr auto caseName = [](const auto &info) { return std::string(info.param.name); };

} // namespace testing

} // namespace varnholt
