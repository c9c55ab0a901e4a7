#pragma once

#include <QMainWindow>

#include <memory>

namespace db {
class Connection;
}

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(const QString &userName, QWidget *parent = nullptr);
    ~CMainFrame() override;

    // The working connection; null when it could not be opened.
    db::Connection *connection() const { return m_connection.get(); }
    const QString &userName() const { return m_userName; }

private:
    std::unique_ptr<db::Connection> m_connection;
    QString m_userName;
};
