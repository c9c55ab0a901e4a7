#pragma once

#include "import/plan.h"

#include <QAbstractTableModel>

// The rows of an import plan as the preview lists them. Editing the
// included mark, the type, the category or the account goes through the
// plan's edits, so every row's decision stays current; an account chosen
// for a row is kept for its paying method and given to that method's rows.
class ImportPlanModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Included, Line, Decision, Time, Type, Amount, Category, Account, Counterparty, Goods, Method, Note,
                  ColumnCount };

    explicit ImportPlanModel(import::Plan plan, QObject *parent = nullptr);

    import::Plan &plan() { return m_plan; }
    const import::Plan &plan() const { return m_plan; }
    const import::PlanRow &row(int index) const { return m_plan.rows.at(static_cast<std::size_t>(index)); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // Keeps a rule made from a row's correction and applies it to the others.
    void addRule(const import::Rule &rule);
    // Keeps an account for a paying method (made on the spot or chosen).
    void mapMethod(const QString &method, const QString &account);

signals:
    // Some decision may have changed: the totals and the confirm button follow.
    void planChanged();

private:
    void everyRowChanged();

    import::Plan m_plan;
};
