#include "conversion.h"

#include "errors.h"
#include "field_text.h"
#include "file_io.h"
#include "line_reader.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace varnholt {

namespace {

    constexpr std::size_t lineLength = 69;
    constexpr int rowColumns = 17;

    // Puts `text` into `line` from column `column` (counted from 1); what
    // would go beyond the line's end is not written.
    void place(std::string &line, std::size_t column, std::string_view text)
    {
        const std::size_t start = column - 1;
        if (start >= line.size())
            return;
        const std::size_t count = std::min(text.size(), line.size() - start);
        char *out = line.data() + start;
        const char *in = text.data();
        // Field texts are short: two fixed-size, possibly overlapping moves
        // cover them without a call to memcpy.
        if (count >= 8 && count <= 16) {
            std::memcpy(out, in, 8);
            std::memcpy(out + count - 8, in + count - 8, 8);
        } else if (count >= 4 && count < 8) {
            std::memcpy(out, in, 4);
            std::memcpy(out + count - 4, in + count - 4, 4);
        } else if (count > 16) {
            std::memcpy(out, in, count);
        } else {
            for (std::size_t i = 0; i < count; ++i)
                out[i] = in[i];
        }
    }

    // A byte mask with bit k set where byte k of the eight at `p` is a comma.
    // In the word, a comma becomes a zero byte after the XOR; the zero-byte
    // test marks exactly those bytes in their top bit, and the multiplication
    // gathers the eight top bits into one byte.
    std::uint64_t commaBits(const char *p) noexcept
    {
        constexpr std::uint64_t spread = 0x0101010101010101ULL;
        constexpr std::uint64_t low7 = 0x7F7F7F7F7F7F7F7FULL;
        std::uint64_t word = 0;
        std::memcpy(&word, p, 8);
        const std::uint64_t x = word ^ (spread * ',');
        const std::uint64_t marks = ~(((x & low7) + low7) | x | low7);
        return ((marks >> 7) * 0x0102040810204080ULL) >> 56;
    }

    // The positions of the first commas of `row`, up to as many as `commas`
    // holds; returns how many there are. The row is taken 64 characters at a
    // time: first a bit mask of their commas, built without branches, then
    // the positions read off its set bits.
    template <std::size_t N>
    int findCommas(std::string_view row, std::array<std::size_t, N> &commas) noexcept
    {
        constexpr int wanted = static_cast<int>(N);
        int found = 0;
        for (std::size_t base = 0; base < row.size() && found < wanted; base += 64) {
            const std::size_t end = std::min(row.size(), base + 64);
            std::uint64_t mask = 0;
            std::size_t i = base;
            if constexpr (std::endian::native == std::endian::little) {
                for (; i + 8 <= end; i += 8)
                    mask |= commaBits(row.data() + i) << (i - base);
            }
            for (; i < end; ++i)
                mask |= static_cast<std::uint64_t>(row[i] == ',') << (i - base);
            for (; mask != 0 && found < wanted; mask &= mask - 1)
                commas[static_cast<std::size_t>(found++)]
                    = base + static_cast<std::size_t>(std::countr_zero(mask));
        }
        return found;
    }

    // Puts `count` fill characters from `column`, then `text` after them.
    void placeFilled(std::string &line, std::size_t column, char fill, std::size_t count, std::string_view text)
    {
        const std::size_t start = column - 1;
        const std::size_t end = std::min(line.size(), start + count);
        for (std::size_t i = start; i < end; ++i)
            line[i] = fill;
        place(line, column + count, text);
    }

    bool isBlankRow(std::string_view row)
    {
        return row.find_first_not_of(' ') == std::string_view::npos;
    }

    // Ends an entry's line: the checksum digit in the last column.
    void closeLine(std::string &line)
    {
        line[lineLength - 1] = Checksum(line);
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

ScreenPoint summaryPlace(ScreenPoint window)
{
    return { window.x + 75, window.y + 65 };
}

ScreenPoint wrongHeaderPlace(ScreenPoint window)
{
    return { window.x + 125, window.y + 100 };
}

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
    host.placedNotice(summaryMessage(result.count, result.outputName),
                      summaryPlace(host.windowTopLeft()));
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
    return reader.next(header) && header.starts_with(csvHeader);
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
                splitRow(row, reader.lineNumber());
                ConvertTLE();
            } catch (ConversionError &error) {
                error.setLine(reader.lineNumber());
                throw;
            }
            output.writeEntry(elementSet.satname, line1, line2);
            ++count;
        }
    } catch (...) {
        output.abandon();
        throw;
    }
    return count;
}

