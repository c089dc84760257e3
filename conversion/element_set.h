#pragma once

#include <string>

namespace varnholt {

/// The text fields taken from one data row, character for character.
struct TElementSet {
    std::string satname;        ///< column 1, the entry's name line
    std::string intldesig;      ///< column 2, international designator, e.g. 1998-067A
    std::string epochtext;      ///< column 3, e.g. 2024-03-11T12:02:41.185440
    std::string meanmotion;     ///< column 4, revolutions per day
    std::string eccentricity;   ///< column 5, the whole column, e.g. .0002345
    std::string inclination;    ///< column 6, degrees
    std::string raan;           ///< column 7, right ascension of the ascending node
    std::string argperigee;     ///< column 8, argument of perigee
    std::string meananomaly;    ///< column 9
    std::string classification; ///< first character of column 11, or empty
    std::string catnumber;      ///< column 12 as it stands, or the renumber counter's value
    std::string elsetnumber;    ///< column 13
    std::string revnumber;      ///< column 14, revolution number at epoch
    std::string bstar;          ///< column 15, BSTAR drag term
    std::string ndot;           ///< column 16, first derivative of the mean motion
    std::string ddot;           ///< column 17, second derivative of the mean motion
};

} // namespace varnholt
