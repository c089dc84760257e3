#include "named_columns.h"

#include "conversion.h"
#include "errors.h"

#include <algorithm>

namespace varnholt {

namespace {

    // The standard header's text, up to and including its 17th name.
    std::string standardHeader()
    {
        std::string text;
        for (const std::string_view name : columnNames) {
            if (!text.empty())
                text += ',';
            text += name;
        }
        return text;
    }

    std::string_view trimBlanks(std::string_view text) noexcept
    {
        const std::size_t first = text.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            return {};
        return text.substr(first, text.find_last_not_of(" \t") - first + 1);
    }

} // namespace

std::optional<std::size_t> columnIndex(std::string_view name) noexcept
{
    for (std::size_t k = 0; k < columnNames.size(); ++k)
        if (columnNames[k] == name)
            return k;
    return std::nullopt;
}

bool CsvRecord::start(std::string_view line, int lineNumber)
{
    m_text.clear();
    m_fields.clear();
    m_inQuotes = false;
    m_lineNumber = lineNumber;
    return scan(line);
}

bool CsvRecord::resume(std::string_view line)
{
    m_text += '\n';
    return scan(line);
}

void CsvRecord::endField()
{
    const std::size_t start = m_fields.empty() ? 0 : m_fields.back().start + m_fields.back().size;
    m_fields.push_back({ start, m_text.size() - start });
}

bool CsvRecord::scan(std::string_view line)
{
    std::size_t i = 0;
    for (;;) {
        if (m_inQuotes) {
            const std::size_t quote = line.find('"', i);
            if (quote == std::string_view::npos) {
                m_text.append(line.substr(i));
                return false;
            }
            m_text.append(line.substr(i, quote - i));
            i = quote + 1;
            if (i < line.size() && line[i] == '"') {
                m_text += '"';
                ++i;
                continue;
            }
            m_inQuotes = false;
            if (i == line.size()) {
                endField();
                return true;
            }
            if (line[i] != ',')
                throw ConversionError("Line " + std::to_string(m_lineNumber) + ": column "
                        + std::to_string(m_fields.size() + 1) + " has text after its closing quote",
                    m_lineNumber);
            endField();
            ++i;
            continue;
        }
        if (i < line.size() && line[i] == '"') {
            m_inQuotes = true;
            ++i;
            continue;
        }
        const std::size_t comma = line.find(',', i);
        if (comma == std::string_view::npos) {
            m_text.append(line.substr(i));
            endField();
            return true;
        }
        m_text.append(line.substr(i, comma - i));
        endField();
        i = comma + 1;
    }
}

NamedColumns::Form NamedColumns::read(std::string_view header)
{
    if (header.starts_with(utf8ByteOrderMark))
        header.remove_prefix(utf8ByteOrderMark.size());
    const bool positionalHeader = header.starts_with(csvHeader);
    static const std::string standard = standardHeader();
    if (header.starts_with(standard)
        && (header.size() == standard.size() || header[standard.size()] == ','))
        return Form::positional;

    CsvRecord names;
    try {
        names.start(header, 1);
    } catch (const ConversionError &) {
        // A header no RFC 4180 reader reads names nothing.
        return positionalHeader ? Form::positional : Form::unknown;
    }
    m_fieldOf.fill(absent);
    std::optional<std::size_t> twice;
    std::size_t named = 0;
    for (std::size_t field = 0; field < names.size(); ++field) {
        const std::optional<std::size_t> column = columnIndex(trimBlanks(names[field]));
        if (!column)
            continue;
        if (m_fieldOf[*column] != absent) {
            twice = twice ? std::min(*twice, *column) : *column;
            continue;
        }
        m_fieldOf[*column] = field;
        ++named;
    }
    std::optional<std::size_t> missing;
    for (std::size_t k = 0; k < columnNames.size() && !missing; ++k)
        if (k != optionalColumn && m_fieldOf[k] == absent)
            missing = k;

    if (positionalHeader) {
        if (missing || twice)
            return Form::positional;
    } else {
        if (named < 2)
            return Form::unknown;
        if (twice)
            throw ConversionError(
                "The header has two " + std::string(columnNames[*twice]) + " columns", 1);
        if (missing)
            throw ConversionError(
                "The header has no " + std::string(columnNames[*missing]) + " column", 1);
    }
    m_fieldsNeeded = 0;
    for (std::size_t k = 0; k < columnNames.size(); ++k)
        if (k != optionalColumn)
            m_fieldsNeeded = std::max(m_fieldsNeeded, m_fieldOf[k] + 1);
    return Form::named;
}

void NamedColumns::take(const CsvRecord &record, RowColumns::Texts &texts) const
{
    const int line = record.lineNumber();
    if (record.size() < m_fieldsNeeded) {
        // The column of the first field the record does not reach.
        std::size_t first = absent;
        for (std::size_t k = 0; k < columnNames.size(); ++k)
            if (k != optionalColumn && m_fieldOf[k] >= record.size()
                && (first == absent || m_fieldOf[k] < m_fieldOf[first]))
                first = k;
        throw ConversionError("Line " + std::to_string(line) + " has only "
                + std::to_string(record.size()) + " columns; " + std::string(columnNames[first])
                + " is column " + std::to_string(m_fieldOf[first] + 1),
            line);
    }
    for (std::size_t k = 0; k < columnNames.size(); ++k) {
        const std::size_t field = m_fieldOf[k];
        texts[k] = field < record.size() ? record[field] : std::string_view();
    }
    if (const std::optional<std::size_t> broken = columnWithLineBreak(texts))
        throw ConversionError(lineBreakMessage("Line " + std::to_string(line), *broken), line);
}

std::optional<std::size_t> columnWithLineBreak(const RowColumns::Texts &texts) noexcept
{
    for (std::size_t k = 0; k < texts.size(); ++k)
        if (k != optionalColumn && texts[k].find_first_of("\r\n") != std::string_view::npos)
            return k;
    return std::nullopt;
}

std::string lineBreakMessage(std::string_view where, std::size_t column)
{
    return std::string(where) + ": " + std::string(columnNames[column]) + " holds a line break";
}

} // namespace varnholt
