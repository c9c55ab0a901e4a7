#pragma once

#include "ledger/ledger_filter.h"

#include <QWidget>

class QComboBox;
class QLineEdit;
class QToolButton;

// The bar above a ledger list that filters its rows as the user types: a
// text, the entry type and a range of the amount. Escape closes it.
class CLedgerFilterBar : public QWidget {
    Q_OBJECT
public:
    explicit CLedgerFilterBar(QWidget *parent = nullptr);

    ledger::RowFilter filter() const;
    // Empties every field (which asks for no filter).
    void clear();
    void focusText();

    QLineEdit *textField() const { return m_text; }
    QComboBox *typeBox() const { return m_type; }
    QLineEdit *leastField() const { return m_least; }
    QLineEdit *mostField() const { return m_most; }
    QToolButton *closeButton() const { return m_close; }

signals:
    void filterChanged(const ledger::RowFilter &filter);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void changed();

    QLineEdit *m_text;
    QComboBox *m_type;
    QLineEdit *m_least;
    QLineEdit *m_most;
    QToolButton *m_close;
    bool m_clearing = false;
};
