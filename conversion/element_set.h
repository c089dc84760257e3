#pragma once

#include <string_view>

namespace varnholt {

/// The text fields taken from one data row, character for character. The
/// texts are views: the conversion keeps the row they point into until it
/// splits the next one.
struct TElementSet {
    std::string_view satname; ///< column 1, the entry's name line
    std::string_view intldesig; ///< column 2, international designator, e.g. 1998-067A
    std::string_view epochtext; ///< column 3, e.g. 2024-03-11T12:02:41.185440
    std::string_view meanmotion; ///< column 4, revolutions per day
    std::string_view eccentricity; ///< column 5, the whole column, e.g. .0002345
    std::string_view inclination; ///< column 6, degrees
    std::string_view raan; ///< column 7, right ascension of the ascending node
    std::string_view argperigee; ///< column 8, argument of perigee
    std::string_view meananomaly; ///< column 9
    std::string_view classification; ///< first character of column 11, or empty
    std::string_view catnumber; ///< column 12 as it stands, or the renumber counter's value
    std::string_view elsetnumber; ///< column 13
    std::string_view revnumber; ///< column 14, revolution number at epoch
    std::string_view bstar; ///< column 15, BSTAR drag term
    std::string_view ndot; ///< column 16, first derivative of the mean motion
    std::string_view ddot; ///< column 17, second derivative of the mean motion
};

} // namespace varnholt
