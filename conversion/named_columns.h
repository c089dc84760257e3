#pragma once

#include "row_columns.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varnholt {

/// The names of a satellite row's 17 columns, in the order of the standard
/// header. Files that name their columns may give them in any order, beside
/// others; every one is needed except EPHEMERIS_TYPE, which the TLE does not
/// take from the file.
inline constexpr std::array<std::string_view, RowColumns::count> columnNames { "OBJECT_NAME",
    "OBJECT_ID", "EPOCH", "MEAN_MOTION", "ECCENTRICITY", "INCLINATION", "RA_OF_ASC_NODE",
    "ARG_OF_PERICENTER", "MEAN_ANOMALY", "EPHEMERIS_TYPE", "CLASSIFICATION_TYPE", "NORAD_CAT_ID",
    "ELEMENT_SET_NO", "REV_AT_EPOCH", "BSTAR", "MEAN_MOTION_DOT", "MEAN_MOTION_DDOT" };

/// The index in columnNames of the one column a file may leave out.
inline constexpr std::size_t optionalColumn = 9;

/// The index in columnNames of `name`, matched exactly; nothing for any other name.
std::optional<std::size_t> columnIndex(std::string_view name) noexcept;

/// One record of a CSV file split by RFC 4180: fields end at commas; a field
/// that begins with a double quote runs to the next lone double quote, may
/// hold commas and line breaks, and gives a doubled double quote as one.
/// Fed line by line (as the line reader gives them: without their line ends
/// and carriage returns); a quoted field still open at a line end goes on on
/// the next line, which adds a line feed to it.
class CsvRecord {
public:
    /// Starts a new record with `line`. Returns false while a quoted field
    /// is still open at its end. Throws ConversionError when a closing
    /// double quote is followed by anything but a comma or the line end,
    /// naming `lineNumber`, the line the record begins on.
    bool start(std::string_view line, int lineNumber);

    /// Adds the next line to a record whose quoted field is open; the same
    /// result and errors as start.
    bool resume(std::string_view line);

    /// The number of fields of the record.
    std::size_t size() const noexcept { return m_fields.size(); }

    /// Field `k` (from 0), its double quotes taken off; valid until the next start.
    std::string_view operator[](std::size_t k) const noexcept
    {
        return std::string_view(m_text).substr(m_fields[k].start, m_fields[k].size);
    }

    /// The line the record begins on.
    int lineNumber() const noexcept { return m_lineNumber; }

private:
    struct Field {
        std::size_t start = 0;
        std::size_t size = 0;
    };

    bool scan(std::string_view line);
    void endField();

    std::string m_text; // the fields' texts, unquoted, one after the other
    std::vector<Field> m_fields;
    bool m_inQuotes = false;
    int m_lineNumber = 0;
};

/// Where each of a satellite row's columns stands in a header that names them.
class NamedColumns {
public:
    /// What a header says about the file.
    enum class Form {
        /// The standard header, or one beginning "OBJECT_NAME,OBJECT_ID" that does not
        /// name every needed column: rows are read by position, as always.
        positional,
        /// Every needed column named: rows are read by the names.
        named,
        /// No satellite header.
        unknown,
    };

    /// Reads the header line `header` (a UTF-8 byte-order mark in front
    /// passed over). Names are matched exactly, case counting, once blanks
    /// and tabs around them are taken off. A header that names some needed
    /// columns but not all (two or more: one alone is taken as chance)
    /// throws ConversionError "The header has no MEAN_MOTION column",
    /// naming the first missing one in columnNames' order, for line 1; one
    /// that names a needed column twice throws "The header has two
    /// MEAN_MOTION columns".
    Form read(std::string_view header);

    /// Takes the texts of a record read with the header that read() found
    /// `named` into `texts` (EPHEMERIS_TYPE empty when the header has none).
    /// Throws ConversionError naming the line and the first column the
    /// record is too short for, or a needed column holding a line break.
    void take(const CsvRecord &record, RowColumns::Texts &texts) const;

private:
    static constexpr std::size_t absent = static_cast<std::size_t>(-1);

    std::array<std::size_t, RowColumns::count> m_fieldOf {}; // header field of each column
    std::size_t m_fieldsNeeded = 0; // one more than the last needed field
};

/// The first of the needed `texts` that holds a line feed or carriage
/// return, which no line of the TLE may hold; nothing when none does.
std::optional<std::size_t> columnWithLineBreak(const RowColumns::Texts &texts) noexcept;

/// The message for column `column` holding a line break: "<where>: OBJECT_NAME
/// holds a line break".
std::string lineBreakMessage(std::string_view where, std::size_t column);

} // namespace varnholt
