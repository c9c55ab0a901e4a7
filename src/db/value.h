#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace db {

// A value as the engine stores it: its type and its exact contents, so that
// a row can be written back as it was and compared with what is there now.
struct Value {
    enum class Type { Null, Integer, Real, Text, Blob };
    Type type = Type::Null;
    long long integer = 0;
    double real = 0;
    std::string bytes; // the text or the blob

    static Value null() { return {}; }
    static Value ofInteger(long long v) { return {Type::Integer, v, 0, {}}; }
    static Value ofReal(double v) { return {Type::Real, 0, v, {}}; }
    static Value ofText(std::string v) { return {Type::Text, 0, 0, std::move(v)}; }
    static Value ofBlob(std::string v) { return {Type::Blob, 0, 0, std::move(v)}; }

    // Same type and same contents, byte for byte.
    bool operator==(const Value &other) const;
};

// The values of a row's columns, in the table's column order.
using Row = std::vector<Value>;

// The value as a literal of a statement that the engine reads back as the
// same value: NULL, an integer, a real with a point or an exponent, a text
// with its quotes doubled, a blob as X'..'. (A text holding a zero byte is
// written as a blob cast to text.)
std::string literal(const Value &value);

// The values as literals joined by commas: how a row is kept in the undo
// history, readable with the stock sqlite3 shell.
std::string rowLiterals(const Row &row);

// Reads what rowLiterals wrote; nothing when the text is not such a list.
std::optional<Row> parseRowLiterals(std::string_view text);

} // namespace db
