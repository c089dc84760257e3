#pragma once

// Shared by the fuzz targets of the named-column CSV and JSON readers: a run
// on bytes through memory files, and an independent conversion of one row's
// texts by position for comparison.

#include "conversion.h"
#include "errors.h"
#include "fuzz_support.h"

#include <array>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace varnholt::fuzz {

/// How a run on some bytes ended, and what it wrote.
struct FormRun {
    bool failed = false;
    std::string message;
    int line = 0;
    RunResult result;
    std::string output;
};

/// Converts `bytes` through convertStreams on memory files. Anything thrown
/// but a ConversionError goes on, and ends the fuzz run as a finding.
inline FormRun runOn(std::string_view bytes)
{
    const int in = memoryFileHolding(bytes);
    const int out = memoryFileHolding({});
    FormRun run;
    Conversion conversion;
    try {
        run.result = conversion.convertStreams(in, out);
    } catch (const ConversionError &error) {
        run.failed = true;
        run.message = error.what();
        run.line = error.line();
    }
    run.output = readDescriptor(out);
    close(in);
    close(out);
    return run;
}

/// The entry, or the error message, that the 17 `texts` give as a row read
/// by position; nothing when a text holds a comma, which such a row cannot.
struct RowEnding {
    bool failed = false;
    std::string text; ///< the entry's three lines with their CR LF ends, or the message
};

inline std::optional<RowEnding> positionalEnding(
    Conversion &conversion, const std::vector<std::string> &texts)
{
    std::string row;
    for (std::size_t k = 0; k < texts.size(); ++k) {
        if (texts[k].find(',') != std::string::npos)
            return std::nullopt;
        row += (k == 0 ? "" : ",") + texts[k];
    }
    try {
        conversion.splitRow(row, 2);
        conversion.ConvertTLE();
    } catch (const ConversionError &error) {
        return RowEnding { true, error.what() };
    }
    return RowEnding { false,
        std::string(conversion.elementSet.satname) + "\r\n" + conversion.line1 + "\r\n"
            + conversion.line2 + "\r\n" };
}

/// The entries of `output` as whole texts, each checked.
inline std::vector<std::string> entryTexts(std::string_view output)
{
    std::vector<std::string> texts;
    for (const Entry &entry : splitEntries(output))
        texts.push_back(std::string(entry.name) + "\r\n" + std::string(entry.line1) + "\r\n"
            + std::string(entry.line2) + "\r\n");
    return texts;
}

} // namespace varnholt::fuzz
