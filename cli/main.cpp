// varnholt-convert: the load command for scripts and batch use.

#include "arguments.h"
#include "conversion.h"
#include "errors.h"
#include "file_io.h"
#include "version.h"

#include <charconv>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view program = "varnholt-convert";

constexpr std::string_view usage = R"(Usage: varnholt-convert [OPTION]... FILE...
Convert satellite element-set files, CSV or JSON, into three-line TLE files.

Each FILE is converted as the desktop program's load command does. It is read
as JSON (an array of records keyed OBJECT_NAME, OBJECT_ID, EPOCH, ...) when its
first character other than blanks is "[", otherwise as CSV: a header beginning
"OBJECT_NAME,OBJECT_ID" and 17 columns a row, or a header naming those columns
in any order among others, values quoted or not. The TLE is written beside the
input, named after it up to the first "." of its name, plus "TLE"
(active.csv -> active.TLE, gp.json -> gp.TLE). An existing output is replaced. "-" reads standard
input and writes the TLE to standard output.

Catalogue numbers above 99999 are written as a letter and four digits
(A0000 is 100000, Z9999 is 339999) unless --five-digit is given.

  -o, --output FILE  write the TLE to FILE ("-": standard output); one input
                     only. FILE must not be the input under any name
  --five-digit       write 100000-119999 as the number minus 20000
                     (80000-99999, unused by public catalogues), for trackers
                     that read only digits; a higher number fails its row
  --name-width N     cut every name line to at most N characters (1-69),
                     trailing blanks removed; 24 is the published width
  --renumber         give the satellites running catalogue numbers from 20001
                     on, continuing from file to file
  --help             show this help and exit
  --version          show the version and exit

Exit status: 0 when every file converted, 1 when any failed, 2 for bad usage.
)";

/// The message for an input whose first line is not the catalogue header.
constexpr std::string_view wrongHeaderText = "This is not a satellite CSV data file";

/// The message for an empty input name given without -o, as the desktop
/// program's load command words it.
constexpr std::string_view noFileText = "Not a valid filename";

/// The --name-width value, 1 to 69; 0 for any other text.
std::size_t nameWidthFrom(std::string_view text)
{
    std::size_t width = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), width);
    if (error != std::errc() || end != text.data() + text.size() || width > 69)
        return 0;
    return width;
}

/// Text on standard error; when even that cannot be written, there is
/// nowhere left to say so.
void writeStandardError(const std::string &text)
{
    try {
        varnholt::writeMessage(varnholt::standardError(), text);
    } catch (const varnholt::IoError &) {
    }
}

/// A message on standard error about `file`.
void reportError(std::string_view file, const std::string &message)
{
    writeStandardError(std::string(program) + ": " + std::string(file) + ": " + message + '\n');
}

void reportError(std::string_view file, const varnholt::ConversionError &error)
{
    std::string where(file);
    if (error.line() > 0)
        where += ':' + std::to_string(error.line());
    reportError(where, error.what());
}

/// A usage error on standard error; returns the exit status for it.
int usageError(const std::string &what)
{
    writeStandardError(
        std::string(program) + ": " + what + "\nTry '" + std::string(program) + " --help'.\n");
    return 2;
}

/// Text on standard output; false, with a message on standard error, when it
/// cannot be written.
bool writeStandardOutput(const std::string &text)
{
    try {
        varnholt::writeMessage(varnholt::standardOutput(), text);
        return true;
    } catch (const varnholt::IoError &error) {
        reportError("standard output", error.what());
        return false;
    }
}

/// The note after a file's line when catalogue numbers were written in the
/// letter form; empty otherwise.
std::string letterNumbersNote(int letterNumbers)
{
    if (letterNumbers == 0)
        return {};
    return "; " + std::to_string(letterNumbers) + (letterNumbers == 1 ? " number" : " numbers")
        + " above 99999 in letter form (see --five-digit)";
}

/// The run for `file` into `output`: empty for the name derived from the
/// input, "-" for standard output, else the file to create.
varnholt::RunResult convertInto(
    varnholt::Conversion &conversion, const std::string &file, const std::string &output)
{
    if (file == "-") {
        return output.empty() || output == "-"
            ? conversion.convertStreams(varnholt::standardInput(), varnholt::standardOutput())
            : conversion.convertStreams(varnholt::standardInput(), output);
    }
    if (output != "-")
        return conversion.convertFile(file, output);
    varnholt::InputFile input(file);
    varnholt::RunResult result
        = conversion.convertStreams(input.handle(), varnholt::standardOutput());
    input.close();
    return result;
}

