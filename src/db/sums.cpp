#include "db/sums.h"

#include "db/dialect.h"
#include "db/text.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

namespace db {

namespace {

// The aggregate context holds a pointer to the state, made at the first
// value; a statement that ends early still reaches the final call, which
// frees it.
template <typename State> State *stateOf(sqlite3_context *context, bool make)
{
    auto **slot = static_cast<State **>(sqlite3_aggregate_context(context, make ? sizeof(State *) : 0));
    if (!slot)
        return nullptr;
    if (!*slot && make)
        *slot = new (std::nothrow) State;
    return *slot;
}

void sumStep(sqlite3_context *context, bool remove, sqlite3_value *value)
{
    if (sqlite3_value_type(value) == SQLITE_NULL)
        return;
    try {
        ExactSum *sum = stateOf<ExactSum>(context, true);
        if (!sum) {
            sqlite3_result_error_nomem(context);
            return;
        }
        sum->addValue(value, remove);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

void sumAdd(sqlite3_context *context, int, sqlite3_value **argv) { sumStep(context, false, argv[0]); }
void sumRemove(sqlite3_context *context, int, sqlite3_value **argv) { sumStep(context, true, argv[0]); }

void sumResult(sqlite3_context *context, const ExactSum *sum)
{
    if (!sum || sum->isNull()) {
        sqlite3_result_null(context);
        return;
    }
    if (sum->isInteger()) {
        sqlite3_result_int64(context, sum->integer());
        return;
    }
    try {
        const double value = sum->real();
        if (std::isnan(value))
            sqlite3_result_null(context);
        else
            sqlite3_result_double(context, value);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

void sumValue(sqlite3_context *context) { sumResult(context, stateOf<ExactSum>(context, false)); }

void sumFinal(sqlite3_context *context)
{
    const std::unique_ptr<ExactSum> sum(stateOf<ExactSum>(context, false));
    sumResult(context, sum.get());
}

// A value's text as a statement reads it (valueText), NULL as nullopt.
std::optional<std::string> textOf(sqlite3_value *value)
{
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        return std::nullopt;
    case SQLITE_INTEGER:
        return std::to_string(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
        return numberToText(sqlite3_value_double(value));
    default: {
        const void *bytes = sqlite3_value_blob(value);
        return bytes ? std::string(static_cast<const char *>(bytes), sqlite3_value_bytes(value)) : std::string();
    }
    }
}

std::string_view viewOf(sqlite3_value *value)
{
    const unsigned char *text = sqlite3_value_text(value);
    return text ? std::string_view(reinterpret_cast<const char *>(text), sqlite3_value_bytes(value))
                : std::string_view();
}

// Format(date,'yyyymmdd') of a value: the eight digits of a date, else its
// text (a number's as Format writes it); false for NULL.
bool dayOf(sqlite3_value *date, char (&digits)[8], std::string &scratch, std::string_view &day)
{
    switch (sqlite3_value_type(date)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        scratch = std::to_string(sqlite3_value_int64(date));
        day = scratch;
        return true;
    case SQLITE_FLOAT:
        scratch = numberToText(sqlite3_value_double(date));
        day = scratch;
        return true;
    default: {
        const std::string_view text = viewOf(date);
        day = formatDayKey(text, digits) ? std::string_view(digits, 8) : text;
        return true;
    }
    }
}

bool isDigits(std::string_view text, std::size_t count)
{
    if (text.size() < count)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

// The range of a RangeGroup call, read once a statement: its bounds are
// constants, which the engine keeps with the call from row to row.
struct Bounds {
    std::string begin;
    std::string end;
    // Both are eight digits: a date of a year strictly between theirs is
    // inside without more ado.
    bool byYear = false;

    Bounds(std::string_view b, std::string_view e)
        : begin(b), end(e), byYear(isDigits(b, 8) && isDigits(e, 8) && b.size() == 8 && e.size() == 8)
    {
    }
};

// The engine keeps a value with an argument while the argument stays the
// same: the bounds hang on begin, and a mark of them on end.
const Bounds &boundsOf(sqlite3_context *context, sqlite3_value **argv, std::unique_ptr<Bounds> &local)
{
    const auto *kept = static_cast<const Bounds *>(sqlite3_get_auxdata(context, 1));
    if (kept && sqlite3_get_auxdata(context, 2) == kept)
        return *kept;
    local = std::make_unique<Bounds>(viewOf(argv[1]), viewOf(argv[2]));
    auto *keep = new Bounds(*local);
    sqlite3_set_auxdata(context, 1, keep, [](void *bounds) { delete static_cast<Bounds *>(bounds); });
    if (sqlite3_get_auxdata(context, 1) == keep)
        sqlite3_set_auxdata(context, 2, keep, nullptr);
    return *local;
}

// Whether a date falls between begin and end as Format(date,'yyyymmdd')
// compares. A text whose first four characters are digits of a year after
// begin's and before end's lies inside whatever follows: as a date its day
// starts with that year, and as a text that is no date it is compared as it
// is. Most rows of a long range are settled so, without reading the date.
bool inRange(sqlite3_value *date, const Bounds &bounds)
{
    const std::string_view begin = bounds.begin;
    const std::string_view end = bounds.end;
    if (bounds.byYear && sqlite3_value_type(date) == SQLITE_TEXT) {
        const std::string_view text = viewOf(date);
        if (isDigits(text, 4) && text.substr(0, 4) > begin.substr(0, 4) && text.substr(0, 4) < end.substr(0, 4))
            return true;
    }
    char digits[8];
    std::string scratch;
    std::string_view day;
    return dayOf(date, digits, scratch, day) && day >= begin && day <= end;
}

void rangeGroupStep(sqlite3_context *context, int, sqlite3_value **argv)
{
    try {
        std::unique_ptr<Bounds> local;
        if (!inRange(argv[0], boundsOf(context, argv, local)))
            return;
        RangeGroup *group = stateOf<RangeGroup>(context, true);
        if (!group) {
            sqlite3_result_error_nomem(context);
            return;
        }
        if (group->rows++ == 0) {
            group->first = textOf(argv[5]);
            group->second = textOf(argv[6]);
        }
        if (sqlite3_value_type(argv[3]) != SQLITE_NULL)
            ++group->numbered;
        group->sum.addValue(argv[4]);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

void putNumber(std::string &out, std::uint64_t value) { out.append(reinterpret_cast<const char *>(&value), 8); }

void putText(std::string &out, const std::optional<std::string> &text)
{
    out += text ? '\1' : '\0';
    putNumber(out, text ? text->size() : 0);
    if (text)
        out += *text;
}

bool takeNumber(std::string_view &in, std::uint64_t &value)
{
    if (in.size() < 8)
        return false;
    std::memcpy(&value, in.data(), 8);
    in.remove_prefix(8);
    return true;
}

bool takeText(std::string_view &in, std::optional<std::string> &text)
{
    std::uint64_t size = 0;
    if (in.empty())
        return false;
    const bool present = in.front() == '\1';
    in.remove_prefix(1);
    if (!takeNumber(in, size) || size > in.size())
        return false;
    text = present ? std::optional<std::string>(std::string(in.substr(0, size))) : std::nullopt;
    in.remove_prefix(size);
    return true;
}

// Numbers as eight bytes, texts with their presence and length, then the
// sum: a blob that RangeGroup::parse reads back.
void rangeGroupFinal(sqlite3_context *context)
{
    const std::unique_ptr<RangeGroup> group(stateOf<RangeGroup>(context, false));
    try {
        std::string out;
        putNumber(out, group ? group->rows : 0);
        putNumber(out, group ? group->numbered : 0);
        putText(out, group ? group->first : std::nullopt);
        putText(out, group ? group->second : std::nullopt);
        out += group ? group->sum.serialized() : ExactSum().serialized();
        sqlite3_result_blob(context, out.data(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
    } catch (const std::bad_alloc &) {
        sqlite3_result_error_nomem(context);
    }
}

} // namespace

RangeGroup RangeGroup::parse(std::string_view value)
{
    RangeGroup group;
    std::uint64_t rows = 0;
    std::uint64_t numbered = 0;
    if (!takeNumber(value, rows) || !takeNumber(value, numbered) || !takeText(value, group.first) ||
        !takeText(value, group.second))
        return {};
    group.rows = static_cast<long long>(rows);
    group.numbered = static_cast<long long>(numbered);
    group.sum = ExactSum::parse(value);
    return group;
}

void registerSums(sqlite3 *db)
{
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    sqlite3_create_window_function(db, "sum", 1, flags, nullptr, sumAdd, sumFinal, sumValue, sumRemove, nullptr);
    sqlite3_create_function(db, "RangeGroup", 7, flags, nullptr, nullptr, rangeGroupStep, rangeGroupFinal);
}

} // namespace db
