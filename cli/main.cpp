// varnholt-convert: the load command for scripts and batch use.

#include "arguments.h"
#include "conversion.h"
#include "errors.h"
#include "file_io.h"
#include "version.h"

#include <exception>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view program = "varnholt-convert";

constexpr std::string_view usage = R"(Usage: varnholt-convert [--renumber] FILE...
Convert satellite CSV element-set files into three-line TLE files.

Each FILE is converted as the desktop program's load command does: the header
must begin "OBJECT_NAME,OBJECT_ID", and the TLE is written beside the input,
named after it up to the first "." of its name, plus "TLE"
(active.csv -> active.TLE). An existing output is replaced. "-" reads standard
input and writes the TLE to standard output.

  --renumber   give the satellites running catalogue numbers from 20001 on,
               continuing from file to file
  --help       show this help and exit
  --version    show the version and exit

Exit status: 0 when every file converted, 1 when any failed, 2 for bad usage.
)";

/// Answers the run's questions for one named file and keeps its messages.
class CommandLineHost final : public varnholt::RunHost {
public:
    explicit CommandLineHost(std::string file)
        : m_file(std::move(file))
    {
    }

    std::optional<std::string> chooseFile(const std::string &, const std::string &) override
    {
        return m_file;
    }
    varnholt::ScreenPoint windowTopLeft() const override { return {}; }
    void notice(const std::string &text) override { m_message = text; }
    void placedNotice(const std::string &, varnholt::ScreenPoint) override { }
    void placedError(const std::string &text, varnholt::ScreenPoint) override { m_message = text; }

    /// The first line of the last message shown: the boxes' further lines
    /// speak of their OK button.
    std::string message() const { return m_message.substr(0, m_message.find('\n')); }

private:
    std::string m_file;
    std::string m_message;
};

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

/// Converts one file in the renumber mode the conversion stands in; true when
/// it converted and its line was written.
bool convertOne(varnholt::Conversion &conversion, const std::string &file)
{
    CommandLineHost host(file);
    try {
        const varnholt::RunResult result = file == "-"
            ? conversion.convertStreams(varnholt::standardInput(), varnholt::standardOutput(), host)
            : conversion.LoadCSVfile1Click(host);
        if (result.outcome != varnholt::RunOutcome::Converted) {
            reportError(file, host.message());
            return false;
        }
        if (file == "-") {
            writeStandardError(
                "-: " + std::to_string(result.count) + " satellites written to standard output\n");
            return true;
        }
        return writeStandardOutput(file + ": " + std::to_string(result.count)
            + " satellites written to " + result.outputName + "\n");
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
    bool optionsEnded = false;
    std::vector<std::string> files;
    for (const std::string &argument : varnholt::commandLineArguments(argc, argv)) {
        const std::string_view arg = argument;
        if (optionsEnded || arg == "-" || !arg.starts_with("-")) {
            files.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--renumber") {
            renumber = true;
        } else if (arg == "--help") {
            return writeStandardOutput(std::string(usage)) ? 0 : 1;
        } else if (arg == "--version") {
            const std::string line
                = std::string(program) + ' ' + std::string(varnholt::programVersion) + '\n';
            return writeStandardOutput(line) ? 0 : 1;
        } else {
            return usageError("unknown option '" + argument + "'");
        }
    }
    if (files.empty()) {
        return usageError("no input file");
    }

    varnholt::Conversion conversion;
    // One mode for every file, and one counter running on from file to file.
    conversion.renumbermode = renumber ? 1 : 0;
    bool allConverted = true;
    for (const std::string &file : files)
        allConverted = convertOne(conversion, file) && allConverted;
    return allConverted ? 0 : 1;
}
