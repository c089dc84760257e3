#include "json_records.h"

#include "conversion.h"
#include "errors.h"
#include "line_reader.h"
#include "named_columns.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace varnholt {

namespace {

    using Json = nlohmann::json;

    // The input as the JSON parser takes it, a byte at a time from the line
    // reader's buffers, counting lines and columns (a column per UTF-8
    // character) for the error messages.
    class CountedInput {
    public:
        explicit CountedInput(LineReader &source)
            : m_source(source)
        {
        }

        bool atEnd()
        {
            if (m_pos == m_bytes.size()) {
                m_bytes = m_source.nextBytes();
                m_pos = 0;
                if (m_first) {
                    m_first = false;
                    if (m_bytes.starts_with(utf8ByteOrderMark))
                        m_pos = utf8ByteOrderMark.size();
                    if (m_pos == m_bytes.size())
                        return atEnd();
                }
            }
            return m_pos == m_bytes.size();
        }

        const char &current() const noexcept { return m_bytes[m_pos]; }

        void advance() noexcept
        {
            const auto byte = static_cast<unsigned char>(m_bytes[m_pos++]);
            if (byte == '\n') {
                ++m_line;
                m_column = 0;
            } else if ((byte & 0xC0U) != 0x80U) {
                ++m_column;
            }
        }

        /// The line and column of the last byte read.
        int line() const noexcept { return m_line; }
        int column() const noexcept { return m_column; }

    private:
        LineReader &m_source;
        std::string_view m_bytes;
        std::size_t m_pos = 0;
        bool m_first = true;
        int m_line = 1;
        int m_column = 0;
    };

    // An input iterator over CountedInput, the form nlohmann's parser reads.
    // Every copy reads the same input; the one without input is the end.
    class InputIterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = char;
        using difference_type = std::ptrdiff_t;
        using pointer = const char *;
        using reference = const char &;

        InputIterator() = default;
        explicit InputIterator(CountedInput &input)
            : m_input(&input)
        {
        }

        reference operator*() const noexcept { return m_input->current(); }
        InputIterator &operator++() noexcept
        {
            m_input->advance();
            return *this;
        }
        InputIterator operator++(int) noexcept
        {
            InputIterator before = *this;
            m_input->advance();
            return before;
        }
        friend bool operator==(const InputIterator &a, const InputIterator &b)
        {
            return (a.m_input == nullptr || a.m_input->atEnd())
                == (b.m_input == nullptr || b.m_input->atEnd());
        }

