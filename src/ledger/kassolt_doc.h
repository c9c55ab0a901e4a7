#pragma once

#include <QObject>
#include <QString>

class QWidget;

// The document of the single-document frame: its title and the view that is
// attached to it (the one shown in front).
class CKassoltDoc : public QObject {
    Q_OBJECT
public:
    explicit CKassoltDoc(QObject *parent = nullptr) : QObject(parent) {}

    const QString &title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    QWidget *attachedView() const { return m_view; }
    void attachView(QWidget *view) { m_view = view; }
    void detachView(QWidget *view)
    {
        if (m_view == view)
            m_view = nullptr;
    }

private:
    QString m_title;
    QWidget *m_view = nullptr;
};