/// Converts one file in the modes the conversion stands in, into `output` (as
/// for convertInto); true when it converted and its line was written.
bool convertOne(
    varnholt::Conversion &conversion, const std::string &file, const std::string &output)
{
    if (file.empty() && output.empty()) {
        reportError(file, std::string(noFileText));
        return false;
    }
    try {
        const varnholt::RunResult result = convertInto(conversion, file, output);
        if (result.outcome != varnholt::RunOutcome::Converted) {
            reportError(file, std::string(wrongHeaderText));
            return false;
        }
        const std::string note = letterNumbersNote(result.letterNumbers);
        // Standard output carries the TLE: the line goes to standard error.
        if (result.outputName.empty()) {
            writeStandardError(file + ": " + std::to_string(result.count)
                + " satellites written to standard output" + note + '\n');
            return true;
        }
        return writeStandardOutput(file + ": " + std::to_string(result.count)
            + " satellites written to " + result.outputName + note + "\n");
    } catch (const varnholt::ConversionError &error) {
        reportError(file, error);
    } catch (const std::exception &error) {
        reportError(file, error.what());
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    // A closed pipe or a file-size limit is reported as an I/O error, not by a signal.
    varnholt::reportFileLimitsAsErrors();
    varnholt::useBinaryStandardStreams();
    bool renumber = false;
    bool fiveDigit = false;
    std::size_t nameWidth = 0;
    std::optional<std::string> output;
    bool optionsEnded = false;
    std::vector<std::string> files;
    const std::vector<std::string> arguments = varnholt::commandLineArguments(argc, argv);
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view arg = arguments[i];
        // The value of an option: after "=" in the same argument, or the next argument.
        const auto value = [&](std::string_view name) -> std::optional<std::string> {
            if (arg.size() > name.size() && arg[name.size()] == '=')
                return std::string(arg.substr(name.size() + 1));
            if (arg.size() == name.size() && i + 1 < arguments.size())
                return arguments[++i];
            return std::nullopt;
        };
        const auto isOption = [&](std::string_view name) {
            return arg.starts_with(name) && (arg.size() == name.size() || arg[name.size()] == '=');
        };
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--renumber") {
            renumber = true;
        } else if (arg == "--five-digit") {
            fiveDigit = true;
        } else if (isOption("--name-width")) {
            const std::optional<std::string> text = value("--name-width");
            nameWidth = text ? nameWidthFrom(*text) : 0;
            if (nameWidth == 0)
                return usageError("--name-width takes a number from 1 to 69"
                    + (text ? ", not '" + *text + "'" : std::string()));
        } else if (arg == "-o" || isOption("--output")) {
            output = value(arg == "-o" ? "-o" : "--output");
            if (!output || output->empty())
                return usageError(std::string(arg.substr(0, arg.find('='))) + " takes a file name");
        } else if (arg == "--help") {
            return writeStandardOutput(std::string(usage)) ? 0 : 1;
        } else if (arg == "--version") {
            const std::string line
                = std::string(program) + ' ' + std::string(varnholt::programVersion) + '\n';
            return writeStandardOutput(line) ? 0 : 1;
        } else {
            return usageError("unknown option '" + std::string(arg) + "'");
        }
    }
    if (files.empty())
        return usageError("no input file");
    if (output && files.size() > 1)
        return usageError(
            "-o names one output, but there are " + std::to_string(files.size()) + " input files");
    if (renumber && fiveDigit)
        return usageError("--renumber and --five-digit do not go together");

    varnholt::Conversion conversion;
    // One mode for every file, and one counter running on from file to file.
    conversion.renumbermode = renumber ? 1 : 0;
    conversion.fivedigitmode = fiveDigit ? 1 : 0;
    conversion.namewidth = nameWidth;
    bool allConverted = true;
    for (const std::string &file : files)
        allConverted = convertOne(conversion, file, output.value_or(std::string())) && allConverted;
    return allConverted ? 0 : 1;
}
