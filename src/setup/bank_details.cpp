#include "setup/bank_details.h"

#include "db/connection.h"
#include "db/text.h"
#include "setup/detail_rules.h"
#include "setup/tree_store.h"

namespace setup {

using db::quote;

namespace {

const char *const kCashAccount = "现金银行";

bool isCash(const std::string &name) { return name == kCashAccount; }

// The opening balance's rows. A is checked to be a plain number above 0.
void postOpeningBalance(db::Connection &c, const std::string &number, const std::string &name, const BankForm &form,
                        const std::string &date, const std::string &amount)
{
    const std::string n = number;
    const std::string d = quote(date);
    const std::string a = amount;
    const std::string account = quote(name);
    const std::string &source = form.source;
    const bool fromOutside = source.empty() || source == treeSpec(TreeKind::Bank).rootText;

    c.execute("INSERT INTO account (财务标识, 日期,收负类型,帐目类型,钱额,银行,经手人,说明)  VALUES (" + n + ", '" + d +
              "', '收','初始化'," + a + " ,'" + account + "','自动','" + quote(form.openBank) + "')");
    if (fromOutside)
        c.execute("insert into GetMoney(Num,DTime,MoneyFrom,nMoney,MoneyTo,Operator,AccNum) values (" + n + ",'" + d +
                  "','初始化'," + a + ",'" + account + "','自动'," + n + ")");
    if (isCash(name))
        c.execute("insert into CashAccount(Num,DTime,NStyle,nMoney,PayGet,AccNum) values ('" + n + "', '" + d +
                  "', '初始化'," + a + " ,'收','" + n + "')");
    else
        c.execute("insert into BankAccount(Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum) values ('" + n + "', '" +
                  d + "', '存','初始化'," + a + " ,'" + account + "','" + n + "')");
    if (fromOutside)
        return;
    if (isCash(source))
        c.execute("insert into CashAccount(Num,DTime,NStyle,nMoney,PayGet,AccNum) values ('" + n + "', '" + d +
                  "', '存钱',-" + a + " ,'支','" + n + "')");
    else
        c.execute("insert into BankAccount(Num,DTime,PayGet,NStyle,nMoney,BankName,AccNum) values ('" + n + "', '" +
                  d + "', '取','取钱',-" + a + " ,'" + quote(source) + "','" + n + "')");
}

} // namespace

std::optional<BankDetails> loadBankDetails(db::Connection &c, const std::string &name, const db::DateTime &now)
{
    db::Query q = c.query("SELECT *  FROM BANK  where  BankName = '" + quote(name) + "'");
    std::optional<BankDetails> details;
    while (q.next()) {
        BankDetails row;
        row.accountType = q.field("AccTypeID");
        row.openBank = q.field("OpenBank");
        row.holder = q.field("CustName");
        row.accountNumber = q.field("AccNumber");
        row.openingBalance = q.field("SumMoney");
        row.source = q.field("FromBank");
        row.activeText = q.field("ActiveDate");
        row.activeDate = dateOrNow(row.activeText, now);
        details = std::move(row);
    }
    return details;
}

bool accountUsed(db::Connection &c, const std::string &name)
{
    db::Query q = c.query(isCash(name) ? std::string("select DTime from CashAccount  ")
                                       : "select DTime from BankAccount where BankName ='" + quote(name) + "'");
    while (q.next())
        if (!q.isNull("DTime"))
            return true;
    return false;
}

db::Result saveBankDetails(db::Connection &c, const BankForm &form)
{
    if (!form.unlocked)
        return db::Result::refused(kMsgPressModify);
    const std::string &name = form.selected;
    if (name.empty() || name == treeSpec(TreeKind::Bank).rootText)
        return db::Result::refused(kMsgChooseBank);
    if (name != form.loaded)
        return db::Result::refused(kMsgLoadFirst);
    const std::string balance = db::trim(form.openingBalance);
    // The balance goes into the statements unquoted.
    if (!balance.empty() && !isAmountText(balance))
        return db::Result::refused(kMsgOpeningNotNumber);
    // A deposit and a withdrawal on the same account would cancel out while
    // the journal still showed an opening balance.
    if (form.source == name)
        return db::Result::refused(kMsgSourceIsAccount);
    if (form.activeDate.year < kFirstYear)
        return db::Result::refused(kMsgDateTooEarly);
    const std::string date = db::formatTreeDate(form.activeDate);

    db::Transaction transaction(c, "保存银行 " + name);
    if (c.scalar("select count(*) as n from Bank where BankName = '" + quote(name) + "'", "n") == "0")
        return db::Result::refused(kMsgNoSuchNode + name);
    const bool used = accountUsed(c, name);
    const std::optional<std::string> number = nextEntryNumber(c);
    if (!number)
        return db::Result::refused(kMsgDamagedJournal);
    if (isCash(name) && used)
        return db::Result::refused(kMsgCashUsed);
    if (!used && !balance.empty() && db::leadingNumber(balance) > 0) {
        postOpeningBalance(c, *number, name, form, date, balance);
        transaction.setLabel("保存银行 " + name + " 初始金额 #" + *number + " " +
                             db::moneyTrimmed(db::plainNumberValue(balance)));
    }
    // An empty balance is stored as no value, where the bare statement text
    // would not run at all.
    c.execute("update Bank set  AccTypeID='" + quote(form.accountType) + "',OpenBank='" + quote(form.openBank) +
              "',CustName='" + quote(form.holder) + "',AccNumber='" + quote(form.accountNumber) + "',ActiveDate='" +
              date + "',SumMoney=" + (balance.empty() ? std::string("NULL") : balance) + ",FromBank='" +
              quote(form.source) + "' where BankName='" + quote(name) + "'");
    transaction.commit();
    return db::Result::ok();
}

} // namespace setup
