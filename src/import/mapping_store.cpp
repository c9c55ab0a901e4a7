// Saving and finding the column mappings of bank statements.
#include "db/connection.h"
#include "db/feature_schema.h"
#include "db/text.h"
#include "import/bank_mapping.h"
#include "import/header_row.h"

namespace import {

namespace {

const char *const kColumns = "Name,Header,Encoding,DateColumn,TimeColumn,AmountColumn,DebitColumn,CreditColumn,Sign,"
                             "DateOrder,CounterpartyColumn,DescriptionColumn,ReferenceColumn";

BankMapping mappingOf(const db::Query &q)
{
    BankMapping m;
    m.name = q.field("Name");
    m.header = q.field("Header");
    m.encoding = encodingNamed(q.field("Encoding"));
    m.dateColumn = q.field("DateColumn");
    m.timeColumn = q.field("TimeColumn");
    m.amountColumn = q.field("AmountColumn");
    m.debitColumn = q.field("DebitColumn");
    m.creditColumn = q.field("CreditColumn");
    m.sign = amountSignNamed(q.field("Sign"));
    m.dateOrder = dateOrderNamed(q.field("DateOrder"));
    m.counterpartyColumn = q.field("CounterpartyColumn");
    m.descriptionColumn = q.field("DescriptionColumn");
    m.referenceColumn = q.field("ReferenceColumn");
    return m;
}

std::string quoted(const std::string &text) { return "'" + db::quote(text) + "'"; }

} // namespace

std::vector<BankMapping> loadMappings(db::Connection &c)
{
    db::ensureFeatureTables(c);
    std::vector<BankMapping> mappings;
    db::Query q = c.query(std::string("select ") + kColumns + " from ImportMapping order by Name");
    while (q.next())
        mappings.push_back(mappingOf(q));
    return mappings;
}

std::optional<BankMapping> loadMapping(db::Connection &c, const std::string &name)
{
    for (BankMapping &m : loadMappings(c))
        if (m.name == db::trim(name))
            return std::move(m);
    return std::nullopt;
}

std::optional<BankMapping> mappingForTable(db::Connection &c, const Table &table)
{
    const std::vector<BankMapping> mappings = loadMappings(c);
    const std::size_t rows = std::min<std::size_t>(table.rows.size(), 80);
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string signature = headerSignature(table.rows[r]);
        if (signature.empty())
            continue;
        for (const BankMapping &m : mappings)
            if (m.header == signature)
                return m;
    }
    return std::nullopt;
}

db::Result saveMapping(db::Connection &c, const BankMapping &m)
{
    if (db::Result checked = checkMapping(m); !checked)
        return checked;
    db::ensureFeatureTables(c);
    db::Transaction transaction(c, "保存对帐单格式 " + db::trim(m.name));
    c.execute("delete from ImportMapping where Name=" + quoted(db::trim(m.name)));
    c.execute(std::string("insert into ImportMapping (") + kColumns + ") values (" + quoted(db::trim(m.name)) + "," +
              quoted(m.header) + "," + quoted(encodingName(m.encoding)) + "," + quoted(m.dateColumn) + "," +
              quoted(m.timeColumn) + "," + quoted(m.amountColumn) + "," + quoted(m.debitColumn) + "," +
              quoted(m.creditColumn) + "," + quoted(amountSignName(m.sign)) + "," + quoted(dateOrderName(m.dateOrder)) + "," +
              quoted(m.counterpartyColumn) + "," + quoted(m.descriptionColumn) + "," + quoted(m.referenceColumn) + ")");
    transaction.commit();
    return db::Result::ok();
}

} // namespace import
