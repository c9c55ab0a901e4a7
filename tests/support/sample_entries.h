#pragma once

#include "db/connection.h"
#include "ledger/posting.h"

#include <span>

namespace testing_support {

// An entry of a test's books: when, 收/付/存/取, category and amount.
struct Sample {
    const char *date;
    const char *type;
    const char *category;
    const char *amount;
};

// Posts each sample as a cash entry of 管理员, numbered on from the last.
inline void postSamples(db::Connection &c, std::span<const Sample> samples)
{
    for (const Sample &s : samples)
        ledger::postEntry(c, {ledger::nextEntryNumber(c), s.date, s.type, s.category, s.amount, "", "管理员",
                              ledger::kCashAccount, ""});
}

} // namespace testing_support
