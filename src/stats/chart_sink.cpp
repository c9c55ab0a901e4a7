#include "stats/chart_sink.h"

#include "db/text.h"
#include "db/exact_sum.h"
#include "stats/percent.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace stats {

struct ChartSink::Node {
    Section section = Section::Expense;
    std::string label;
    std::string amount;
    std::vector<std::unique_ptr<Node>> children;
};

namespace {

bool charted(Section section) { return section == Section::Expense || section == Section::Income; }

// A share below half a cent is no slice.
constexpr double kNoise = 0.005;

// Amounts as the list shows them, added exactly and written as the list
// writes a sum.
std::string sumText(const std::vector<double> &amounts)
{
    db::ExactSum sum;
    for (double amount : amounts)
        sum.addReal(amount);
    return sum.text();
}

// Gives each slice its category's colour, or the next one no slice before
// it has taken, so that two slices of one pie never look alike.
void colourSlices(std::vector<Slice> &slices)
{
    std::vector<bool> taken(kPaletteSize, false);
    int used = 0;
    for (Slice &slice : slices) {
        if (slice.other) {
            slice.colour = kGreyColour;
            continue;
        }
        int colour = categoryColour(slice.label);
        if (used < kPaletteSize) {
            while (taken[colour])
                colour = (colour + 1) % kPaletteSize;
            taken[colour] = true;
            ++used;
        }
        slice.colour = colour;
    }
}

} // namespace

ChartSink::ChartSink() = default;
ChartSink::~ChartSink() = default;

void ChartSink::createColumns(const std::vector<Column> &) {}

void ChartSink::addRow(const Row &row)
{
    if (!charted(row.section) || (row.role != Role::Head && row.role != Role::Category &&
                                  row.role != Role::Uncategorised)) {
        m_lastAtDepth.clear();
        return;
    }
    auto node = std::make_unique<Node>();
    node->section = row.section;
    node->label = db::trim(row.label);
    node->amount = row.cell(0);
    Node *added = node.get();
    if (row.role == Role::Head) {
        std::erase_if(m_heads, [&](const auto &head) { return head->section == row.section; });
        m_heads.push_back(std::move(node));
        m_lastAtDepth.assign(1, added);
        return;
    }
    const auto depth = static_cast<std::size_t>(row.depth);
    if (depth == 0 || depth > m_lastAtDepth.size() || m_lastAtDepth[depth - 1]->section != row.section)
        return;
    m_lastAtDepth[depth - 1]->children.push_back(std::move(node));
    m_lastAtDepth.resize(depth);
    m_lastAtDepth.push_back(added);
}

void ChartSink::clear()
{
    m_heads.clear();
    m_lastAtDepth.clear();
}

bool ChartSink::has(Section section) const { return find(section, {}) != nullptr; }

const ChartSink::Node *ChartSink::find(Section section, const std::vector<std::string> &path) const
{
    const Node *node = nullptr;
    for (const auto &head : m_heads)
        if (head->section == section)
            node = head.get();
    for (const std::string &name : path) {
        if (!node)
            return nullptr;
        const auto &children = node->children;
        auto it = std::find_if(children.begin(), children.end(), [&](const auto &c) { return c->label == name; });
        node = it == children.end() ? nullptr : it->get();
    }
    return node;
}

Pie ChartSink::pie(Section section, const std::vector<std::string> &path) const
{
    Pie pie;
    const Node *node = find(section, path);
    if (!node)
        return pie;
    pie.title = find(section, {})->label;
    for (const std::string &name : path)
        pie.title += " / " + name;

    std::vector<Slice> slices;
    std::vector<double> childAmounts;
    for (const auto &child : node->children) {
        const double value = db::leadingNumber(child->amount);
        childAmounts.push_back(value);
        if (value <= kNoise) {
            ++pie.leftOut;
            continue;
        }
        slices.push_back({child->label, value, child->amount, {}, 0, !child->children.empty(), false});
    }
    // Entries booked on the category itself, not on any of its children.
    std::vector<double> ownAmounts = {db::leadingNumber(node->amount)};
    for (double amount : childAmounts)
        ownAmounts.push_back(-amount);
    const std::string own = sumText(ownAmounts);
    if (!path.empty() && db::leadingNumber(own) > kNoise)
        slices.push_back({node->label, db::leadingNumber(own), own, {}, 0, false, false});
    std::stable_sort(slices.begin(), slices.end(), [](const Slice &a, const Slice &b) { return a.value > b.value; });

    std::vector<double> values;
    for (const Slice &slice : slices)
        values.push_back(slice.value);
    pie.total = pie.leftOut == 0 ? node->amount : sumText(values);
    const double total = db::leadingNumber(pie.total);

    // The small shares and those past the most a pie shows go into 其他,
    // unless that would gather a single slice.
    std::size_t keep = slices.size();
    for (std::size_t i = 0; i < slices.size(); ++i) {
        if (static_cast<int>(i) >= kMostSlices || slices[i].value < kSmallShare * total) {
            keep = i;
            break;
        }
    }
    if (slices.size() - keep >= 2) {
        std::vector<double> rest;
        for (std::size_t i = keep; i < slices.size(); ++i)
            rest.push_back(slices[i].value);
        const std::string restText = sumText(rest);
        slices.resize(keep);
        slices.push_back({kOtherSlice, db::leadingNumber(restText), restText, {}, 0, false, true});
    }
    for (Slice &slice : slices)
        slice.percent = sharePercent(slice.amount, pie.total);
    colourSlices(slices);
    pie.slices = std::move(slices);
    return pie;
}

int categoryColour(const std::string &name)
{
    // FNV-1a over the name's bytes: the same on every run and machine.
    std::uint32_t hash = 2166136261u;
    for (unsigned char ch : name) {
        hash ^= ch;
        hash *= 16777619u;
    }
    return static_cast<int>(hash % kPaletteSize);
}

} // namespace stats
