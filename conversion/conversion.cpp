#include "conversion.h"

#include "byte_blocks.h"
#include "errors.h"
#include "field_text.h"
#include "file_io.h"
#include "line_reader.h"
#include "tle_layout.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <functional>
#include <new>

namespace varnholt {

namespace {

    constexpr std::size_t lineLength = tle::lineLength;
    constexpr int rowColumns = 17;

    // Room behind an element line's 69 columns: a field text of up to 16
    // characters, or a fill of up to 8, placed at any column needs no check
    // against the line's end.
    constexpr std::size_t lineRoom = 32;

    // Bytes kept behind the row: a field reader may read 32 bytes from the
    // start of any field.
    constexpr std::size_t rowPadding = 32;

    // An element line being built. Texts are placed at their columns in
    // order, a later one over an earlier; what would go beyond the 69th
    // column lands in the room behind it, which is not part of the line.
    class LineBuffer {
    public:
        explicit LineBuffer(const std::string &blank) noexcept
        {
            std::memcpy(m_text.data(), blank.data(), lineLength);
        }

        /// Where column `column` (counted from 1) is, for a writer of a fixed-width field.
        char *at(std::size_t column) noexcept { return m_text.data() + column - 1; }

        void put(std::size_t column, std::string_view text) noexcept
        {
            char *out = at(column);
            if (text.size() <= 16)
                blocks::copyShort(out, text.data(), text.size());
            else
                std::memcpy(out, text.data(),
                    std::min(text.size(),
                        static_cast<std::size_t>(m_text.data() + m_text.size() - out)));
        }

        /// `count` (at most 8) characters `fill` from `column`, then `text`.
        void putFilled(
            std::size_t column, char fill, std::size_t count, std::string_view text) noexcept
        {
            char *out = at(column);
            if (count + text.size() >= 8) {
                // The text covers whatever of eight fill characters is not fill.
                std::memset(out, fill, 8);
            } else {
                for (std::size_t i = 0; i < count; ++i)
                    out[i] = fill;
            }
            put(column + count, text);
        }

        /// The checksum digit into its column, and the line into `line`.
        void finish(std::string &line) noexcept
        {
            constexpr std::size_t checksumColumn = tle::place(1, tle::Field::checksum).column;
            static_assert(checksumColumn == lineLength
                && tle::place(2, tle::Field::checksum).column == lineLength);
            *at(checksumColumn) = Checksum(std::string_view(m_text.data(), lineLength));
            line.resize(lineLength);
            std::memcpy(line.data(), m_text.data(), lineLength);
        }

    private:
        std::array<char, lineLength + lineRoom> m_text;
    };

    // Bit k set where character base + k of `row` is a comma, for the (up to)
    // 64 characters from `base`, which must lie inside the row. With `padded`
    // the 64 bytes from `base` may all be read.
    std::uint64_t commaMask(std::string_view row, std::size_t base, bool padded) noexcept
    {
        const std::size_t left = row.size() - base;
        const char *p = row.data() + base;
        // Without room behind the row, its last piece is scanned from a copy.
        std::array<char, 64> tail;
        if (!padded && left < tail.size()) {
            tail.fill('\0');
            std::memcpy(tail.data(), p, left);
            p = tail.data();
        }
        const std::uint64_t mask = std::uint64_t { blocks::equalMask(p, ',') }
            | std::uint64_t { blocks::equalMask(p + 16, ',') } << 16
            | std::uint64_t { blocks::equalMask(p + 32, ',') } << 32
            | std::uint64_t { blocks::equalMask(p + 48, ',') } << 48;
        const std::uint64_t inRow
            = left >= 64 ? ~std::uint64_t { 0 } : (std::uint64_t { 1 } << left) - 1;
        return mask & inRow;
    }