void Conversion::splitRow(std::string_view row, int lineNumber)
{
    std::array<std::size_t, rowColumns> commas; // filled up to `found` below
    const int found = findCommas(row, commas);
    if (found < rowColumns - 1)
        throw ConversionError("Line " + std::to_string(lineNumber) + " has only "
                                  + std::to_string(found + 1) + " columns; a satellite row has 17",
                              lineNumber);
    if (found == rowColumns - 1)
        commas[rowColumns - 1] = row.size();

    m_row.assign(row);
    const std::string_view kept = m_row;
    std::array<std::string_view, rowColumns> columns;
    std::size_t start = 0;
    for (std::size_t k = 0; k < rowColumns; ++k) {
        columns[k] = kept.substr(start, commas[k] - start);
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

void Conversion::ConvertTLE()
{
    const TElementSet &e = elementSet;
    // Both lines start as copies of the blank template (a fixed-size copy,
    // which the compiler does in a few moves).
    line1.resize(lineLength);
    line2.resize(lineLength);
    std::memcpy(line1.data(), blankline.data(), lineLength);
    std::memcpy(line2.data(), blankline.data(), lineLength);
    char catalogue[5];
    writeCatalogueNumber(e.catnumber, catalogue);
    const std::string_view catalogueText(catalogue, sizeof catalogue);
    char field[epochCapacity];

    place(line1, 1, "1");
    place(line1, 3, catalogueText);
    place(line1, 8, e.classification.substr(0, 1));
    // The designator: launch year, then launch number and up to three piece letters.
    place(line1, 10, e.intldesig.substr(std::min<std::size_t>(2, e.intldesig.size()), 2));
    place(line1, 12, e.intldesig.substr(std::min<std::size_t>(5, e.intldesig.size()), 6));
    place(line1, 19, std::string_view(field, writeEpoch(e.epochtext, field)));
    writeNdot(e.ndot, field);
    place(line1, 34, std::string_view(field, 10));
    writeExponentField(e.ddot, field);
    place(line1, 45, std::string_view(field, 8));
    writeExponentField(e.bstar, field);
    place(line1, 54, std::string_view(field, 8));
    place(line1, 63, "0");
    placeFilled(line1, 65, ' ', rightAlignFill(e.elsetnumber, 4), e.elsetnumber);
    closeLine(line1);

    // Published element sets write ".7392" and "0"; TLE readers need the
    // fixed-point form "0.7392", "0.0000" in these columns.
    std::string scratch;
    place(line2, 1, "2");
    place(line2, 3, catalogueText);
    const std::size_t inclinationBlanks = inclinationFill(e.inclination);
    placeFilled(line2, 9, ' ', inclinationBlanks, CompleteFixed(e.inclination, 4, scratch));
    const std::string_view raan = CompleteFixed(e.raan, 4, scratch);
    placeFilled(line2, 18, ' ', angleFill(raan), raan);
    writeEccentricity(e.eccentricity, field);
    place(line2, 27, std::string_view(field, 7));
    const std::string_view perigee = CompleteFixed(e.argperigee, 4, scratch);
    placeFilled(line2, 35, '0', angleFill(perigee), perigee);
    const std::string_view anomaly = CompleteFixed(e.meananomaly, 4, scratch);
    placeFilled(line2, 44, ' ', angleFill(anomaly), anomaly);
    const std::string_view motion = CompleteFixed(e.meanmotion, 8, scratch);
    placeFilled(line2, 53, ' ', meanMotionFill(motion), motion);
    placeFilled(line2, 64, ' ', rightAlignFill(e.revnumber, 5), e.revnumber);
    closeLine(line2);
}

} // namespace varnholt
