#include "import/bill.h"

namespace import {

const char *formatName(Format format)
{
    switch (format) {
    case Format::Alipay:
        return "支付宝";
    case Format::WeChat:
        return "微信支付";
    case Format::Bank:
        return "银行对帐单";
    case Format::Qif:
        return "QIF";
    case Format::Ofx:
        return "OFX";
    }
    return "";
}

} // namespace import
