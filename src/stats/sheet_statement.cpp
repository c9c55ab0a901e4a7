#include "stats/sheet_statement.h"

#include "stats/sheet_error.h"

#include <optional>
#include <string_view>

namespace stats {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Table and column names: anything up to a blank or punctuation, so that
// the Chinese column names need no quoting.
bool isNameCharacter(char c)
{
    return !isBlank(c) && c != '(' && c != ')' && c != ',' && c != '\'' && c != '"' && c != ';' && c != '[' &&
           c != ']' && c != '`';
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

class Cursor {
public:
    explicit Cursor(std::string_view text) : m_text(text) {}

    bool keyword(std::string_view word)
    {
        skipBlanks();
        if (m_text.size() - m_at < word.size())
            return false;
        for (std::size_t i = 0; i < word.size(); ++i)
            if (upper(m_text[m_at + i]) != word[i])
                return false;
        const std::size_t after = m_at + word.size();
        if (after < m_text.size() && isNameCharacter(m_text[after]))
            return false;
        m_at = after;
        return true;
    }

    bool symbol(char c)
    {
        skipBlanks();
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    std::optional<std::string> name()
    {
        skipBlanks();
        const std::size_t from = m_at;
        while (m_at < m_text.size() && isNameCharacter(m_text[m_at]))
            ++m_at;
        if (m_at == from)
            return std::nullopt;
        return std::string(m_text.substr(from, m_at - from));
    }

    std::optional<std::string> quoted()
    {
        skipBlanks();
        if (m_at >= m_text.size() || m_text[m_at] != '\'')
            return std::nullopt;
        std::string value;
        for (std::size_t i = m_at + 1; i < m_text.size(); ++i) {
            if (m_text[i] != '\'') {
                value += m_text[i];
                continue;
            }
            if (i + 1 < m_text.size() && m_text[i + 1] == '\'') {
                value += '\'';
                ++i;
                continue;
            }
            m_at = i + 1;
            return value;
        }
        return std::nullopt; // no closing quote
    }

    bool atEnd()
    {
        skipBlanks();
        return m_at == m_text.size();
    }

private:
    void skipBlanks()
    {
        while (m_at < m_text.size() && isBlank(m_text[m_at]))
            ++m_at;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

class Parser {
public:
    explicit Parser(const std::string &statement) : m_statement(statement), m_cursor(statement) {}

    SheetStatement parse()
    {
        if (m_cursor.keyword("CREATE")) {
            expectKeyword("TABLE");
            CreateSheet create{tableName(), {}};
            expectSymbol('(');
            do {
                create.columns.push_back(columnName());
                if (!m_cursor.keyword("TEXT"))
                    reject("列的类型只能是 TEXT");
            } while (m_cursor.symbol(','));
            expectSymbol(')');
            expectEnd();
            return create;
        }
        if (m_cursor.keyword("INSERT")) {
            expectKeyword("INTO");
            InsertRow insert{tableName(), {}, {}};
            expectSymbol('(');
            do
                insert.columns.push_back(columnName());
            while (m_cursor.symbol(','));
            expectSymbol(')');
            expectKeyword("VALUES");
            expectSymbol('(');
            do {
                std::optional<std::string> value = m_cursor.quoted();
                if (!value)
                    reject("值须是单引号中的文字");
                insert.values.push_back(std::move(*value));
            } while (m_cursor.symbol(','));
            expectSymbol(')');
            expectEnd();
            if (insert.values.size() != insert.columns.size())
                reject("列数与值数不同");
            return insert;
        }
        reject("只接受 CREATE TABLE 与 INSERT INTO");
    }

private:
    [[noreturn]] void reject(const std::string &reason) { rejectStatement(m_statement, reason); }
    void expectKeyword(std::string_view word)
    {
        if (!m_cursor.keyword(word))
            reject("缺少 " + std::string(word));
    }
    void expectSymbol(char c)
    {
        if (!m_cursor.symbol(c))
            reject(std::string("缺少 ") + c);
    }
    void expectEnd()
    {
        if (!m_cursor.atEnd())
            reject("语句末尾有多余的文字");
    }
    std::string tableName()
    {
        std::optional<std::string> name = m_cursor.name();
        if (!name)
            reject("缺少表名");
        return *name;
    }
    std::string columnName()
    {
        std::optional<std::string> name = m_cursor.name();
        if (!name)
            reject("缺少列名");
        return *name;
    }

    const std::string &m_statement;
    Cursor m_cursor;
};

} // namespace

void rejectStatement(const std::string &statement, const std::string &reason)
{
    throw SheetError("表格驱动不接受这条语句（" + reason + "）：" + statement);
}

SheetStatement parseSheetStatement(const std::string &statement) { return Parser(statement).parse(); }

} // namespace stats
