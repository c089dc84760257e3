// CSV rows read by their header's names, on arbitrary rows.
//
// The first byte chooses one of four headers (the needed columns shuffled
// without EPHEMERIS_TYPE, the 40 quoted columns of the wide form, the
// standard start with an extra column, the 17 columns backwards); the rest
// is the file's body. The rows are read again here by a plain RFC 4180
// reader, and each record's texts converted as a 17-column row by position:
// the run must write the same entries and stop at the same record with the
// same message and line.

#include "fuzz_forms.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace varnholt;
using namespace varnholt::fuzz;

using Names = std::vector<std::string_view>;

const std::array<std::string_view, 17> standard { "OBJECT_NAME", "OBJECT_ID", "EPOCH",
    "MEAN_MOTION", "ECCENTRICITY", "INCLINATION", "RA_OF_ASC_NODE", "ARG_OF_PERICENTER",
    "MEAN_ANOMALY", "EPHEMERIS_TYPE", "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO",
    "REV_AT_EPOCH", "BSTAR", "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT" };

const Names shuffled { "MEAN_ANOMALY", "ELEMENT_SET_NO", "REV_AT_EPOCH", "MEAN_MOTION_DOT",
    "ARG_OF_PERICENTER", "RA_OF_ASC_NODE", "MEAN_MOTION", "OBJECT_NAME", "EPOCH",
    "CLASSIFICATION_TYPE", "INCLINATION", "OBJECT_ID", "BSTAR", "NORAD_CAT_ID", "MEAN_MOTION_DDOT",
    "ECCENTRICITY" };

const Names wide { "CCSDS_OMM_VERS", "COMMENT", "CREATION_DATE", "ORIGINATOR", "OBJECT_NAME",
    "OBJECT_ID", "CENTER_NAME", "REF_FRAME", "TIME_SYSTEM", "MEAN_ELEMENT_THEORY", "EPOCH",
    "MEAN_MOTION", "ECCENTRICITY", "INCLINATION", "RA_OF_ASC_NODE", "ARG_OF_PERICENTER",
    "MEAN_ANOMALY", "EPHEMERIS_TYPE", "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO",
    "REV_AT_EPOCH", "BSTAR", "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT", "SEMIMAJOR_AXIS", "PERIOD",
    "APOAPSIS", "PERIAPSIS", "OBJECT_TYPE", "RCS_SIZE", "COUNTRY_CODE", "LAUNCH_DATE", "SITE",
    "DECAY_DATE", "FILE", "GP_ID", "TLE_LINE0", "TLE_LINE1", "TLE_LINE2" };

Names prefixed()
{
    Names names(standard.begin(), standard.end());
    names.insert(names.begin() + 2, "LAUNCH_DATE");
    return names;
}

Names backwards() { return Names(standard.rbegin(), standard.rend()); }

std::string headerLine(const Names &names, bool quoted)
{
    std::string line;
    for (const std::string_view name : names) {
        if (!line.empty())
            line += ',';
        line += quoted ? "\"" + std::string(name) + "\"" : std::string(name);
    }
    return line;
}

// One record as a plain RFC 4180 reader reads it.
struct Record {
    int line = 0;
    std::vector<std::string> fields;
    std::string error; // the message the run must stop with, if any
};

