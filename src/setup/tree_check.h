#pragma once

#include <string>
#include <vector>

namespace db {
class Connection;
}

namespace setup {

// Looks the three trees over, following each row's parent name: a name held
// by several rows, a row whose parent is no node, parents that lead round in
// a circle, chains deeper than the windows and statistics walk, and names
// with the backslash that the pickers use between the names of a path. One
// line per problem found; a chain below a broken row is not reported again.
std::vector<std::string> checkTrees(db::Connection &c);

} // namespace setup
