#include "ledger/kassolt_view.h"

#include "db/connection.h"
#include "ledger/entry_change.h"
#include "ledger/entry_dialog.h"
#include "ledger/filter_bar.h"
#include "ledger/ledger_commands.h"
#include "ledger/ledger_load.h"
#include "ledger/ledger_model.h"
#include "ledger/ledger_report.h"
#include "ledger/view_host.h"
#include "setup/settings_dialog.h"
#include "ui/carry_out.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>

using namespace ledger::cmd;

namespace {
// How long the pointer rests on a row before the row is selected: the
// hover time of the desktop this list's behaviour comes from.
constexpr int kHoverSelectMilliseconds = 400;

QDateTime toDateTime(const db::DateTime &t)
{
    return QDateTime(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second));
}
} // namespace

CKassoltView::CKassoltView(ledger::ViewHost *host, int ledgerIndex, QWidget *parent)
    : QTableView(parent), m_host(host), m_index(ledgerIndex), m_model(new LedgerModel(this)),
      m_filterBar(new CLedgerFilterBar(this))
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

    // A click on a header sorts by its column, a second click the other way.
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        m_model->sortBy(column);
        showSortIndicator();
    });
    m_filterBar->hide();
    connect(m_filterBar, &CLedgerFilterBar::filterChanged, m_model, &LedgerModel::setFilter);
    connect(m_filterBar, &CLedgerFilterBar::closeRequested, this, &CKassoltView::hideFilterBar);

    m_hoverTimer = new QTimer(this);
    m_hoverTimer->setSingleShot(true);
    m_hoverTimer->setInterval(kHoverSelectMilliseconds);
    connect(m_hoverTimer, &QTimer::timeout, this, [this] {
        const QModelIndex index = indexAt(m_hoverPoint);
        if (index.isValid() && !selectionModel()->isRowSelected(index.row(), QModelIndex()))
            selectRow(index.row());
    });

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
    ui::carryOut(this, m_host->connection(), [&](db::Connection &c) {
        m_model->setLedger(k, ledger::loadLedger(c, k, m_begin.toStdString(), m_end.toStdString()));
    });
    showSortIndicator();
    emit booksShown();
}

