#pragma once

#include <vector>

namespace app {

// A button of the finance links dialog and the public page it opens.
struct FinanceLink {
    int id;
    const char *caption;
    const char *url;
};

// The eighteen buttons, in the dialog's order.
const std::vector<FinanceLink> &financeLinks();

} // namespace app
