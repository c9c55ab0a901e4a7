#include "db/value.h"

#include "db/text.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace db {

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
const char *const kInfinity = "1e999"; // the engine reads it as infinity, as it writes one

std::string hexOf(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes) {
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 0xf];
    }
    return out;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads the literals of rowLiterals one by one.
class LiteralReader {
public:
    explicit LiteralReader(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_at >= m_text.size(); }
    bool take(std::string_view word)
    {
        if (m_text.substr(m_at, word.size()) != word)
            return false;
        m_at += word.size();
        return true;
    }

    std::optional<Value> value()
    {
        if (take("NULL"))
            return Value::null();
        if (take("CAST(X'")) {
            std::optional<std::string> bytes = hexBytes();
            if (!bytes || !take(" AS TEXT)"))
                return std::nullopt;
            return Value::ofText(std::move(*bytes));
        }
        if (take("X'")) {
            std::optional<std::string> bytes = hexBytes();
            return bytes ? std::optional<Value>(Value::ofBlob(std::move(*bytes))) : std::nullopt;
        }
        if (take("'"))
            return text();
        return number();
    }

private:
    // The digits up to the closing quote, which is taken too.
    std::optional<std::string> hexBytes()
    {
        std::string bytes;
        while (m_at + 1 < m_text.size() && m_text[m_at] != '\'') {
            const int high = hexValue(m_text[m_at]);
            const int low = hexValue(m_text[m_at + 1]);
            if (high < 0 || low < 0)
                return std::nullopt;
            bytes += static_cast<char>(high * 16 + low);
            m_at += 2;
        }
        if (!take("'"))
            return std::nullopt;
        return bytes;
    }

    std::optional<Value> text()
    {
        std::string out;
        while (m_at < m_text.size()) {
            const char c = m_text[m_at++];
            if (c != '\'') {
                out += c;
                continue;
            }
            if (!take("'"))
                return Value::ofText(std::move(out));
            out += '\'';
        }
        return std::nullopt;
    }

    std::optional<Value> number()
    {
        const std::size_t start = m_at;
        bool real = false;
        while (m_at < m_text.size() && m_text[m_at] != ',') {
            const char c = m_text[m_at];
            if (c == '.' || c == 'e' || c == 'E')
                real = true;
            else if (!(c >= '0' && c <= '9') && c != '-' && c != '+')
                return std::nullopt;
            ++m_at;
        }
        const std::string_view digits = m_text.substr(start, m_at - start);
        if (digits.empty())
            return std::nullopt;
        const char *first = digits.data();
        const char *last = digits.data() + digits.size();
        if (!real) {
            long long v = 0;
            const auto [end, error] = std::from_chars(first, last, v);
            if (error != std::errc() || end != last)
                return std::nullopt;
            return Value::ofInteger(v);
        }
        if (digits == kInfinity || digits == std::string("-") + kInfinity)
            return Value::ofReal(digits.front() == '-' ? -std::numeric_limits<double>::infinity()
                                                       : std::numeric_limits<double>::infinity());
        double v = 0;
        const auto [end, error] = std::from_chars(first, last, v);
        if (error != std::errc() || end != last)
            return std::nullopt;
        return Value::ofReal(v);
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

} // namespace

bool Value::operator==(const Value &other) const
{
    if (type != other.type)
        return false;
    switch (type) {
    case Type::Null:
        return true;
    case Type::Integer:
        return integer == other.integer;
    case Type::Real:
        return real == other.real;
    default:
        return bytes == other.bytes;
    }
}

std::string literal(const Value &value)
{
    switch (value.type) {
    case Value::Type::Null:
        return "NULL";
    case Value::Type::Integer:
        return std::to_string(value.integer);
    case Value::Type::Real: {
        if (std::isnan(value.real))
            return "NULL";
        if (std::isinf(value.real))
            return value.real < 0 ? std::string("-") + kInfinity : std::string(kInfinity);
        // The shortest text that reads back as the same double; a point is
        // added where it has none, so that it reads as a real, not an integer.
        char buffer[40];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, value.real).ptr;
        std::string text(buffer, end);
        if (text.find_first_of(".e") == std::string::npos)
            text += ".0";
        return text;
    }
    case Value::Type::Text:
        if (value.bytes.find('\0') != std::string::npos)
            return "CAST(X'" + hexOf(value.bytes) + "' AS TEXT)";
        return "'" + quote(value.bytes) + "'";
    case Value::Type::Blob:
        return "X'" + hexOf(value.bytes) + "'";
    }
    return "NULL";
}

std::string rowLiterals(const Row &row)
{
    std::string out;
    for (std::size_t i = 0; i < row.size(); ++i)
        out += (i ? "," : "") + literal(row[i]);
    return out;
}

std::optional<Row> parseRowLiterals(std::string_view text)
{
    Row row;
    LiteralReader reader(text);
    while (true) {
        std::optional<Value> value = reader.value();
        if (!value)
            return std::nullopt;
        row.push_back(std::move(*value));
        if (reader.atEnd())
            return row;
        if (!reader.take(","))
            return std::nullopt;
    }
}

} // namespace db
