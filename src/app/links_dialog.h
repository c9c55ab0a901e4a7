#pragma once

#include <QDialog>

#include <map>

class QLabel;
class QPushButton;

// "股票和基金": a few market maxims and eighteen buttons, each opening one
// finance page in the web browser. Closed with the window's close box.
class CLinksDialog : public QDialog {
    Q_OBJECT
public:
    explicit CLinksDialog(QWidget *parent = nullptr);

    QPushButton *button(int id) const;
    QLabel *maxims() const { return m_maxims; }

private:
    QLabel *m_maxims;
    std::map<int, QPushButton *> m_buttons;
};