    private:
        CountedInput *m_input = nullptr;
    };

    // nlohmann's SAX events, turned into records. Depth 1 is inside the
    // array, 2 inside a record, more inside a value of a key passed over.
    class RecordReader {
    public:
        RecordReader(const CountedInput &input, const TakeRecord &take)
            : m_input(input)
            , m_take(take)
        {
        }

        int records() const noexcept { return m_record; }

        bool null() { return value({}, nullptr); }
        bool boolean(bool on) { return value({}, on ? "true" : "false"); }
        bool number_integer(Json::number_integer_t number)
        {
            // Only a number with a minus sign comes here, and JSON writes
            // a whole number without leading zeros: the text is the value
            // printed, but for "-0", which reads as 0.
            if (number == 0)
                return value("-0", nullptr);
            return value(printed(number), nullptr);
        }
        bool number_unsigned(Json::number_unsigned_t number)
        {
            return value(printed(number), nullptr);
        }
        bool number_float(Json::number_float_t, const std::string &text)
        {
            // The parser writes the point as the C locale's decimal point,
            // which a window's locale may have made a comma: a JSON number's
            // only other characters are digits, signs and the exponent's E.
            m_number = text;
            for (char &c : m_number)
                if ((c < '0' || c > '9') && c != '-' && c != '+' && c != 'e' && c != 'E')
                    c = '.';
            return value(m_number, nullptr);
        }
        bool string(std::string &text) { return value(text, nullptr); }
        bool binary(Json::binary_t &) { return value({}, "binary data"); }

        bool start_object(std::size_t)
        {
            checkDepth();
            if (m_depth == 1) {
                ++m_record;
                m_recordLine = m_input.line();
                m_seen.fill(false);
                m_column = -1;
            } else {
                nested("an object");
            }
            ++m_depth;
            return true;
        }

        bool key(std::string &name)
        {
            if (m_depth == 2) {
                const std::optional<std::size_t> column = columnIndex(name);
                m_column = column ? static_cast<int>(*column) : -1;
            }
            return true;
        }

        bool end_object()
        {
            if (--m_depth == 1)
                finishRecord();
            return true;
        }

        bool start_array(std::size_t)
        {
            checkDepth();
            if (m_depth != 0)
                nested("an array");
            ++m_depth;
            return true;
        }

        bool end_array()
        {
            --m_depth;
            return true;
        }

        bool parse_error(std::size_t, const std::string &, const Json::exception &error)
        {
            throw ConversionError("The JSON is malformed at line " + std::to_string(m_input.line())
                    + ", column " + std::to_string(m_input.column()) + ": " + reason(error.what()),
                m_input.line());
        }

    private:
        template <class Number> std::string_view printed(Number number)
        {
            const auto end
                = std::to_chars(m_digits.data(), m_digits.data() + m_digits.size(), number);
            return std::string_view(
                m_digits.data(), static_cast<std::size_t>(end.ptr - m_digits.data()));
        }

        // A scalar: a column's text when it is one of a record's needed
        // keys; `wrongKind`, when set, names a kind no column may be.
        bool value(std::string_view text, const char *wrongKind)
        {
            if (m_depth == 1) {
                ++m_record;
                m_recordLine = m_input.line();
                notAnObject();
            }
            if (m_depth != 2 || m_column < 0)
                return true;
            const auto column = static_cast<std::size_t>(m_column);
            if (wrongKind)
                throw ConversionError(recordText() + ": " + std::string(columnNames[column])
                        + " is " + wrongKind + ", not a text or a number",
                    m_recordLine);
            if (m_seen[column])
                throw ConversionError(
                    recordText() + " has " + std::string(columnNames[column]) + " twice",
                    m_recordLine);
            m_seen[column] = true;
            m_values[column].assign(text);
            return true;
        }

        // An object or array starting at the current depth.
        void nested(const char *kind)
        {
            if (m_depth == 1) {
                ++m_record;
                m_recordLine = m_input.line();
                notAnObject();
            }
            if (m_depth == 2 && m_column >= 0)
                value({}, kind);
        }

        // The parser keeps a little for every open object and array: a file
        // of nothing but "[" would make it hold as much as the file is long.
        void checkDepth() const
        {
            constexpr int maxDepth = 100;
            if (m_depth >= maxDepth)
                throw ConversionError("The JSON is malformed at line "
                        + std::to_string(m_input.line()) + ", column "
                        + std::to_string(m_input.column()) + ": values nested more than "
                        + std::to_string(maxDepth) + " deep",
                    m_input.line());
        }

        [[noreturn]] void notAnObject() const
        {
            throw ConversionError(recordText() + " is not an object", m_recordLine);
        }

        std::string recordText() const { return "Record " + std::to_string(m_record); }

        void finishRecord()
        {
            for (std::size_t k = 0; k < columnNames.size(); ++k) {
                if (k == optionalColumn || m_seen[k])
                    continue;
                throw ConversionError(
                    recordText() + " has no " + std::string(columnNames[k]), m_recordLine);
            }
            for (std::size_t k = 0; k < columnNames.size(); ++k)
                m_texts[k] = m_seen[k] ? std::string_view(m_values[k]) : std::string_view();
            if (const std::optional<std::size_t> broken = columnWithLineBreak(m_texts))
                throw ConversionError(lineBreakMessage(recordText(), *broken), m_recordLine);
            m_take(m_texts, m_recordLine);
        }

        // nlohmann's message without its tag and place (told here by our own
        // count) and without the text last read, which may be long.
        static std::string reason(std::string_view what)
        {
            if (const std::size_t colon = what.find(": "); colon != std::string_view::npos)
                what.remove_prefix(colon + 2);
            std::string text(what);
            constexpr std::string_view lastRead = "; last read: '";
            if (const std::size_t cut = text.find(lastRead); cut != std::string::npos) {
                constexpr std::string_view expected = "'; expected ";
                const std::size_t rest = text.rfind(expected);
                text = text.substr(0, cut)
                    + (rest != std::string::npos && rest >= cut + lastRead.size()
                            ? text.substr(rest + 1)
                            : std::string());
            }
            return text;
        }

        const CountedInput &m_input;
        const TakeRecord &m_take;
        int m_depth = 0;
        int m_record = 0; // records begun, counted from 1
        int m_recordLine = 0;
        int m_column = -1; // the column of the current key of a record, or -1
        std::array<bool, RowColumns::count> m_seen {};
        std::array<std::string, RowColumns::count> m_values;
        RowColumns::Texts m_texts;
        std::string m_number;
        std::array<char, 24> m_digits {};
    };

} // namespace

int readJsonRecords(LineReader &source, const TakeRecord &take)
{
    CountedInput input(source);
    RecordReader reader(input, take);
    Json::sax_parse(InputIterator(input), InputIterator(), &reader);
    return reader.records();
}

} // namespace varnholt
