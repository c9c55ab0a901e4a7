#include "ledger/kassolt_view.h"

#include "db/connection.h"
#include "ledger/ledger_commands.h"
#include "ledger/ledger_load.h"
#include "ledger/ledger_model.h"
#include "ledger/ledger_report.h"
#include "ledger/view_host.h"
#include "setup/message_box.h"
#include "setup/settings_dialog.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>

using namespace ledger::cmd;

CKassoltView::CKassoltView(ledger::ViewHost *host, int ledgerIndex, QWidget *parent)
    : QTableView(parent), m_host(host), m_index(ledgerIndex), m_model(new LedgerModel(this))
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
    // The selection keeps its colour when the list loses the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    m_title = QString::fromStdString(ledger::ledgerCaption(ledgerIndex));
    setColumns(m_index);

    m_contextMenu = new QMenu(this);
    const std::pair<const char *, int> items[] = {
        {"新增", ID_NEW_ENTRY}, {"修改", ID_MODIFY_ENTRY}, {"删除", ID_DELETE_ENTRY}};
    for (const auto &[caption, id] : items) {
        QAction *action = m_contextMenu->addAction(QString::fromUtf8(caption));
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id = id] { onCommand(id); });
    }
    updateCommandStates();
}

void CKassoltView::updateCommandStates()
{
    for (QAction *action : m_contextMenu->actions())
        action->setEnabled(m_host && m_host->isCommandAvailable(action->data().toInt()));
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
    m_begin = m_host->rangeBegin();
    m_end = m_host->rangeEnd();
    m_index = k;
    m_model->clear();
    db::Connection *connection = m_host->connection();
    if (!connection) {
        setup::inform(this, QString::fromUtf8(db::kConnectFailedMessage));
        return;
    }
    try {
        m_model->setLedger(k, ledger::loadLedger(*connection, k, m_begin.toStdString(), m_end.toStdString()));
    } catch (const db::Error &error) {
        setup::reportError(this, error);
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
    m_host->addLedgerView(this, m_title);
    for (int k = 1; k <= 5; ++k)
        m_host->postAddLedgerTab(k);
    m_host->postSelectLedgerTab(0);
}

void CKassoltView::onCommand(int id)
{
    if (!m_host->isCommandAvailable(id))
        return;
    switch (id) {
    case ID_SETTINGS: {
        CSettingsDialog dialog(m_host->connection(), this);
        dialog.exec();
        break;
    }
    case ID_PRINT_PREVIEW:
        ledger::previewLedger(*m_model, QDate::currentDate(), this);
        break;
    default:
        m_host->runOtherCommand(id);
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
    onCommand(ID_MODIFY_ENTRY);
}

void CKassoltView::mouseMoveEvent(QMouseEvent *event)
{
    QTableView::mouseMoveEvent(event);
    // The selection follows the pointer: the whole row it rests on.
    if (event->buttons() != Qt::NoButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && !selectionModel()->isRowSelected(index.row(), QModelIndex()))
        selectRow(index.row());
}
