#pragma once

// Data and helpers shared by the tests of the conversion core, of real files
// and of the desktop program.

#include "file_io.h"

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <string_view>

namespace varnholt::testing {

/// The header line of a satellite CSV file, without its line end.
inline constexpr std::string_view header
    = "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,"
      "RA_OF_ASC_NODE,ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,"
      "CLASSIFICATION_TYPE,NORAD_CAT_ID,ELEMENT_SET_NO,REV_AT_EPOCH,"
      "BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT";

/// The worked example: a data row, without its line end, and the entry it
/// converts to.
inline constexpr std::string_view exampleRow
    = "EXAMPLESAT 4,2015-034A,2024-03-11T12:02:41.185440,1.00271234,.0002345,0.0512,85.1234,"
      "5.4321,9.8765,0,U,40732,999,1234,0,-.297E-5,0";
inline constexpr std::string_view exampleEntry
    = "EXAMPLESAT 4\r\n"
      "1 40732U 15034A   24071.50186557 -.00000297  00000+0  00000+0 0  9997\r\n"
      "2 40732   0.0512  85.1234 0002345 005.4321   9.8765  1.00271234 12343\r\n";

/// A published element set, without its line end, and its published entry.
inline constexpr std::string_view publishedRow
    = "GLOBALSTAR M069,2007-020C,2026-08-02T23:48:41.752224,12.23472993,.00012225,52.0026,"
      "119.6495,252.9280,119.5647,0,U,31573,999,88453,.44355111E-3,-.45E-6,0";
inline constexpr std::string_view publishedEntry
    = "GLOBALSTAR M069\r\n"
      "1 31573U 07020C   26214.99214991 -.00000045  00000+0  44355-3 0  9990\r\n"
      "2 31573  52.0026 119.6495 0001222 252.9280 119.5647 12.23472993884539\r\n";

/// The whole content of a file; empty when it cannot be read.
inline std::string readBytes(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

/// Creates or replaces a file with `bytes`.
inline void writeBytes(const std::filesystem::path &path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

/// A new, empty folder in the temporary folder, named after `lead`, removed
/// with everything in it when this goes.
class TemporaryFolder {
public:
    explicit TemporaryFolder(std::string_view lead)
        : m_path(uniquePath(lead))
    {
        std::filesystem::create_directories(m_path);
    }
    ~TemporaryFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TemporaryFolder(const TemporaryFolder &) = delete;
    TemporaryFolder &operator=(const TemporaryFolder &) = delete;

    const std::filesystem::path &path() const { return m_path; }

    /// A name in the temporary folder that no other call in any process gives.
    static std::filesystem::path uniquePath(std::string_view lead)
    {
        static int made = 0;
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        return std::filesystem::temp_directory_path()
            / ("varnholt-" + std::string(lead) + "-" + std::to_string(now) + "-"
                + std::to_string(++made));
    }

private:
    std::filesystem::path m_path;
};

/// `bytes` in a file of the temporary folder, open for reading through the
/// file layer as a conversion run opens its input; removed when it goes.
class TemporaryInput {
public:
    explicit TemporaryInput(std::string_view bytes)
        : m_path(TemporaryFolder::uniquePath("input"))
    {
        writeBytes(m_path, bytes);
        m_file.emplace(m_path.string());
    }
    ~TemporaryInput()
    {
        m_file.reset();
        std::error_code ignored;
        std::filesystem::remove(m_path, ignored);
    }
    TemporaryInput(const TemporaryInput &) = delete;
    TemporaryInput &operator=(const TemporaryInput &) = delete;

    FileHandle handle() const { return m_file->handle(); }

private:
    std::filesystem::path m_path;
    std::optional<InputFile> m_file;
};

/// `text` as a line of a file, with its CR LF end.
inline std::string crlfLine(std::string_view text) { return std::string(text) + "\r\n"; }

/// Prints a row of a test table as its name, so that test lists, CTest names
/// and failure reports name the row instead of dumping its bytes. GoogleTest
/// finds it by argument-dependent lookup once a file declares
/// `using testing::PrintTo;` in the namespace of its case structs.
template <class Case>
requires requires(const Case &row) { std::string_view(row.name); }
void PrintTo(const Case &row, std::ostream *out) { *out << row.name; }

/// Names each case of a parameterised test after the `name` of its
/// parameter; the last argument of INSTANTIATE_TEST_SUITE_P.
inline constexpr auto caseName = [](const auto &info) { return std::string(info.param.name); };

/// The checksum digit of an element line counted character by character:
/// every character but the last adds its value when it is a digit, one when
/// it is "-", nothing otherwise.
inline char expectedChecksum(std::string_view line)
{
    int sum = 0;
    for (std::size_t k = 0; k + 1 < line.size(); ++k)
        sum += line[k] >= '0' && line[k] <= '9' ? line[k] - '0' : line[k] == '-';
    return static_cast<char>('0' + sum % 10);
}

} // namespace varnholt::testing
