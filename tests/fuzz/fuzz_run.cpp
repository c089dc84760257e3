// The whole conversion run on arbitrary bytes as an input file.
//
// The first byte chooses the state the run starts in (bit 0: renumbering;
// bits 1-2: where the renumber counter stands); the rest is the file. The same
// bytes are also converted through convertStreams on in-memory descriptors,
// which must give the same output and the same error.

#include "conversion.h"
#include "errors.h"
#include "fuzz_support.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

using namespace varnholt;
using namespace varnholt::fuzz;

std::string workFolder()
{
    static const std::string folder = [] {
        const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/varnholt-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data()))
            violation("cannot make a work folder");
        static std::string removeAtExit;
        removeAtExit = pattern;
        std::atexit([] {
            unlink((removeAtExit + "/in.csv").c_str());
            unlink((removeAtExit + "/in.TLE").c_str());
            rmdir(removeAtExit.c_str());
        });
        return pattern;
    }();
    return folder;
}

void writeFile(const std::string &path, std::string_view bytes)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    require(fd >= 0, "cannot write the input");
    require(write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()),
        "cannot write the input");
    close(fd);
}

std::optional<std::string> readFile(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes = readDescriptor(fd);
    close(fd);
    return bytes;
}

int openDescriptors()
{
    DIR *dir = opendir("/proc/self/fd");
    if (!dir)
        return -1;
    int count = 0;
    while (readdir(dir))
        ++count;
    closedir(dir);
    return count;
}

struct Outcome {
    bool failed = false;
    std::string message;
    int line = 0;
    RunResult result;
};

constexpr std::array<std::int32_t, 4> counterStarts { 20000, 99990, 339990, 0 };

// What the run must have produced for `lines`, given how it ended.
void checkRun(const std::vector<std::string> &lines,
    std::string_view output,
    const Outcome &outcome,
    bool renumber,
    std::int32_t counterBefore,
    std::int32_t counterAfter)
{
    const std::vector<Entry> entries = splitEntries(output);
    std::size_t next = 0; // the next entry to match
    for (std::size_t index = 1; index < lines.size(); ++index) {
        const std::string &row = lines[index];
        const int lineNumber = static_cast<int>(index) + 1;
        if (referenceBlankRow(row))
            continue;
        if (next == entries.size()) {
            // Rows are left: the run must have stopped on this one.
            require(outcome.failed, "a row was not converted", row);
            require(outcome.line == lineNumber, "the error names the wrong line",
                outcome.message + " at " + std::to_string(outcome.line));
            const auto columns = referenceColumns(row);
            const std::int32_t advance = counterAfter - counterBefore;
            if (columns.size() < 17) {
                require(outcome.message == shortRowText(lineNumber, columns.size()),
                    "wrong short-row message", outcome.message);
                require(advance == (renumber ? static_cast<std::int32_t>(next) : 0),
                    "a short row advanced the renumber counter");
            } else {
                const auto quoted = numberMessageText(outcome.message);
                require(quoted.has_value(), "undocumented message", outcome.message);
                // A renumbered row can fail on the counter's own number.
                require(shown(row).find(*quoted) != std::string::npos
                        || (renumber && *quoted == std::to_string(counterAfter)),
                    "the message names a text that is not in the row", outcome.message);
                require(advance == (renumber ? static_cast<std::int32_t>(next) + 1 : 0),
                    "the failing row did not use up exactly one number");
            }
            return;
        }
        const Entry &entry = entries[next];
        const auto columns = referenceColumns(row);
        require(columns.size() >= 17, "a short row was converted", row);
        require(entry.name == columns[0], "the name line is not column 1", row);
        if (renumber) {
            const long number = static_cast<long>(counterBefore) + static_cast<long>(next) + 1;
            require(entry.line1.substr(2, 5) == referenceCatalogue(number),
                "wrong renumbered catalogue number", entry.line1);
        }
        ++next;
    }
    require(next == entries.size(), "more entries than rows");
    require(!outcome.failed, "an error after every row converted", outcome.message);
    require(outcome.result.outcome == RunOutcome::Converted, "not reported as converted");
    require(outcome.result.count == static_cast<int>(entries.size()), "wrong count");
    require(
        counterAfter - counterBefore == (renumber ? static_cast<std::int32_t>(entries.size()) : 0),
        "the renumber counter moved wrongly");
}

// The names of a header line read by RFC 4180 quoting, blanks and tabs
// around them taken off; a field still quoted at the line end is no name;
// nothing when a closing quote is followed by anything but a comma.
std::optional<std::vector<std::string>> headerNames(std::string_view line)
{
    std::vector<std::string> names;
    std::string field;
    bool quoted = false;
    bool closed = false;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (at + 1 < line.size() && line[at + 1] == '"')
                field += line[++at];
            else {
                quoted = false;
                closed = true;
            }
        } else if (c == ',') {
            names.push_back(field);
            field.clear();
            closed = false;
        } else if (closed) {
            return std::nullopt;
        } else if (c == '"' && (at == 0 || line[at - 1] == ',')) {
            quoted = true;
        } else {
            field += c;
        }
    }
    if (!quoted)
        names.push_back(field);
    for (std::string &name : names) {
        const std::size_t first = name.find_first_not_of(" \t");
        name = first == std::string::npos
            ? std::string()
            : name.substr(first, name.find_last_not_of(" \t") - first + 1);
    }
    return names;
}

