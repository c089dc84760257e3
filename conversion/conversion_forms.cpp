#include "conversion.h"
#include "errors.h"
#include "file_io.h"
#include "json_records.h"
#include "line_reader.h"
#include "named_columns.h"
#include "tle_layout.h"

#include <functional>
#include <new>
#include <string>
#include <string_view>

// The runs of the forms read by their columns' names: CSV by its header and
// JSON. Built apart from the rest of the core, outside its link-time
// optimisation, so that their code does not use up the inlining the
// optimiser allows the whole program, which the 17-column row loop needs.

namespace varnholt {

namespace {

    constexpr std::size_t catalogueColumn = tle::place(1, tle::Field::catalogueNumber).column;

} // namespace

Conversion::InputForm Conversion::readForm(LineReader &reader, NamedColumns &named)
{
    // JSON when the first byte after a byte-order mark and blanks is "[".
    // A pipe may hand over a few bytes at a time: more are asked for until
    // that byte is there, the input ends or a buffer is full of blanks.
    for (std::size_t wanted = 1;;) {
        const std::string_view bytes = reader.peek(wanted);
        std::string_view rest = bytes;
        const bool markSoFar = rest.size() < utf8ByteOrderMark.size()
            && utf8ByteOrderMark.starts_with(rest) && !rest.empty();
        if (rest.starts_with(utf8ByteOrderMark))
            rest.remove_prefix(utf8ByteOrderMark.size());
        const std::size_t first = rest.find_first_not_of(" \t\r\n");
        if (first != std::string_view::npos && !markSoFar) {
            if (rest[first] == '[')
                return InputForm::json;
            break;
        }
        if (bytes.size() < wanted)
            break;
        wanted = bytes.size() + 1;
    }

    std::string_view header;
    if (!reader.next(header))
        return InputForm::unknown;
    switch (named.read(header)) {
    case NamedColumns::Form::positional:
        return InputForm::rows;
    case NamedColumns::Form::named:
        return InputForm::namedRows;
    case NamedColumns::Form::unknown:
        break;
    }
    return InputForm::unknown;
}

void Conversion::writeCurrent(OutputFile &output, int &count, int &letterNumbers)
{
    output.writeEntry(namewidth == 0 ? elementSet.satname : nameLine(elementSet.satname, namewidth),
        line1, line2);
    ++count;
    letterNumbers += static_cast<int>(line1[catalogueColumn - 1] > '9');
}

void Conversion::convertRecords(OutputFile &output,
    RunResult &result,
    const std::function<void(const TakeRecord &)> &readRecords)
{
    int count = 0;
    int letterNumbers = 0;
    int lastLine = 1; // the line of the record taken last, for a message on memory
    try {
        readRecords([&](const RowColumns::Texts &texts, int lineNumber) {
            lastLine = lineNumber;
            try {
                takeTexts(texts, lineNumber);
                assembleTakenLines();
            } catch (ConversionError &error) {
                error.setLine(lineNumber);
                throw;
            }
            writeCurrent(output, count, letterNumbers);
        });
    } catch (const std::bad_alloc &) {
        output.abandon();
        throw ConversionError(outOfMemoryMessage(lastLine), lastLine);
    } catch (...) {
        output.abandon();
        throw;
    }
    result.count = count;
    result.letterNumbers = letterNumbers;
}

void Conversion::convertNamedRows(
    LineReader &reader, const NamedColumns &named, OutputFile &output, RunResult &result)
{
    convertRecords(output, result, [&](const TakeRecord &take) {
        CsvRecord record;
        RowColumns::Texts texts;
        std::string_view line;
        while (reader.next(line)) {
            if (isBlankRow(line))
                continue;
            const int lineNumber = reader.lineNumber();
            // A quoted value may go on over the next lines.
            for (bool complete = record.start(line, lineNumber); !complete;
                 complete = record.resume(line)) {
                if (!reader.next(line))
                    throw ConversionError("Line " + std::to_string(lineNumber)
                            + " has a quoted value that the file ends in",
                        lineNumber);
            }
            named.take(record, texts);
            take(texts, lineNumber);
        }
    });
}

void Conversion::convertJson(LineReader &reader, OutputFile &output, RunResult &result)
{
    convertRecords(output, result, [&](const TakeRecord &take) { readJsonRecords(reader, take); });
}

} // namespace varnholt
