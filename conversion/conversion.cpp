#include "conversion.h"

#include "byte_blocks.h"
#include "errors.h"
#include "field_text.h"
#include "file_io.h"
#include "line_reader.h"
#include "named_columns.h"
#include "tle_layout.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <new>

namespace varnholt {

namespace {

    constexpr std::size_t lineLength = tle::lineLength;
    constexpr std::size_t catalogueColumn = tle::place(1, tle::Field::catalogueNumber).column;

    // Room behind an element line's 69 columns: a field text of up to 16
    // characters, or a fill of up to 8, placed at any column needs no check
    // against the line's end.
    constexpr std::size_t lineRoom = 32;

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

    // The entry's lines from `e`, whose number fields are read from `n`
    // (Conversion's NumberFields): the same texts with room behind them.
    template <class Numbers>
    void assembleLines(const TElementSet &e,
        const Numbers &n,
        CatalogueForm catalogueForm,
        const std::string &blankline,
        std::string &line1,
        std::string &line2)
    {
        using tle::Field;
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
        writeCatalogueNumber(e.catnumber, first.at(catalogue1.column), catalogueForm);
        first.put(classification.column, e.classification.substr(0, classification.width));
        // The designator: launch year, then launch number and up to three piece letters.
        first.put(
            designator.column, e.intldesig.substr(std::min<std::size_t>(2, e.intldesig.size()), 2));
        first.put(designator.column + 2,
            e.intldesig.substr(std::min<std::size_t>(5, e.intldesig.size()), designator.width - 2));
        writeEpoch(e.epochtext, first.at(epoch.column));
        writeNdot(n.ndot, first.at(tle::place(1, Field::firstDerivative).column));
        writeExponentField(n.ddot, first.at(tle::place(1, Field::secondDerivative).column));
        writeExponentField(n.bstar, first.at(tle::place(1, Field::bstar).column));
        *first.at(ephemerisType.column) = ephemerisType.text[0];

        // The counts and the decimal fields are placed as their texts stand, each
        // once it is digits (with at most one point in a decimal field) and fits
        // its columns: a reader of the lines then finds the value the row holds,
        // or the run stops here. Each field is checked where it is placed, so
        // the error names the row's text of the first field in placing order.
        const auto putCount = [](LineBuffer &line, const tle::FieldPlace &field, auto text) {
            checkDigitsField(text);
            const std::size_t blanks = rightAlignFill(text, field.width);
            checkFieldWidth(text, blanks + text.size(), field);
            line.putFilled(field.column, tle::fillCharacter(field.formed), blanks, text);
        };
        putCount(first, tle::place(1, Field::elementSetNumber), n.elsetnumber);

        // Published element sets write ".7392" and "0"; TLE readers need the
        // fixed-point form "0.7392", "0.0000" in these columns.
        std::string scratch;
        const auto fixed = [&scratch](std::string_view text, std::size_t decimals) {
            return isCompleteFixed(text) ? text : CompleteFixed(text, decimals, scratch);
        };
        const auto putDecimal = [&](const tle::FieldPlace &field, auto text, std::size_t decimals,
                                    std::size_t (*fillOf)(std::string_view) noexcept) {
            checkDecimalField(text);
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
        const std::size_t inclinationBlanks = inclinationFieldFill(n.inclination);
        const std::string_view inclination = fixed(n.inclination, 4);
        checkFieldWidth(n.inclination, inclinationBlanks + inclination.size(), inclinationPlace);
        second.putFilled(inclinationPlace.column, tle::fillCharacter(inclinationPlace.formed),
            inclinationBlanks, inclination);
        putDecimal(tle::place(2, Field::raan), n.raan, 4, angleFill);
        writeEccentricity(n.eccentricity, second.at(tle::place(2, Field::eccentricity).column));
        putDecimal(tle::place(2, Field::argumentOfPerigee), n.argperigee, 4, angleFill);
        putDecimal(tle::place(2, Field::meanAnomaly), n.meananomaly, 4, angleFill);
        putDecimal(tle::place(2, Field::meanMotion), n.meanmotion, 8, meanMotionFill);
        putCount(second, tle::place(2, Field::revolutionNumber), n.revnumber);
        // Line 1 is read back only now, when the characters just stored into it
        // have long reached the cache: its catalogue number for line 2 (no later
        // field reaches back to those columns), then its checksum.
        second.put(
            catalogue2.column, std::string_view(first.at(catalogue1.column), catalogue1.width));
        first.finish(line1);
        second.finish(line2);
    }

} // namespace

std::string outputStemFor(std::string_view path)
{
    const std::size_t slash = path.find_last_of(folderSeparators());
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::size_t point = path.find('.', nameStart);
    if (point == std::string_view::npos)
        return std::string(path) + '.';
    return std::string(path.substr(0, point + 1));
}

std::string_view nameLine(std::string_view name, std::size_t width) noexcept
{
    if (name.size() > width) {
        // Back over UTF-8 continuation bytes to the lead byte of a character
        // that would not fit whole.
        std::size_t start = width;
        while (start > 0 && width - start < 3
            && (static_cast<unsigned char>(name[start]) & 0xC0U) == 0x80U)
            --start;
        const auto lead = static_cast<unsigned char>(name[start]);
        const std::size_t length = lead >= 0xF0U ? 4 : lead >= 0xE0U ? 3 : lead >= 0xC0U ? 2 : 1;
        name = name.substr(0, start < width && start + length > width ? start : width);
    }
    const std::size_t last = name.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : name.substr(0, last + 1);
}

Conversion::Conversion()
    : blankline(lineLength, ' ')
    , line1(blankline)
    , line2(blankline)
{
}

RunResult Conversion::convertFile(const std::string &path, const std::string &outputName)
{
    sourcefilename = path;
    outputstem = outputStemFor(sourcefilename);
    return outputName.empty() ? readdatafile() : convertInto(outputName);
}

RunResult Conversion::readdatafile() { return convertInto(outputstem + "TLE"); }

RunResult Conversion::convertInto(const std::string &outputName)
{
    InputFile input(sourcefilename);
    LineReader reader(input.handle());
    NamedColumns named;
    const InputForm form = readForm(reader, named);
    if (form == InputForm::unknown) {
        input.close();
        return { RunOutcome::WrongHeader, 0, 0, {} };
    }
    RunResult result { RunOutcome::Converted, 0, 0, outputName };
    OutputFile output(result.outputName, input.handle());
    convertForm(form, reader, named, output, result);
    input.close();
    output.finish();
    return result;
}

RunResult Conversion::convertStreams(FileHandle input, FileHandle output)
{
    LineReader reader(input);
    NamedColumns named;
    const InputForm form = readForm(reader, named);
    if (form == InputForm::unknown)
        return { RunOutcome::WrongHeader, 0, 0, {} };
    OutputFile file(output);
    RunResult result { RunOutcome::Converted, 0, 0, {} };
    convertForm(form, reader, named, file, result);
    file.finish();
    return result;
}

RunResult Conversion::convertStreams(FileHandle input, const std::string &outputName)
{
    LineReader reader(input);
    NamedColumns named;
    const InputForm form = readForm(reader, named);
    if (form == InputForm::unknown)
        return { RunOutcome::WrongHeader, 0, 0, {} };
    RunResult result { RunOutcome::Converted, 0, 0, outputName };
    OutputFile output(outputName, input);
    convertForm(form, reader, named, output, result);
    output.finish();
    return result;
}

void Conversion::convertForm(InputForm form,
    LineReader &reader,
    const NamedColumns &named,
    OutputFile &output,
    RunResult &result)
{
    if (form == InputForm::json)
        convertJson(reader, output, result);
    else if (form == InputForm::namedRows)
        convertNamedRows(reader, named, output, result);
    else
        convertRows(reader, output, result);
}

void Conversion::convertRows(LineReader &reader, OutputFile &output, RunResult &result)
{
    int count = 0;
    int letterNumbers = 0;
    try {
        PaddedText row;
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
            output.writeEntry(
                namewidth == 0 ? elementSet.satname : nameLine(elementSet.satname, namewidth),
                line1, line2);
            ++count;
            // Only the letter form puts a letter in the number's first column.
            letterNumbers += static_cast<int>(line1[catalogueColumn - 1] > '9');
        }
    } catch (const std::bad_alloc &) {
        output.abandon();
        throw ConversionError(outOfMemoryMessage(reader.lineNumber()), reader.lineNumber());
    } catch (...) {
        output.abandon();
        throw;
    }
    result.count = count;
    result.letterNumbers = letterNumbers;
}

void Conversion::takeTexts(const RowColumns::Texts &texts, int lineNumber)
{
    m_columns.fill(texts);
    takeColumns(RowColumns::count, lineNumber);
}

void Conversion::assembleTakenLines()
{
    // What ConvertTLE does for the texts takeColumns has just set. Calling
    // it here instead keeps the row loop ConvertTLE's one caller, into which
    // the compiler then inlines it.
    assembleLines(elementSet, m_inRow, catalogueForm(), blankline, line1, line2);
}

void Conversion::splitRow(std::string_view row, int lineNumber)
{
    takeColumns(m_columns.split(row), lineNumber);
}

void Conversion::splitRow(PaddedText row, int lineNumber)
{
    takeColumns(m_columns.split(row), lineNumber);
}

// Inlined into the row loop also now that takeTexts calls it too.
[[gnu::always_inline]] inline void Conversion::takeColumns(std::size_t found, int lineNumber)
{
    if (found < RowColumns::count)
        throw ConversionError("Line " + std::to_string(lineNumber) + " has only "
                + std::to_string(found) + " columns; a satellite row has 17",
            lineNumber);

    TElementSet &e = elementSet;
    NumberFields &n = m_inRow;
    const RowColumns &column = m_columns;
    e.satname = column[1];
    e.intldesig = column[2];
    e.epochtext = column[3];
    e.meanmotion = n.meanmotion = column[4];
    e.eccentricity = n.eccentricity = column[5];
    e.inclination = n.inclination = column[6];
    e.raan = n.raan = column[7];
    e.argperigee = n.argperigee = column[8];
    e.meananomaly = n.meananomaly = column[9];
    e.classification = column[11].substr(0, 1);
    if (renumbermode != 0) {
        ++renumbercounter;
        m_renumbered = std::to_string(renumbercounter);
        e.catnumber = m_renumbered;
    } else {
        e.catnumber = column[12];
    }
    e.elsetnumber = n.elsetnumber = column[13];
    e.revnumber = n.revnumber = column[14];
    e.bstar = n.bstar = column[15];
    e.ndot = n.ndot = column[16];
    e.ddot = n.ddot = column[17];
}

CatalogueForm Conversion::catalogueForm() const noexcept
{
    return fivedigitmode != 0 ? CatalogueForm::fiveDigits : CatalogueForm::letters;
}

void Conversion::ConvertTLE()
{
    // While the element set holds the row splitter's own texts, they are read
    // where they stand, with the kept row behind them. Once a caller has put
    // a text of its own in place of any of them, all are read from copies.
    const TElementSet &e = elementSet;
    const NumberFields &n = m_inRow;
    const auto same = [](std::string_view held, PaddedText own) {
        return held.data() == own.data() && held.size() == own.size();
    };
    const bool rowTexts = same(e.meanmotion, n.meanmotion) && same(e.eccentricity, n.eccentricity)
        && same(e.inclination, n.inclination) && same(e.raan, n.raan)
        && same(e.argperigee, n.argperigee) && same(e.meananomaly, n.meananomaly)
        && same(e.elsetnumber, n.elsetnumber) && same(e.revnumber, n.revnumber)
        && same(e.bstar, n.bstar) && same(e.ndot, n.ndot) && same(e.ddot, n.ddot);
    assembleLines(e, rowTexts ? n : copyNumberFields(), catalogueForm(), blankline, line1, line2);
}

// Off the row loop's path, so kept out of line: the compiler's inlining then
// goes to the row's own assembly.
[[gnu::cold, gnu::noinline]] const Conversion::NumberFields &Conversion::copyNumberFields()
{
    // In the order of NumberFields' members.
    const TElementSet &e = elementSet;
    m_copies.assign(std::array { e.meanmotion, e.eccentricity, e.inclination, e.raan, e.argperigee,
        e.meananomaly, e.elsetnumber, e.revnumber, e.bstar, e.ndot, e.ddot });
    m_copied = { m_copies[0], m_copies[1], m_copies[2], m_copies[3], m_copies[4], m_copies[5],
        m_copies[6], m_copies[7], m_copies[8], m_copies[9], m_copies[10] };
    return m_copied;
}

} // namespace varnholt
