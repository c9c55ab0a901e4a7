#pragma once

#include "import/bank_mapping.h"
#include "import/table.h"

#include <QDialog>
#include <QHash>

#include <optional>

namespace db {
class Connection;
}
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTableWidget;

// Says which columns of a bank's statement hold what, with the first rows
// of the file before the eyes: the header row, the date (and time), the
// amount or the spending and income columns, the counterparty, the
// description and the bank's own row number; the encoding, the order of
// the date and the sign. Saved under a name (保存), it is offered again for
// the next file with the same header.
class CBankMappingDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kPreviewRows = 20;

    CBankMappingDialog(const QString &path, db::Connection &connection,
                       const std::optional<import::BankMapping> &preset = std::nullopt, QWidget *parent = nullptr);

    // The mapping as the fields say it now (its header from the chosen row).
    import::BankMapping mapping() const;
    // What a read with the mapping gives: the row count or the message.
    QString trialText() const;

    QLineEdit *nameEdit() const { return m_name; }
    QComboBox *encodingBox() const { return m_encoding; }
    QSpinBox *headerRowBox() const { return m_headerRow; }
    QComboBox *columnBox(const char *which) const;
    QRadioButton *twoColumnsButton() const { return m_twoColumns; }
    QTableWidget *previewTable() const { return m_preview; }
    QLabel *trialLabel() const { return m_trial; }

    // Saves the mapping and closes; refused with a message while it does not read.
    void save();

private:
    void loadFile();
    void fillColumns();
    void guessColumns(const std::optional<import::BankMapping> &preset);
    void updateTrial();
    void rememberColumns();

    QString m_path;
    db::Connection &m_connection;
    import::Table m_table;
    QString m_loadProblem;
    QLineEdit *m_name;
    QComboBox *m_encoding;
    QSpinBox *m_headerRow;
    QComboBox *m_date, *m_time, *m_amount, *m_debit, *m_credit, *m_counterparty, *m_description, *m_reference;
    QComboBox *m_order;
    QComboBox *m_sign;
    QRadioButton *m_oneColumn;
    QRadioButton *m_twoColumns;
    QTableWidget *m_preview;
    QLabel *m_trial;
    bool m_chosen = false; // the columns have been set once: later guesses fill only the empty ones
    // The column each box stands for, kept while another encoding or header
    // row shows other names, so that coming back finds it again.
    QHash<QComboBox *, QString> m_wanted;
};
