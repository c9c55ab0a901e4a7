#pragma once

#include "import/bill.h"
#include "import/table.h"

namespace import {

// How well a table looks like an Alipay or a WeChat Pay bill: the number of
// their column names its header row holds (0: not at all).
int alipayLikeness(const Table &table);
int wechatLikeness(const Table &table);

// An Alipay bill (交易明细, new and old column sets, found by name).
BillRead readAlipay(const Table &table);
// A WeChat Pay bill (账单明细), from CSV or XLSX.
BillRead readWeChat(const Table &table);

} // namespace import