// The records of `lines` after the header.
std::vector<Record> referenceRecords(const std::vector<std::string> &lines)
{
    std::vector<Record> records;
    for (std::size_t index = 1; index < lines.size(); ++index) {
        if (referenceBlankRow(lines[index]))
            continue;
        Record record;
        record.line = static_cast<int>(index) + 1;
        std::string field;
        bool quoted = false; // inside a quoted field
        bool closed = false; // a quoted field's closing quote was just read
        std::size_t at = 0;
        for (;;) {
            const std::string &line = lines[index];
            if (at == line.size()) {
                if (!quoted)
                    break;
                if (index + 1 == lines.size()) {
                    record.error = "Line " + std::to_string(record.line)
                        + " has a quoted value that the file ends in";
                    records.push_back(record);
                    return records;
                }
                ++index;
                at = 0;
                field += '\n';
                continue;
            }
            const char c = line[at++];
            if (quoted) {
                if (c != '"') {
                    field += c;
                } else if (at < line.size() && line[at] == '"') {
                    field += '"';
                    ++at;
                } else {
                    quoted = false;
                    closed = true;
                }
            } else if (c == ',') {
                record.fields.push_back(field);
                field.clear();
                closed = false;
            } else if (closed) {
                record.error = "Line " + std::to_string(record.line) + ": column "
                    + std::to_string(record.fields.size() + 1)
                    + " has text after its closing quote";
                records.push_back(record);
                return records;
            } else if (c == '"' && field.empty() && (at == 1 || line[at - 2] == ',')) {
                quoted = true;
            } else {
                field += c;
            }
        }
        record.fields.push_back(field);
        records.push_back(record);
    }
    return records;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::array<std::pair<Names, bool>, 4> headers { std::pair { shuffled, false },
        std::pair { wide, true }, std::pair { prefixed(), false },
        std::pair { backwards(), true } };
    const auto &[names, quoted] = headers[data[0] & 3];
    const std::string bytes = headerLine(names, quoted) + "\r\n"
        + std::string(reinterpret_cast<const char *>(data) + 1, size - 1);

    const FormRun run = runOn(bytes);
    const std::vector<std::string> entries = entryTexts(run.output);
    require(run.failed || run.result.outcome == RunOutcome::Converted, "the header was refused");

    // Where each of the 17 columns is in the header.
    std::array<std::size_t, 17> fieldOf {};
    std::size_t needed = 0;
    for (std::size_t k = 0; k < standard.size(); ++k) {
        const auto at = std::find(names.begin(), names.end(), standard[k]);
        fieldOf[k] = static_cast<std::size_t>(at - names.begin());
        if (k != 9)
            needed = std::max(needed, fieldOf[k] + 1);
    }

    Conversion positional;
    std::size_t next = 0; // the next entry to match
    for (const Record &record : referenceRecords(referenceLines(bytes))) {
        const auto stopsHere = [&](std::string_view why) {
            require(run.failed, "a record that stops the run was passed", why);
            require(next == entries.size(), "entries after the record that stopped the run", why);
            require(run.line == record.line, "the error names the wrong line",
                run.message + " at " + std::to_string(run.line) + ", expected "
                    + std::to_string(record.line));
        };
        if (!record.error.empty()) {
            stopsHere(record.error);
            require(
                run.message == record.error, "wrong message", run.message + " / " + record.error);
            return 0;
        }
        if (record.fields.size() < needed) {
            stopsHere("short row");
            require(run.message.starts_with("Line " + std::to_string(record.line) + " has only "
                        + std::to_string(record.fields.size()) + " columns; "),
                "wrong short-row message", run.message);
            return 0;
        }
        std::vector<std::string> texts(17);
        for (std::size_t k = 0; k < 17; ++k)
            texts[k] = k == 9 ? "0" : record.fields[fieldOf[k]];
        bool lineBreak = false;
        for (const std::string &text : texts)
            lineBreak = lineBreak || text.find('\n') != std::string::npos;
        if (lineBreak) {
            stopsHere("line break");
            require(run.message.ends_with(" holds a line break"), "wrong line-break message",
                run.message);
            return 0;
        }
        const std::optional<RowEnding> expected = positionalEnding(positional, texts);
        if (!expected) {
            // A text with a comma: no row by position holds it.
            if (next == entries.size()) {
                stopsHere("a text with a comma");
                return 0;
            }
            require(entries[next].starts_with(texts[0] + "\r\n"), "the name is not OBJECT_NAME",
                entries[next]);
        } else if (expected->failed) {
            stopsHere(expected->text);
            require(run.message == expected->text, "a message other than by position",
                run.message + " / " + expected->text);
            return 0;
        } else {
            require(next < entries.size() && entries[next] == expected->text,
                "an entry other than by position", expected->text);
        }
        ++next;
    }
    require(!run.failed, "an error after every record converted", run.message);
    require(next == entries.size(), "more entries than records");
    require(run.result.count == static_cast<int>(entries.size()), "wrong count");
    return 0;
}
