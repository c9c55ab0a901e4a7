#pragma once

#include "stats/stat_row.h"

#include <memory>
#include <string>
#include <vector>

namespace stats {

// The label of the slice that gathers the small shares of a pie.
inline constexpr const char *kOtherSlice = "其他";
// A slice smaller than this share of its pie goes into 其他 ...
inline constexpr double kSmallShare = 0.03;
// ... and so does every slice after this many.
inline constexpr int kMostSlices = 8;
// The number of colours a pie's slices are given from.
inline constexpr int kPaletteSize = 16;
// The palette index of 其他 and of a parent's own entries: never a category's.
inline constexpr int kGreyColour = kPaletteSize;

// One slice of a category pie.
struct Slice {
    std::string label;
    double value = 0;
    std::string amount;  // as the list shows it
    std::string percent; // the share of the pie, as the list writes shares
    int colour = 0;      // an index into the palette, or kGreyColour
    bool drillable = false; // the category has children with entries
    bool other = false;     // the 其他 slice or the parent's own entries
};

// What a pie shows: the slices, largest first with 其他 last, and what is
// left out because a pie cannot show it (a sum that is not positive).
struct Pie {
    std::string title;  // the section head, or the path of the category drilled into
    std::string total;  // the amount of the whole pie, as the list shows it
    std::vector<Slice> slices;
    int leftOut = 0;
};

// The chart figures of a statistic: collects the expense and income rows of
// the walk that fills the list, as a tree of categories under each section
// head, and makes the pies from them. Every other row is ignored, so any
// statistic of the class query window may run into it.
class ChartSink : public RowSink {
public:
    ChartSink();
    ~ChartSink() override;

    void createColumns(const std::vector<Column> &columns) override;
    void addRow(const Row &row) override;
    // Forgets the rows of the last walk.
    void clear();

    // Whether the last walk had a head row of the section.
    bool has(Section section) const;
    // The pie of the first-level categories of a section (the types that
    // name no category among them), or, with a path of category names, of
    // the children of the last one. A category with entries of its own
    // beside its children shows them as one more slice under its own name.
    // An unknown path gives an empty pie.
    Pie pie(Section section, const std::vector<std::string> &path = {}) const;

private:
    struct Node;
    const Node *find(Section section, const std::vector<std::string> &path) const;

    std::vector<std::unique_ptr<Node>> m_heads;
    std::vector<Node *> m_lastAtDepth;
};

// The palette index of a category: the same name always gets the same one.
int categoryColour(const std::string &name);

} // namespace stats
