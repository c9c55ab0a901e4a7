#pragma once

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace ledger {

// The users who may act as handlers, in the order the table returns them.
std::vector<std::string> handlerNames(db::Connection &c);

// An expense entry under which an investment may have started.
struct InvestmentStart {
    std::string number;   // AccNum
    std::string category; // PayStyle, as stored
    std::string amount;   // nMoney
    std::string date;     // DTime
};

// "SELECT AccNum,DTime,PayStyle,nMoney FROM PayMoney where PayStyle ='S' "
std::string investmentStartsQuery(const std::string &category);
// The expense entries whose category bears this name, in the order returned.
std::vector<InvestmentStart> investmentStarts(db::Connection &c, const std::string &category);

} // namespace ledger
