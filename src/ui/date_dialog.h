#pragma once

#include "db/dates.h"

#include <QDialog>

class QDateEdit;

// "时间设置": the begin and end dates of a chosen range.
class CDateDialog : public QDialog {
    Q_OBJECT
public:
    explicit CDateDialog(const db::DateTime &now, QWidget *parent = nullptr);

    QDateEdit *beginEdit() const { return m_begin; }
    QDateEdit *endEdit() const { return m_end; }
    // The chosen dates as "%Y%m%d".
    QString beginDay() const;
    QString endDay() const;

private:
    QDateEdit *m_begin;
    QDateEdit *m_end;
};