    // The positions of the first commas of `row`, up to as many as `commas`
    // holds; returns how many there are. The row is taken 64 characters at a
    // time as a bit mask of its commas; the positions are read off the set
    // bits in a loop of fixed length, which keeps branches predictable.
    template <std::size_t N>
    int findCommas(std::string_view row, std::array<std::size_t, N> &commas, bool padded) noexcept
    {
        if (row.empty())
            return 0;
        std::size_t base = 0;
        std::uint64_t mask = commaMask(row, base, padded);
        for (std::size_t k = 0; k < N; ++k) {
            while (mask == 0) {
                base += 64;
                if (base >= row.size())
                    return static_cast<int>(k);
                mask = commaMask(row, base, padded);
            }
            commas[k] = base + static_cast<std::size_t>(std::countr_zero(mask));
            mask &= mask - 1;
        }
        return static_cast<int>(N);
    }

    bool isBlankRow(std::string_view row)
    {
        return row.find_first_not_of(' ') == std::string_view::npos;
    }

} // namespace

std::string outputStemFor(std::string_view path)
{
#ifdef _WIN32
    const std::size_t slash = path.find_last_of("/\\");
#else
    const std::size_t slash = path.find_last_of('/');
#endif
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t point = path.find('.', nameStart);
    if (point == std::string_view::npos)
        return std::string(path) + '.';
    return std::string(path.substr(0, point + 1));
}

std::string summaryMessage(int count, std::string_view outputName)
{
    std::string text = "Conversion completed (";
    text += std::to_string(count);
    text += " satellites)\n\nFile saved as ";
    text += outputName;
    text += "\n\n\n";
    text.append(24, ' ');
    text += "Click OK to SAVE and EXIT.";
    return text;
}

ScreenPoint summaryPlace(ScreenPoint window) { return { window.x + 75, window.y + 65 }; }

ScreenPoint wrongHeaderPlace(ScreenPoint window) { return { window.x + 125, window.y + 100 }; }

Conversion::Conversion()
    : blankline(lineLength, ' ')
    , line1(blankline)
    , line2(blankline)
{
}

RunResult Conversion::LoadCSVfile1Click(RunHost &host)
{
    const auto chosen = host.chooseFile(std::string(loadFilter), sourcefilename);
    if (!chosen || chosen->empty()) {
        host.notice("Not a valid filename");
        return {};
    }
    sourcefilename = *chosen;
    outputstem = outputStemFor(sourcefilename);
    return readdatafile(host);
}

RunResult Conversion::RenumberClick(RunHost &host)
{
    struct ModeGuard {
        int &mode;
        ~ModeGuard() { mode = 0; }
    } guard { renumbermode };
    renumbermode = 1;
    return LoadCSVfile1Click(host);
}

RunResult Conversion::readdatafile(RunHost &host)
{
    InputFile input(sourcefilename);
    LineReader reader(input.fd());
    if (!headerAccepted(reader)) {
        input.close();
        host.placedError(std::string(wrongHeaderMessage), wrongHeaderPlace(host.windowTopLeft()));
        return { RunOutcome::WrongHeader, 0, {} };
    }
    RunResult result { RunOutcome::Converted, 0, outputstem + "TLE" };
    OutputFile output(result.outputName, input.fd());
    result.count = convertRows(reader, output);
    input.close();
    output.finish();
    host.placedNotice(
        summaryMessage(result.count, result.outputName), summaryPlace(host.windowTopLeft()));
    return result;
}

RunResult Conversion::convertStreams(int inputFd, int outputFd, RunHost &host)
{
    LineReader reader(inputFd);
    if (!headerAccepted(reader)) {
        host.placedError(std::string(wrongHeaderMessage), wrongHeaderPlace(host.windowTopLeft()));
        return { RunOutcome::WrongHeader, 0, {} };
    }
    OutputFile output(outputFd);
    RunResult result { RunOutcome::Converted, convertRows(reader, output), {} };
    output.finish();
    return result;
}

bool Conversion::headerAccepted(LineReader &reader)
{
    std::string_view header;
    if (!reader.next(header))
        return false;
    // Spreadsheets save "CSV UTF-8" with a byte-order mark in front.
    if (header.starts_with(utf8ByteOrderMark))
        header.remove_prefix(utf8ByteOrderMark.size());
    return header.starts_with(csvHeader);
}

int Conversion::convertRows(LineReader &reader, OutputFile &output)
{
    int count = 0;
    try {
        std::string_view row;
        while (reader.next(row)) {
            if (isBlankRow(row))
                continue;
            try {
                static_assert(
                    LineReader::linePadding >= 64, "the comma scan reads 64 bytes at a time");
                splitRow(row, reader.lineNumber(), reader.linesPadded());
                ConvertTLE();
            } catch (ConversionError &error) {
                error.setLine(reader.lineNumber());
                throw;
            }
            output.writeEntry(elementSet.satname, line1, line2);
            ++count;
        }
    } catch (const std::bad_alloc &) {
        output.abandon();
        throw ConversionError(outOfMemoryMessage(reader.lineNumber()), reader.lineNumber());
    } catch (...) {
        output.abandon();
        throw;
    }
    return count;
}

void Conversion::splitRow(std::string_view row, int lineNumber)
{
    splitRow(row, lineNumber, false);
}

void Conversion::splitRow(std::string_view row, int lineNumber, bool padded)
{
    std::array<std::size_t, rowColumns> commas; // filled up to `found` below
    const int found = findCommas(row, commas, padded);
    if (found < rowColumns - 1)
        throw ConversionError("Line " + std::to_string(lineNumber) + " has only "
                + std::to_string(found + 1) + " columns; a satellite row has 17",
            lineNumber);
    if (found == rowColumns - 1)
        commas[rowColumns - 1] = row.size();

    if (m_row.size() < row.size() + rowPadding)
        m_row.resize(row.size() + rowPadding);
    std::copy(row.begin(), row.end(), m_row.begin());
    const char *kept = m_row.data();
    std::array<std::string_view, rowColumns> columns;
    std::size_t start = 0;
    for (std::size_t k = 0; k < rowColumns; ++k) {
        columns[k] = std::string_view(kept + start, commas[k] - start);
        start = commas[k] + 1;
    }

    TElementSet &e = elementSet;
    const auto column = [&](int n) { return columns[static_cast<std::size_t>(n - 1)]; };
    e.satname = column(1);
    e.intldesig = column(2);
    e.epochtext = column(3);
    e.meanmotion = column(4);
    e.eccentricity = column(5);
    e.inclination = column(6);
    e.raan = column(7);
    e.argperigee = column(8);
    e.meananomaly = column(9);
    e.classification = column(11).substr(0, 1);
    if (renumbermode != 0) {
        ++renumbercounter;
        m_renumbered = std::to_string(renumbercounter);
        e.catnumber = m_renumbered;
    } else {
        e.catnumber = column(12);
    }
    e.elsetnumber = column(13);
    e.revnumber = column(14);
    e.bstar = column(15);
    e.ndot = column(16);
    e.ddot = column(17);
}

Padding Conversion::paddingOf(std::string_view text) const noexcept
{
    // A text the caller put into the element set in place of the row's is
    // read as a bare text.
    const std::less<const char *> before;
    const char *rowEnd = m_row.data() + m_row.size() - std::min(m_row.size(), rowPadding);
    return !before(text.data(), m_row.data()) && !before(rowEnd, text.data() + text.size())
        ? Padding::row
        : Padding::none;
}

void Conversion::ConvertTLE()
{
    using tle::Field;
    const TElementSet &e = elementSet;
    LineBuffer first(blankline);
    LineBuffer second(blankline);

    constexpr tle::FieldPlace lineNumber1 = tle::place(1, Field::lineNumber);
    constexpr tle::FieldPlace catalogue1 = tle::place(1, Field::catalogueNumber);
    constexpr tle::FieldPlace classification = tle::place(1, Field::classification);
    constexpr tle::FieldPlace designator = tle::place(1, Field::designator);
    constexpr tle::FieldPlace epoch = tle::place(1, Field::epoch);
    constexpr tle::FieldPlace ephemerisType = tle::place(1, Field::ephemerisType);
    static_assert(lineNumber1.text.size() == 1 && ephemerisType.text.size() == 1);
    static_assert(epoch.column - 1 + epochCapacity <= tle::lineLength + lineRoom);

    *first.at(lineNumber1.column) = lineNumber1.text[0];
    writeCatalogueNumber(e.catnumber, first.at(catalogue1.column));
    first.put(classification.column, e.classification.substr(0, classification.width));
    // The designator: launch year, then launch number and up to three piece letters.
    first.put(
        designator.column, e.intldesig.substr(std::min<std::size_t>(2, e.intldesig.size()), 2));
    first.put(designator.column + 2,
        e.intldesig.substr(std::min<std::size_t>(5, e.intldesig.size()), designator.width - 2));
    writeEpoch(e.epochtext, first.at(epoch.column));
    writeNdot(e.ndot, first.at(tle::place(1, Field::firstDerivative).column), paddingOf(e.ndot));
    writeExponentField(
        e.ddot, first.at(tle::place(1, Field::secondDerivative).column), paddingOf(e.ddot));
    writeExponentField(e.bstar, first.at(tle::place(1, Field::bstar).column), paddingOf(e.bstar));
    *first.at(ephemerisType.column) = ephemerisType.text[0];

    // The counts and the decimal fields are placed as their texts stand, each
    // once it reads as a number and fits its columns: a reader of the lines
    // then finds the value the row holds, or the run stops here. The error
    // names the row's text.
    const auto putCount
        = [this](LineBuffer &line, const tle::FieldPlace &field, std::string_view text) {
              checkDigitsField(text, paddingOf(text));
              const std::size_t blanks = rightAlignFill(text, field.width);
              checkFieldWidth(text, blanks + text.size(), field);
              line.putFilled(field.column, tle::fillCharacter(field.formed), blanks, text);
          };
    putCount(first, tle::place(1, Field::elementSetNumber), e.elsetnumber);

    // Published element sets write ".7392" and "0"; TLE readers need the
    // fixed-point form "0.7392", "0.0000" in these columns.
    std::string scratch;
    const auto fixed = [&scratch](std::string_view text, std::size_t decimals) {
        return isCompleteFixed(text) ? text : CompleteFixed(text, decimals, scratch);
    };
    const auto putDecimal
        = [&](const tle::FieldPlace &field, std::string_view text, std::size_t decimals,
              std::size_t (*fillOf)(std::string_view) noexcept) {
              checkDecimalField(text, paddingOf(text));
              const std::string_view placed = fixed(text, decimals);
              const std::size_t count = fillOf(placed);
              checkFieldWidth(text, count + placed.size(), field);
              second.putFilled(field.column, tle::fillCharacter(field.formed), count, placed);
          };
    constexpr tle::FieldPlace lineNumber2 = tle::place(2, Field::lineNumber);
    constexpr tle::FieldPlace catalogue2 = tle::place(2, Field::catalogueNumber);
    constexpr tle::FieldPlace inclinationPlace = tle::place(2, Field::inclination);
    static_assert(lineNumber2.text.size() == 1 && catalogue2.width == catalogue1.width);
    *second.at(lineNumber2.column) = lineNumber2.text[0];
    const std::size_t inclinationBlanks = inclinationFill(e.inclination, paddingOf(e.inclination));
    const std::string_view inclination = fixed(e.inclination, 4);
    checkFieldWidth(e.inclination, inclinationBlanks + inclination.size(), inclinationPlace);
    second.putFilled(inclinationPlace.column, tle::fillCharacter(inclinationPlace.formed),
        inclinationBlanks, inclination);
    putDecimal(tle::place(2, Field::raan), e.raan, 4, angleFill);
    writeEccentricity(e.eccentricity, second.at(tle::place(2, Field::eccentricity).column),
        paddingOf(e.eccentricity));
    putDecimal(tle::place(2, Field::argumentOfPerigee), e.argperigee, 4, angleFill);
    putDecimal(tle::place(2, Field::meanAnomaly), e.meananomaly, 4, angleFill);
    putDecimal(tle::place(2, Field::meanMotion), e.meanmotion, 8, meanMotionFill);
    putCount(second, tle::place(2, Field::revolutionNumber), e.revnumber);
    // Line 1 is read back only now, when the characters just stored into it
    // have long reached the cache: its catalogue number for line 2 (no later
    // field reaches back to those columns), then its checksum.
    second.put(catalogue2.column, std::string_view(first.at(catalogue1.column), catalogue1.width));
    first.finish(line1);
    second.finish(line2);
}

} // namespace varnholt
