#pragma once

#include "element_set.h"
#include "field_text.h"
#include "file_io.h"
#include "padded_text.h"
#include "row_columns.h"
#include "run_host.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace varnholt {

class LineReader;
class OutputFile;

/// How a load command ended (an error ends it by an exception instead).
enum class RunOutcome {
    Cancelled, ///< no file chosen: the notice "Not a valid filename" was shown
    WrongHeader, ///< the header did not begin "OBJECT_NAME,OBJECT_ID": the error box was shown
    Converted, ///< every row converted; the summary was shown
};

struct RunResult {
    RunOutcome outcome = RunOutcome::Cancelled;
    int count = 0; ///< satellites written
    int letterNumbers = 0; ///< catalogue numbers among them written in the letter form (A0000 ...)
    std::string outputName; ///< outputstem + "TLE", or empty when nothing was created
};

/// The filter the load command hands to the file dialog.
inline constexpr std::string_view loadFilter = "CSV satellite data (*.csv, *.txt)|*.csv;*.txt";

/// The header every input must begin with.
inline constexpr std::string_view csvHeader = "OBJECT_NAME,OBJECT_ID";

/// Passed over in front of the header: spreadsheets begin their UTF-8 CSV files with it.
inline constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

/// The text of the wrong-header box.
inline constexpr std::string_view wrongHeaderMessage
    = "This is not a satellite CSV data file\n\n      Click OK to exit";

/// The conversion state and the load commands. One instance lives as long as
/// the main window (or the command-line process); the renumber counter is
/// never reset while it lives.
///
/// The commands reach the user only through the RunHost they are given.
/// Errors (I/O, number texts, short rows, a line too long for the memory
/// left) are thrown as ConversionError after
/// every file the run opened has been closed; entries written before the error
/// stay in the output.
class Conversion {
public:
    Conversion();

    /// File > "Load CSV file": asks for the file, derives `outputstem` and runs
    /// `readdatafile` with `renumbermode` as it stands.
    RunResult LoadCSVfile1Click(RunHost &host);

    /// File > "Load and Renumber": the load command with `renumbermode` on,
    /// switched back off however the command ends.
    RunResult RenumberClick(RunHost &host);

    /// File > "Load with Five-Digit Numbers": the load command with
    /// `fivedigitmode` on, switched back off however the command ends.
    RunResult FiveDigitClick(RunHost &host);

    /// The conversion run on `sourcefilename`, writing `outputstem` + "TLE".
    RunResult readdatafile(RunHost &host);

    /// The same run writing `outputName` instead, with the same checks that it
    /// is not the input under another name.
    RunResult convertFile(const std::string &outputName, RunHost &host);

    /// The same run on already open files (standard input and output of
    /// the command-line converter), which stay open. Shows the wrong-header box
    /// through `host` but no summary.
    RunResult convertStreams(FileHandle input, FileHandle output, RunHost &host);

    /// The run from the open `input`, which stays open, into the file
    /// `outputName`, created once the header is accepted and refused when it
    /// is `input` itself. Shows the wrong-header box through `host` but no summary.
    RunResult convertStreams(FileHandle input, const std::string &outputName, RunHost &host);

    /// Builds `line1` and `line2` from `elementSet`. Throws ConversionError when a
    /// field's text does not read or does not fit its TLE field, naming the
    /// first such text in the order the fields are placed: line 1's, then line
    /// 2's, each line's in column order. `line1` and `line2` then stay as they were.
    /// The texts splitRow put into `elementSet` are read where they stand in
    /// the kept row; any text the caller put in place of one, also before the
    /// first row, is read as a bare text.
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
    // The texts of the fields read as numbers: bare texts, or padded ones.
    template <class Text> struct NumberFields {
        Text meanmotion;
        Text eccentricity;
        Text inclination;
        Text raan;
        Text argperigee;
        Text meananomaly;
        Text elsetnumber;
        Text revnumber;
        Text bstar;
        Text ndot;
        Text ddot;
    };

    RowColumns m_columns; // the row elementSet's texts point into
    NumberFields<PaddedText> m_inRow; // the same texts as the row splitter made them
    std::string m_renumbered; // the renumber counter's text for the current row

    bool holdsRowTexts() const noexcept;
    CatalogueForm catalogueForm() const noexcept;
    void splitRow(PaddedText row, int lineNumber);
    void takeColumns(std::size_t found, int lineNumber);
    static bool headerAccepted(LineReader &reader);
    void convertRows(LineReader &reader, OutputFile &output, RunResult &result);
};

/// `outputstem` for a chosen path: the path up to and including the first "."
/// of its file name; a file name without "." gets one ("/data/active" gives
/// "/data/active.").
std::string outputStemFor(std::string_view path);

/// The summary text for `count` satellites written to `outputName`. When
/// `letterNumbers` of their catalogue numbers were written in the letter form,
/// a line after the file's name gives that count and the command that writes
/// digits instead; without such numbers there is no such line.
std::string summaryMessage(int count, std::string_view outputName, int letterNumbers = 0);

/// A name line cut to at most `width` characters, trailing blanks removed. A
/// UTF-8 character that the cut would split is left out whole.
std::string_view nameLine(std::string_view name, std::size_t width) noexcept;

/// Where the summary box and the wrong-header box go, given the main window's
/// top-left corner.
ScreenPoint summaryPlace(ScreenPoint window);
ScreenPoint wrongHeaderPlace(ScreenPoint window);

} // namespace varnholt
