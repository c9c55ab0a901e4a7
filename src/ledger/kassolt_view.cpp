#include "ledger/kassolt_view.h"

#include "app/commands.h"
#include "app/main_frame.h"
#include "db/connection.h"
#include "ledger/ledger_load.h"
#include "ledger/ledger_model.h"
#include "setup/settings_dialog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>

CKassoltView::CKassoltView(CMainFrame *frame, int ledgerIndex, QWidget *parent)
    : QTableView(parent), m_frame(frame), m_index(ledgerIndex), m_model(new LedgerModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setMouseTracking(true);
    setWordWrap(false);
    setFrameShape(QFrame::Box);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    // The selection keeps its colour when the list loses the focus, and the
    // row under the pointer is tracked.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    setStyleSheet(QStringLiteral("QTableView::item:hover { background: palette(midlight); }"));

    m_title = QString::fromStdString(ledger::ledgerCaption(ledgerIndex));
    setColumns(m_index);

    m_contextMenu = new QMenu(this);
    const std::pair<const char *, int> items[] = {
        {"新增", cmd::ID_NEW_ENTRY}, {"修改", cmd::ID_MODIFY_ENTRY}, {"删除", cmd::ID_DELETE_ENTRY}};
    for (const auto &[caption, id] : items) {
        QAction *action = m_contextMenu->addAction(QString::fromUtf8(caption));
        action->setData(id);
        action->setEnabled(cmd::isViewCommandAvailable(id));
        connect(action, &QAction::triggered, this, [this, id = id] { onCommand(id); });
    }
}

void CKassoltView::setColumns(int k)
{
    m_model->setLedger(k, {});
    const auto &columns = ledger::ledgerColumns(m_model->ledgerIndex());
    for (std::size_t i = 0; i < columns.size(); ++i)
        setColumnWidth(static_cast<int>(i), columns[i].width);
}

void CKassoltView::loadLedger(int k)
{
    m_begin = m_frame->rangeBegin();
    m_end = m_frame->rangeEnd();
    m_index = k;
    m_model->clear();
    db::Connection *connection = m_frame->connection();
    try {
        if (!connection)
            throw db::Error(db::kConnectFailedMessage);
        ledger::LedgerTable table =
            ledger::loadLedger(*connection, k, m_begin.toStdString(), m_end.toStdString());
        m_model->setLedger(k, std::move(table));
    } catch (const db::Error &error) {
        QMessageBox::warning(this, QStringLiteral("Pennaro"), QString::fromUtf8(error.what()));
    }
}

QString CKassoltView::selectedEntryNumber() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    if (rows.isEmpty())
        return {};
    return m_model->cell(rows.first().row(), 0);
}

void CKassoltView::onInitialUpdate()
{
    m_frame->addLedgerView(this, m_title);
    for (int k = 1; k <= 5; ++k)
        m_frame->postAddLedgerTab(k);
    m_frame->postSelectLedgerTab(0);
}

void CKassoltView::onCommand(int id)
{
    if (!cmd::isViewCommandAvailable(id))
        return;
    switch (id) {
    case cmd::ID_SETTINGS: {
        CSettingsDialog dialog(m_frame->connection(), this);
        dialog.exec();
        break;
    }
    default:
        break;
    }
}

void CKassoltView::contextMenuEvent(QContextMenuEvent *event)
{
    m_contextMenu->popup(event->globalPos());
}

void CKassoltView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTableView::mouseDoubleClickEvent(event);
    onCommand(cmd::ID_MODIFY_ENTRY);
}