// Whether the rows are read by position: the header begins
// "OBJECT_NAME,OBJECT_ID" (after one byte-order mark) and either has the
// 17 standard names first or does not name each needed column exactly once.
// Any other input is read by its header's names, as JSON, or refused: the
// targets fuzz_named and fuzz_json check those.
bool readByPosition(const std::vector<std::string> &lines)
{
    if (lines.empty())
        return false;
    std::string_view header = lines[0];
    if (header.starts_with("\xEF\xBB\xBF"))
        header.remove_prefix(3);
    if (!header.starts_with("OBJECT_NAME,OBJECT_ID"))
        return false;
    static const std::string standard
        = "OBJECT_NAME,OBJECT_ID,EPOCH,MEAN_MOTION,ECCENTRICITY,INCLINATION,RA_OF_ASC_NODE,"
          "ARG_OF_PERICENTER,MEAN_ANOMALY,EPHEMERIS_TYPE,CLASSIFICATION_TYPE,NORAD_CAT_ID,"
          "ELEMENT_SET_NO,REV_AT_EPOCH,BSTAR,MEAN_MOTION_DOT,MEAN_MOTION_DDOT";
    if (header.starts_with(standard)
        && (header.size() == standard.size() || header[standard.size()] == ','))
        return true;
    const std::optional<std::vector<std::string>> names = headerNames(header);
    if (!names)
        return true;
    std::string_view needed = standard;
    for (std::size_t comma; !needed.empty();
         needed.remove_prefix(comma == std::string_view::npos ? needed.size() : comma + 1)) {
        comma = needed.find(',');
        const std::string_view name = needed.substr(0, comma);
        if (name == "EPHEMERIS_TYPE")
            continue;
        if (std::count(names->begin(), names->end(), name) != 1)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool renumber = (data[0] & 1) != 0;
    const std::int32_t counterStart = counterStarts[(data[0] >> 1) & 3];
    const std::string bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::vector<std::string> lines = referenceLines(bytes);
    const bool accepted = readByPosition(lines);

    const std::string folder = workFolder();
    const std::string inputPath = folder + "/in.csv";
    const std::string outputPath = folder + "/in.TLE";
    writeFile(inputPath, bytes);
    unlink(outputPath.c_str());

    // Through the file system.
    const int descriptorsBefore = openDescriptors();
    Conversion conversion;
    conversion.renumbermode = renumber ? 1 : 0;
    conversion.renumbercounter = counterStart;
    Outcome fileRun;
    try {
        fileRun.result = conversion.convertFile(inputPath);
    } catch (const ConversionError &error) {
        fileRun = { true, error.what(), error.line(), {} };
    }
    require(openDescriptors() == descriptorsBefore, "the run left a file open");
    require(readFile(inputPath) == bytes, "the input file changed");

    const std::optional<std::string> output = readFile(outputPath);
    if (!accepted) {
        if (fileRun.result.outcome == RunOutcome::Converted || fileRun.failed) {
            // Another form: whatever was written is whole entries.
            if (output)
                splitEntries(*output);
            return 0;
        }
        require(!fileRun.failed, "an error on a wrong header", fileRun.message);
        require(fileRun.result.outcome == RunOutcome::WrongHeader, "wrong header not reported");
        require(!output.has_value(), "an output was created for a wrong header");
        require(fileRun.result.outputName.empty(), "an output named for a wrong header");
        require(conversion.renumbercounter == counterStart, "counter moved on a wrong header");
        return 0;
    }
    require(output.has_value(), "no output file after an accepted header");
    require(conversion.renumbercounter >= counterStart, "the renumber counter went back");
    checkRun(lines, *output, fileRun, renumber, counterStart, conversion.renumbercounter);
    if (!fileRun.failed) {
        require(fileRun.result.outputName == outputPath, "wrong output name");
        require(fileRun.result.letterNumbers >= 0
                && fileRun.result.letterNumbers <= fileRun.result.count,
            "more letter-form numbers than entries");
    }

    // Through descriptors: the same output and the same ending.
    const int in = memoryFileHolding(bytes);
    const int out = memoryFileHolding({});
    Conversion streams;
    streams.renumbermode = renumber ? 1 : 0;
    streams.renumbercounter = counterStart;
    Outcome streamRun;
    try {
        streamRun.result = streams.convertStreams(in, out);
    } catch (const ConversionError &error) {
        streamRun = { true, error.what(), error.line(), {} };
    }
    require(streamRun.failed == fileRun.failed && streamRun.message == fileRun.message
            && streamRun.line == fileRun.line,
        "streams and files end differently", streamRun.message + " / " + fileRun.message);
    require(readDescriptor(out) == *output, "streams and files write different bytes");
    require(streamRun.failed
            || (streamRun.result.outcome == fileRun.result.outcome
                && streamRun.result.count == fileRun.result.count
                && streamRun.result.letterNumbers == fileRun.result.letterNumbers
                && streamRun.result.outputName.empty()),
        "streams and files report different results");
    require(streams.renumbercounter == conversion.renumbercounter,
        "streams and files renumber differently");
    require(readDescriptor(in) == bytes, "the input descriptor's bytes changed");
    close(in);
    close(out);
    return 0;
}
