#pragma once

#include <QDateEdit>

// A date picker of the settings panel: "yyyy/MM/dd" and the weekday's name.
// It can look empty while still holding a date; changing the date, or
// picking one in the calendar, shows it again.
class CDatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit CDatePicker(QWidget *parent = nullptr);

    // Holds date and shows nothing.
    void showBlank(const QDate &date);
    // Holds date and shows it.
    void showDate(const QDate &date);
    bool isBlank() const { return m_blank; }
    // Shows the date it holds where it showed nothing.
    void reveal() { setBlank(false); }
    // What the field shows now.
    QString shownText() const;

protected:
    QString textFromDateTime(const QDateTime &value) const override;
    void keyPressEvent(QKeyEvent *event) override;
    // Tab leaves the field rather than stepping through its parts (the
    // arrow keys and typed separators still do that).
    bool event(QEvent *event) override;

private:
    void setBlank(bool blank);

    bool m_blank = false;
};
