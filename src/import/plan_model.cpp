#include "import/plan_model.h"

#include "import/import_run.h"
#include "import/values.h"

#include <QBrush>
#include <QColor>

namespace {

const char *const kHeaders[ImportPlanModel::ColumnCount] = {"记入", "行", "处理", "时间", "收付", "金额",
                                                            "类型", "帐户", "对方", "商品说明", "付款方式", "说明"};

QString text(const std::string &s) { return QString::fromStdString(s); }

QString timeText(const db::DateTime &t) { return text(db::formatDateTime(t)); }

} // namespace

ImportPlanModel::ImportPlanModel(import::Plan plan, QObject *parent) : QAbstractTableModel(parent), m_plan(std::move(plan)) {}

int ImportPlanModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_plan.rows.size());
}

int ImportPlanModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant ImportPlanModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const import::PlanRow &r = row(index.row());
    if (role == Qt::CheckStateRole && index.column() == Included)
        return r.included ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && (index.column() == Amount || index.column() == Line))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ForegroundRole) {
        if (r.decision == import::Decision::NeedsCategory || r.decision == import::Decision::NeedsAccount)
            return QBrush(QColor(0xB0, 0x00, 0x00));
        if (r.decision == import::Decision::Skip || r.decision == import::Decision::Duplicate)
            return QBrush(QColor(0x80, 0x80, 0x80));
        return {};
    }
    if (role == Qt::ToolTipRole && index.column() == Category && !r.categorySource.empty())
        return QStringLiteral("来自") + text(r.categorySource);
    if (role == Qt::ToolTipRole && index.column() == Note && !r.note.empty())
        return text(r.note);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    switch (index.column()) {
    case Line:
        return r.bill.line;
    case Decision:
        return QString::fromUtf8(import::decisionName(r.decision));
    case Time:
        return timeText(r.bill.time);
    case Type:
        return text(r.type);
    case Amount:
        return text(import::centsText(r.signedCents()));
    case Category:
        return text(r.category);
    case Account:
        return text(r.account);
    case Counterparty:
        return text(r.bill.counterparty);
    case Goods:
        return text(r.bill.goods);
    case Method:
        return text(import::methodOf(m_plan, r));
    case Note:
        return text(r.note);
    default:
        return {};
    }
}

QVariant ImportPlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount)
        return {};
    return QString::fromUtf8(kHeaders[section]);
}

Qt::ItemFlags ImportPlanModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (!index.isValid() || row(index.row()).decision == import::Decision::Duplicate)
        return flags;
    if (index.column() == Included)
        flags |= Qt::ItemIsUserCheckable;
    if (index.column() == Type || index.column() == Category || index.column() == Account)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool ImportPlanModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid())
        return false;
    const std::size_t at = static_cast<std::size_t>(index.row());
    const std::string given = value.toString().trimmed().toStdString();
    if (index.column() == Included && role == Qt::CheckStateRole) {
        import::setIncluded(m_plan, at, value.toInt() == Qt::Checked);
    } else if (role != Qt::EditRole) {
        return false;
    } else if (index.column() == Type && (given == "付" || given == "收")) {
        import::setType(m_plan, at, given);
    } else if (index.column() == Category && !given.empty()) {
        import::setCategory(m_plan, at, given);
    } else if (index.column() == Account && !given.empty()) {
        // The method is mapped once: every row paid the same way follows.
        import::mapMethod(m_plan, import::methodOf(m_plan, m_plan.rows[at]), given);
        everyRowChanged();
        return true;
    } else {
        return false;
    }
    // A purchase's refunds follow its category, so more than one row may change.
    everyRowChanged();
    return true;
}

void ImportPlanModel::addRule(const import::Rule &rule)
{
    import::addRule(m_plan, rule);
    everyRowChanged();
}

void ImportPlanModel::mapMethod(const QString &method, const QString &account)
{
    m_plan.names.accounts.insert(account.toStdString());
    import::mapMethod(m_plan, method.toStdString(), account.toStdString());
    everyRowChanged();
}

void ImportPlanModel::everyRowChanged()
{
    if (!m_plan.rows.empty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
    emit planChanged();
}
