#pragma once

#include "app/commands.h"
#include "ledger/view_host.h"

#include <QList>
#include <QString>

// The main window as a ledger view sees it: the books, a fixed date range,
// the commands that exist, and the requests it receives, kept for a look.
class StubViewHost : public ledger::ViewHost {
public:
    explicit StubViewHost(db::Connection &c, const QString &begin = QStringLiteral("20070101"),
                          const QString &end = QStringLiteral("20071231"))
        : m_connection(c), m_begin(begin), m_end(end)
    {
    }
    db::Connection *connection() const override { return &m_connection; }
    QString rangeBegin() const override { return m_begin; }
    QString rangeEnd() const override { return m_end; }
    QString userName() const override { return QStringLiteral("管理员"); }
    void addLedgerView(CKassoltView *, const QString &) override {}
    void postAddLedgerTab(int) override {}
    void postSelectLedgerTab(int index) override { selected << index; }
    bool isCommandAvailable(int id) const override { return cmd::isViewCommandAvailable(id); }
    void runOtherCommand(int id) override { others << id; }

    void setRange(const QString &begin, const QString &end)
    {
        m_begin = begin;
        m_end = end;
    }

    QList<int> selected;
    QList<int> others;

private:
    db::Connection &m_connection;
    QString m_begin;
    QString m_end;
};
