#pragma once

#include <QWidget>

// The header above the detail fields: one line of white bold text, centred
// and shortened in the middle when too long, on a blue fill.
class CHeaderText : public QWidget {
    Q_OBJECT
public:
    explicit CHeaderText(QWidget *parent = nullptr);

    void setText(const QString &text);
    const QString &text() const { return m_text; }
    // The text as drawn at the current width.
    QString shownText() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QString m_text;
};