void CKassoltView::showSortIndicator()
{
    const ledger::SortOrder order = m_model->order();
    horizontalHeader()->setSortIndicatorShown(order.column >= 0);
    if (order.column >= 0)
        horizontalHeader()->setSortIndicator(order.column, order.descending ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CKassoltView::showFilterBar()
{
    m_filterBar->show();
    m_filterBar->focusText();
}

void CKassoltView::hideFilterBar()
{
    m_filterBar->clear();
    m_filterBar->hide();
    setFocus(Qt::OtherFocusReason);
}

int CKassoltView::selectedRow() const
{
    const QModelIndexList rows = selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

QString CKassoltView::selectedEntryNumber() const
{
    const int row = selectedRow();
    return row < 0 ? QString() : m_model->cell(row, 0);
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
    case ID_NEW_ENTRY:
        newEntry();
        break;
    case ID_MODIFY_ENTRY:
        changeEntry();
        break;
    case ID_DELETE_ENTRY:
        deleteEntry();
        break;
    case ID_SETTINGS: {
        CSettingsDialog dialog(m_host->connection(), this);
        dialog.exec();
        // What the dialog wrote (an opening balance, a renamed category)
        // shows in the list at once.
        if (m_host->connection())
            loadLedger(m_index);
        break;
    }
    case ID_FILTER:
        showFilterBar();
        break;
    case ID_PRINT_PREVIEW:
        ledger::previewLedger(*m_model, QDate::currentDate(), this);
        break;
    default:
        m_host->runOtherCommand(id);
        break;
    }
}

db::Connection *CKassoltView::entryToActOn(QString &number)
{
    // Only the journal changes and deletes entries.
    if (m_index != 0)
        return nullptr;
    number = selectedEntryNumber();
    if (number.isEmpty()) {
        ui::inform(this, QString::fromUtf8(ledger::kMsgSelectEntry));
        return nullptr;
    }
    return ui::connectionOrSay(this, m_host->connection());
}

void CKassoltView::showJournal()
{
    // Tab 0 is reloaded by its selection unless it is this view, in front.
    if (m_index == 0)
        loadLedger(0);
    m_host->postSelectLedgerTab(0);
}

void CKassoltView::newEntry()
{
    db::Connection *connection = m_host->connection();
    EntryForm form;
    if (!ui::carryOut(this, connection,
                      [&](db::Connection &c) { form.number = QString::fromStdString(ledger::nextEntryNumber(c)); }))
        return;
    form.dateTime = toDateTime(m_clock());
    if (runEntryDialog(this, *connection, form, false, [&](const ledger::Entry &e) { return ledger::postEntry(*connection, e); }))
        showJournal();
}

bool CKassoltView::runEntryDialog(QWidget *parent, db::Connection &connection, EntryForm form, bool numberReadOnly,
                                  const std::function<db::Result(const ledger::Entry &)> &write)
{
    for (;;) {
        CEntryDialog dialog(&connection, parent);
        dialog.setForm(form);
        dialog.setNumberReadOnly(numberReadOnly);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        // A refused or failed entry comes back as it was typed, to be put
        // right or given up, rather than being lost; one that no longer
        // exists does not.
        bool again = true;
        const bool written = ui::carryOut(parent, [&] {
            const db::Result result = write(dialog.entry());
            again = result.message != ledger::kMsgEntryMissing;
            return result;
        });
        if (written)
            return true;
        if (!again)
            return false;
        form = dialog.form();
        form.presetType = form.type;
        form.presetCategory = form.category;
    }
}

void CKassoltView::changeEntry()
{
    QString number;
    if (entryToActOn(number))
        changeEntryNumbered(number, this);
}

bool CKassoltView::changeEntryNumbered(const QString &number, QWidget *parent)
{
    db::Connection *connection = ui::connectionOrSay(parent, m_host->connection());
    if (!connection)
        return false;
    ledger::Entry stored;
    if (!ui::carryOut(parent, [&] { return ledger::readEntry(*connection, number.toStdString(), stored); }))
        return false;
    EntryForm form;
    form.number = QString::fromStdString(stored.number);
    form.presetType = QString::fromStdString(stored.type);
    form.presetCategory = QString::fromStdString(stored.category);
    form.account = QString::fromStdString(stored.bank);
    form.amount = QString::fromStdString(stored.amount);
    form.description = QString::fromStdString(stored.description);
    form.handler = QString::fromStdString(stored.handler);
    const std::optional<db::DateTime> when = db::parseDate(stored.date);
    form.dateTime = toDateTime(when ? *when : m_clock());
    if (!runEntryDialog(parent, *connection, form, true, [&](const ledger::Entry &e) {
            return ledger::changeEntry(*connection, number.toStdString(), e);
        }))
        return false;
    showJournal();
    return true;
}

void CKassoltView::deleteEntry()
{
    const int row = selectedRow();
    QString number;
    db::Connection *connection = entryToActOn(number);
    if (!connection)
        return;
    if (!ui::askYesNo(this, QString::fromStdString(ledger::deleteQuestion(number.toStdString()))))
        return;
    if (!ui::carryOut(this, [&] { return ledger::deleteEntry(*connection, number.toStdString()); }))
        return;
    m_model->removeLedgerRow(row);
    emit booksShown();
    ui::inform(this, QString::fromUtf8(ledger::kMsgEntryDeleted));
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
    if (event->buttons() != Qt::NoButton) {
        m_hoverTimer->stop();
        return;
    }
    m_hoverPoint = event->position().toPoint();
    m_hoverTimer->start();
}

void CKassoltView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && !m_filterBar->isHidden()) {
        hideFilterBar();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CKassoltView::leaveEvent(QEvent *event)
{
    m_hoverTimer->stop();
    QTableView::leaveEvent(event);
}
