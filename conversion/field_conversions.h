#pragma once

#include "field_text.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace varnholt {

// The field conversions as whole texts. Each takes one field text and returns
// the text that goes into the element line; none keeps state. Those that read
// numbers throw ConversionError with the user's message naming the text that
// failed. A run writes the same characters straight into its lines with the
// writers of field_text.h; these state what they write, for the tests and the
// fuzzers' oracles.

/// Inclination right-aligned to three places before the point: two blanks in
/// front for a value below 10, one below 100, none from 100 on. The text
/// itself is kept as it stands. Throws the floating point message.
std::string PadInclination(std::string_view text);

/// Right ascension and mean anomaly: two blanks in front when the first "."
/// is the 2nd character, one when it is the 3rd, else the text unchanged.
std::string PadAngle(std::string_view text);

/// An exponent field of eight characters: sign (blank or "-"), five digits,
/// exponent sign, one exponent digit, for ±0.ddddd × 10^e, rounded to five
/// significant digits half away from zero (".44355111E-3" gives " 44355-3").
/// Zero, an empty text and values below 10^-10 give " 00000+0". Throws the
/// floating point message for a text that does not read and the does-not-fit
/// message for an exponent above 9. Used for BSTAR and for the second
/// derivative of the mean motion.
std::string ConvertBstar(std::string_view text);

/// The first derivative of the mean motion in ten characters: blank or "-",
/// ".", eight decimals rounded half away from zero ("-.297E-5" gives
/// "-.00000297"). An empty text gives " .00000000". Throws the floating point
/// message, or the does-not-fit message when the magnitude rounds to 1 or more.
std::string ConvertNdot(std::string_view text);

/// The epoch as two-digit year, day of the year and eight decimals of the day
/// ("2024-03-11T12:02:41.185440" gives "24071.50186557"). Reads positions 3-4
/// (year), 6-7 (month), 9-10 (day) as integer texts and 12-13, 15-16, 18-26
/// (hours, minutes, seconds) as decimal texts, in the order month, year, day,
/// seconds, hours, minutes; throws the message of the first that fails. A
/// negative time of day throws the does-not-fit message naming the text.
std::string ConvertEpoch(std::string_view text);

/// The catalogue number in five characters: 0-99999 zero-filled, higher ones
/// in `form`; a text already in the letter form stands for the number it
/// writes (kept as it is in the letter form). Throws "'<text>' is not a valid
/// catalogue number", and in the five-digit form "Catalogue number '<text>'
/// is above 119999 and has no five-digit stand-in".
std::string CatalogueNumber(std::string_view text);
std::string CatalogueNumber(std::string_view text, CatalogueForm form);

/// The eccentricity's first seven decimals, truncated, filled with "0"
/// (".00012225" gives "0001222"). Throws the floating point message, or the
/// does-not-fit message for a value of 1 or more or below zero.
std::string EccentricityDigits(std::string_view text);

/// The international designator: characters 3-4, then up to six characters
/// from the 6th on ("2013-066AA" gives "13066AA").
std::string IntlDesignator(std::string_view text);

/// The argument of perigee filled with zeros to three places before the point.
std::string PadArgPerigee(std::string_view text);

/// The mean motion with a blank in front when its first "." is the 2nd character.
std::string PadMeanMotion(std::string_view text);

/// `text` preceded by blanks to `width` characters; a longer or empty text unchanged.
std::string RightAlign(std::string_view text, std::size_t width);

} // namespace varnholt
