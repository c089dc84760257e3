#pragma once

#include "element_set.h"
#include "field_text.h"
#include "file_io.h"
#include "json_records.h"
#include "padded_text.h"
#include "row_columns.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace varnholt {

class LineReader;
class NamedColumns;
class OutputFile;

/// How a run ended (an error ends it by an exception instead).
enum class RunOutcome {
    WrongHeader, ///< neither a satellite CSV header nor a JSON array: nothing was written
    Converted, ///< every row converted
};

struct RunResult {
    RunOutcome outcome = RunOutcome::WrongHeader;
    int count = 0; ///< satellites written
    int letterNumbers = 0; ///< catalogue numbers among them written in the letter form (A0000 ...)
    std::string outputName; ///< the file written, or empty for an open file or none created
};

/// The header a CSV input read by position begins with.
inline constexpr std::string_view csvHeader = "OBJECT_NAME,OBJECT_ID";

/// Passed over in front of the header: spreadsheets begin their UTF-8 CSV files with it.
inline constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

/// The conversion state and its runs. One instance lives as long as the main
/// window (or the command-line process); the renumber counter is never reset
/// while it lives. `renumbermode`, `fivedigitmode` and `namewidth` are the
/// options every run follows, as they stand when it starts.
///
/// A run reads three forms of input, told apart by their first bytes (a
/// UTF-8 byte-order mark in front passed over):
/// - CSV whose header begins "OBJECT_NAME,OBJECT_ID": its rows are read by
///   position, the 17 columns in the standard order (columnNames), commas
///   always separating; unless the header is not the standard one but names
///   every needed column, which makes it the next form;
/// - CSV whose header names every needed column, in any order, beside any
///   others: its rows are read by those names with RFC 4180 quoting
///   (NamedColumns, CsvRecord);
/// - a JSON array of records keyed by the same names, when the first byte
///   that is not blank is "[" (readJsonRecords).
/// Anything else is RunOutcome::WrongHeader. Every form's element sets go
/// through the same conversion; errors name the line of the row or record.
///
/// A run shows nothing: its caller tells the user from the result. Errors
/// (I/O, number texts, short rows, a line too long for the memory left) are
/// thrown as ConversionError after every file the run opened has been closed;
/// entries written before the error stay in the output.
class Conversion {
public:
    Conversion();

    /// The run on the file `path`: `sourcefilename` becomes `path` and
    /// `outputstem` its stem (outputStemFor), then it writes `outputName`, or
    /// `outputstem` + "TLE" (readdatafile) when that is empty. The output is
    /// created once the header is accepted, and refused when it is the input
    /// under another name.
    RunResult convertFile(const std::string &path, const std::string &outputName = {});

    /// The run on `sourcefilename`, writing `outputstem` + "TLE".
    RunResult readdatafile();

    /// The run on already open files (standard input and output of the
    /// command-line converter), which stay open.
    RunResult convertStreams(FileHandle input, FileHandle output);

    /// The run from the open `input`, which stays open, into the file
    /// `outputName`, created once the header is accepted and refused when it
    /// is `input` itself.
    RunResult convertStreams(FileHandle input, const std::string &outputName);

    /// Builds `line1` and `line2` from `elementSet`. Throws ConversionError when a
    /// field's text does not read or does not fit its TLE field, naming the
    /// first such text in the order the fields are placed: line 1's, then line
    /// 2's, each line's in column order. `line1` and `line2` then stay as they were.
    /// The texts splitRow put into `elementSet` are read where they stand in
    /// the kept row; once the caller has put a text of its own in place of
    /// any, also before the first row, all are read from copies.
    void ConvertTLE();

    /// Splits one data row into `elementSet`, advancing the renumber counter in
    /// renumber mode. Throws ConversionError for a row of fewer than 17
    /// columns, naming `lineNumber`.
    void splitRow(std::string_view row, int lineNumber);

    // The conversion state.
    int renumbermode = 0;
    /// 1 while catalogue numbers above 99999 are written as five-digit
    /// stand-ins (CatalogueForm::fiveDigits), 0 for the letter form.
    int fivedigitmode = 0;
    /// Name lines are cut to this many characters (nameLine); 0 keeps them whole.
    std::size_t namewidth = 0;
    std::int32_t renumbercounter = 20000;
    std::string sourcefilename;
    std::string outputstem;
    std::string blankline;
    std::string line1;
    std::string line2;
    TElementSet elementSet;

private:
    // The texts of the fields read as numbers, with room behind them, in the
    // order of TElementSet's members.
    struct NumberFields {
        PaddedText meanmotion;
        PaddedText eccentricity;
        PaddedText inclination;
        PaddedText raan;
        PaddedText argperigee;
        PaddedText meananomaly;
        PaddedText elsetnumber;
        PaddedText revnumber;
        PaddedText bstar;
        PaddedText ndot;
        PaddedText ddot;
    };

    RowColumns m_columns; // the row elementSet's texts point into
    NumberFields m_inRow; // the same texts as the row splitter made them
    std::string m_renumbered; // the renumber counter's text for the current row
    PaddedCopy m_copies; // elementSet's number texts when a caller set them
    NumberFields m_copied; // the texts in m_copies

    const NumberFields &copyNumberFields();
    CatalogueForm catalogueForm() const noexcept;
    void splitRow(PaddedText row, int lineNumber);
    void takeColumns(std::size_t found, int lineNumber);
    // The form of an input, from its first bytes and line.
    enum class InputForm { unknown, rows, namedRows, json };

    RunResult convertInto(const std::string &outputName);
    static InputForm readForm(LineReader &reader, NamedColumns &named);
    void convertForm(InputForm form,
        LineReader &reader,
        const NamedColumns &named,
        OutputFile &output,
        RunResult &result);
    void convertRows(LineReader &reader, OutputFile &output, RunResult &result);
    void convertNamedRows(
        LineReader &reader, const NamedColumns &named, OutputFile &output, RunResult &result);
    void convertJson(LineReader &reader, OutputFile &output, RunResult &result);
    // Writes an entry for each record `readRecords` hands to the function it
    // is given, with the record's first line; an error ends the run after
    // the complete entries.
    void convertRecords(OutputFile &output,
        RunResult &result,
        const std::function<void(const TakeRecord &)> &readRecords);
    void takeTexts(const RowColumns::Texts &texts, int lineNumber);
    void assembleTakenLines();
    void writeCurrent(OutputFile &output, int &count, int &letterNumbers);
};

/// `outputstem` for a chosen path: the path up to and including the first "."
/// of its file name; a file name without "." gets one ("/data/active" gives
/// "/data/active.").
std::string outputStemFor(std::string_view path);

/// A name line cut to at most `width` characters, trailing blanks removed. A
/// UTF-8 character that the cut would split is left out whole.
std::string_view nameLine(std::string_view name, std::size_t width) noexcept;

} // namespace varnholt
