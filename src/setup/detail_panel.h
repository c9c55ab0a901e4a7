#pragma once

#include "setup/tree_store.h"

#include <QGroupBox>

#include <optional>

namespace db {
class Connection;
struct DateTime;
}
namespace setup {
struct RecurringItem;
struct RecurringForm;
struct BankDetails;
struct BankForm;
struct BudgetAmounts;
}
class CCategoryPicker;
class CDatePicker;
class CHeaderText;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;
struct PickedItem;

// The right half of the settings dialog: the recurring settings of a
// category while an income or expense section is open, the details of an
// account while the bank section is open. It only shows and hands over
// values; loading and saving are the dialog's.
class CDetailPanel : public QGroupBox {
    Q_OBJECT
public:
    // The bank pickers fill themselves from the connection.
    CDetailPanel(db::Connection *connection, const db::DateTime &today, QWidget *parent);

    // Which fields stand in the panel; none hides both sets.
    void showSection(std::optional<setup::TreeKind> kind);
    // Every field disabled.
    void lockAll();
    // The fields of a section enabled, the others disabled.
    void unlock(setup::TreeKind kind);

    void setHeader(const QString &text);
    // The header's text while no node is loaded.
    void resetHeader();
    void setFixedCaption(setup::TreeKind kind);
    // Shows a category's row; selecting its bank in the picker notifies.
    void showRecurring(const setup::RecurringItem &item);
    void readRecurring(setup::RecurringForm &form) const;
    void showBank(const setup::BankDetails &details);
    void readBank(setup::BankForm &form) const;
    // The budget of an expense category, below its recurring settings.
    void showBudget(const setup::BudgetAmounts &amounts);
    void readBudget(setup::BudgetAmounts &amounts) const;
    // Both bank pickers read the bank tree again (after it changed).
    void reloadBanks();

    // Fields, top to bottom, for the dialog and for tests.
    CHeaderText *header() const { return m_header; }
    QCheckBox *fixedBox() const { return m_fixed; }
    QCheckBox *autoPostBox() const { return m_autoPost; }
    QLineEdit *amountEdit() const { return m_amount; }
    QLineEdit *intervalEdit() const { return m_interval; }
    QToolButton *intervalUp() const { return m_up; }
    QToolButton *intervalDown() const { return m_down; }
    QComboBox *unitBox() const { return m_unit; }
    CDatePicker *beginPicker() const { return m_begin; }
    CDatePicker *endPicker() const { return m_end; }
    QLabel *itemBankLabel() const;
    CCategoryPicker *itemBankPicker() const { return m_itemBank; }
    QComboBox *accountTypeBox() const { return m_accountType; }
    QLineEdit *openBankEdit() const { return m_openBank; }
    QLineEdit *holderEdit() const { return m_holder; }
    QLineEdit *accountNumberEdit() const { return m_accountNumber; }
    CDatePicker *openDatePicker() const { return m_openDate; }
    QLineEdit *openingBalanceEdit() const { return m_openingBalance; }
    CCategoryPicker *sourcePicker() const { return m_source; }
    QLineEdit *monthlyBudgetEdit() const { return m_monthlyBudget; }
    QLineEdit *yearlyBudgetEdit() const { return m_yearlyBudget; }
    // The focus chain of a section's fields, top to bottom.
    QList<QWidget *> fields(setup::TreeKind kind) const;

signals:
    // The selection notification of either bank picker.
    void bankPicked(const PickedItem &item);

private:
    void createRecurringFields(const db::DateTime &today);
    void createBankFields(const db::DateTime &today);
    void createBudgetFields();
    QWidget *createSpinButtons();
    QLabel *addLabel(const char *caption, int row, QList<QWidget *> &set);
    void onBankPicked(const PickedItem &item);
    void stepUp();
    void stepDown();
    void stepInterval(int by);
    void setEnabledAll(const QList<QWidget *> &widgets, bool enabled);

    CHeaderText *m_header;
    QCheckBox *m_fixed;
    QCheckBox *m_autoPost;
    QLineEdit *m_amount;
    QLineEdit *m_interval;
    QWidget *m_spin;
    QToolButton *m_up;
    QToolButton *m_down;
    QComboBox *m_unit;
    CDatePicker *m_begin;
    CDatePicker *m_end;
    QLabel *m_incomeBankLabel;
    QLabel *m_expenseBankLabel;
    CCategoryPicker *m_itemBank;
    QComboBox *m_accountType;
    QLineEdit *m_openBank;
    QLineEdit *m_holder;
    QLineEdit *m_accountNumber;
    CDatePicker *m_openDate;
    QLineEdit *m_openingBalance;
    CCategoryPicker *m_source;
    QLineEdit *m_monthlyBudget;
    QLineEdit *m_yearlyBudget;
    // The widgets of each set, labels included, and the fields alone.
    QList<QWidget *> m_recurringSet;
    QList<QWidget *> m_bankSet;
    QList<QWidget *> m_budgetSet;
    QList<QWidget *> m_recurringFields;
    QList<QWidget *> m_bankFields;
    QList<QWidget *> m_budgetFields;
    std::optional<setup::TreeKind> m_section;
};
