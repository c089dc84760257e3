#pragma once

#include <string>
#include <string_view>

// Text between the program's UTF-8 and the UTF-16 of the Windows calls; built
// for Windows only.

namespace varnholt {

/// UTF-8 text as the UTF-16 text that the system's wide calls take. Bytes that
/// are not UTF-8 become U+FFFD.
std::wstring wideText(std::string_view text);

/// UTF-16 text from the system as UTF-8, the program's own encoding.
std::string utf8Text(std::wstring_view text);

} // namespace varnholt
