// The JSON reader on arbitrary bytes that begin as a JSON array.
//
// Input that does not begin with "[" after a byte-order mark and blanks is
// another form, left to the other targets. The same bytes are parsed whole
// by nlohmann's DOM parser for comparison: malformed JSON must stop the run
// (a record before the flaw may stop it first), well-formed JSON must not be
// called malformed, and each entry written must come from the record at its
// place: its name the record's OBJECT_NAME, and, for records of texts only,
// the entry (or message) that the same texts give as a row read by position.

#include "fuzz_forms.h"

#include <algorithm>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace varnholt;
using namespace varnholt::fuzz;
using Json = nlohmann::json;

constexpr std::array<std::string_view, 17> columns { "OBJECT_NAME", "OBJECT_ID", "EPOCH",
    "MEAN_MOTION", "ECCENTRICITY", "INCLINATION", "RA_OF_ASC_NODE", "ARG_OF_PERICENTER",
    "MEAN_ANOMALY", "EPHEMERIS_TYPE", "CLASSIFICATION_TYPE", "NORAD_CAT_ID", "ELEMENT_SET_NO",
    "REV_AT_EPOCH", "BSTAR", "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT" };

// The bytes from the first that is not a byte-order mark or blank.
std::string_view afterBlanks(std::string_view bytes)
{
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first == std::string_view::npos ? std::string_view() : bytes.substr(first);
}

// The 17 texts of a record whose needed values are all strings or null (and
// which has every needed key), as a row by position holds them.
std::optional<std::vector<std::string>> textsOf(const Json &record)
{
    std::vector<std::string> texts(17);
    for (std::size_t k = 0; k < 17; ++k) {
        if (k == 9) {
            texts[k] = "0";
            continue;
        }
        const auto found = record.find(std::string(columns[k]));
        if (found == record.end())
            return std::nullopt;
        if (found->is_string())
            texts[k] = found->get<std::string>();
        else if (!found->is_null())
            return std::nullopt;
        if (texts[k].find_first_of("\r\n") != std::string::npos)
            return std::nullopt;
    }
    return texts;
}

bool isDocumented(std::string_view message)
{
    return message.starts_with("The JSON is malformed at line ") || message.starts_with("Record ")
        || numberMessageText(message).has_value() || message.starts_with("Catalogue number '");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char *>(data), size);
    const std::string_view json = afterBlanks(bytes);
    if (!json.starts_with('['))
        return 0;

    const FormRun run = runOn(bytes);
    const std::vector<std::string> entries = entryTexts(run.output);
    require(run.failed || run.result.outcome == RunOutcome::Converted, "a JSON array was refused");
    require(run.failed || run.result.count == static_cast<int>(entries.size()), "wrong count");
    if (run.failed) {
        require(isDocumented(run.message), "undocumented message", run.message);
        require(run.line >= 1, "the error names no line", run.message);
        const auto lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n'));
        require(run.line <= lines + 1, "the error names a line past the end", run.message);
        if (run.message.starts_with("The JSON is malformed at line "))
            require(run.message.starts_with(
                        "The JSON is malformed at line " + std::to_string(run.line) + ","),
                "the message and line() differ", run.message);
        if (run.message.starts_with("Record "))
            require(run.message.starts_with("Record " + std::to_string(entries.size() + 1) + " ")
                    || run.message.starts_with(
                        "Record " + std::to_string(entries.size() + 1) + ":"),
                "a record error names another record than the one after the entries", run.message);
    }

    // nlohmann's DOM parser reads the same grammar; the byte-order mark
    // is no part of it.
    const Json whole = Json::parse(json.begin(), json.end(), nullptr, false);
    if (whole.is_discarded()) {
        require(run.failed, "malformed JSON converted");
        return 0;
    }
    require(!run.message.starts_with("The JSON is malformed"), "well-formed JSON called malformed",
        run.message);
    require(whole.is_array(), "a JSON text beginning with [ is not an array");
    require(entries.size() <= whole.size(), "more entries than records");
    if (!run.failed)
        require(entries.size() == whole.size(), "records passed over");

    Conversion positional;
    for (std::size_t k = 0; k < whole.size() && k <= entries.size(); ++k) {
        const Json &record = whole[k];
        if (!record.is_object())
            break;
        const std::optional<std::vector<std::string>> texts = textsOf(record);
        if (k == entries.size()) {
            // The record the run stopped on: a field's message is the one
            // the same texts give by position.
            const bool fieldMessage = run.failed && !run.message.starts_with("Record ");
            if (fieldMessage && texts) {
                const std::optional<RowEnding> expected = positionalEnding(positional, *texts);
                if (expected)
                    require(expected->failed && run.message == expected->text,
                        "a field message other than by position", run.message);
            }
            break;
        }
        const auto name = record.find("OBJECT_NAME");
        require(name != record.end(), "an entry from a record without OBJECT_NAME");
        if (name->is_string())
            require(entries[k].starts_with(name->get<std::string>() + "\r\n"),
                "the name is not OBJECT_NAME", entries[k]);
        if (texts) {
            const std::optional<RowEnding> expected = positionalEnding(positional, *texts);
            if (expected)
                require(!expected->failed && entries[k] == expected->text,
                    "an entry other than by position", entries[k]);
        }
    }
    return 0;
}
