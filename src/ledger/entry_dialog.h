#pragma once

#include "ledger/posting.h"

#include <QDateTime>
#include <QDialog>
#include <QString>

#include <map>

namespace db {
class Connection;
}
struct PickedItem;
class CCategoryPicker;
enum class PickerKind;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPushButton;
class QTableWidget;

// What the entry dialog is opened with and hands back after 确定.
struct EntryForm {
    QString presetType;     // 收, 付, 存, 取, or empty for a new entry
    QString presetCategory; // the category to select at start
    QString account;        // set by the account picker; may be preset
    QString category;       // set by the category picker
    QString number;
    QString type;
    QString amount;
    QString description;
    QDateTime dateTime;
    QString handler;
    QString invested;    // the amount first invested (原金额)
    QString startNumber; // the entry that started the investment (原编号)
};

// "日常收入或者支出": the one form for a new entry and for changing one. It
// reads the users and the expense ledger and writes nothing.
class CEntryDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kCategoryWidth = 277;
    static constexpr int kInvestCategoryWidth = 110;
    static constexpr int kDropDownHeight = 300;

    explicit CEntryDialog(db::Connection *connection, QWidget *parent = nullptr);

    // Preset before the dialog opens.
    void setForm(const EntryForm &form) { m_form = form; }
    // During a change the number stays the entry's own.
    void setNumberReadOnly(bool readOnly);
    const EntryForm &form() const { return m_form; }
    // The confirmed values as the posting and change rules take them.
    ledger::Entry entry() const;

    // The opening steps; showing the dialog runs them once by itself.
    void initialize();
    bool isInvestmentMode() const { return m_investmentMode; }
    QWidget *control(int id) const;
    CCategoryPicker *categoryPicker() const { return m_category; }
    CCategoryPicker *accountPicker() const { return m_account; }
    QTableWidget *investmentList() const { return m_investList; }
    // Takes a row of the investment pick list as the starting entry.
    void setUpInvestmentList(int rowTextHeight);
    void pickStartingEntry(int row);

    // A rectangle in dialog units, in pixels of this dialog's font.
    QRect dialogRect(int x, int y, int width, int height) const;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    template <class Widget> Widget *add(int id, Widget *widget, int x, int y, int width, int height);
    QWidget *addLabel(int id, const char *caption, int x, int y, int width, int height);
    void fillPicker(CCategoryPicker *picker, PickerKind kind);
    void onTypeChanged();
    void onPicked(const PickedItem &item, PickerKind kind);
    void setLowerFieldsVisible(bool visible);
    void setInvestmentFieldsVisible(bool visible);
    void showNormalLayout();
    void showInvestmentLayout(const QString &name);
    void loadInvestmentList(const QString &name);
    void openCalculator();
    void applyCalculatorKey(int code);
    void confirm();

    db::Connection *m_connection;
    EntryForm m_form;
    bool m_initialized = false;
    bool m_investmentMode = false;
    int m_baseWidth = 0;
    int m_baseHeight = 0;
    std::map<int, QWidget *> m_controls;
    QPushButton *m_ok = nullptr;
    QLineEdit *m_number = nullptr;
    QDateTimeEdit *m_dateTime = nullptr;
    QLineEdit *m_amount = nullptr;
    QLineEdit *m_description = nullptr;
    QComboBox *m_type = nullptr;
    CCategoryPicker *m_category = nullptr;
    QComboBox *m_handler = nullptr;
    CCategoryPicker *m_account = nullptr;
    QTableWidget *m_investList = nullptr;
    QLineEdit *m_invested = nullptr;
    QLineEdit *m_startNumber = nullptr;
};
