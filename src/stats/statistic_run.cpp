#include "stats/statistic_run.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace {

const char *const kCounting = "正在统计… 已列出 %1 行";
const char *const kStop = "停止";
const char *const kStopped = "统计已停止：列表中只有停止前算出的行。";
constexpr int kBusyWidth = 80;

} // namespace

CStatisticRun::CStatisticRun(QStatusBar *statusBar, stats::RowSink &list) : QObject(statusBar), m_list(list)
{
    m_progress = new QWidget(statusBar);
    m_progress->setObjectName(QStringLiteral("statisticProgress"));
    auto *layout = new QHBoxLayout(m_progress);
    layout->setContentsMargins(0, 0, 0, 0);
    m_count = new QLabel(m_progress);
    m_busy = new QProgressBar(m_progress);
    m_busy->setRange(0, 0); // no end known: the bar only moves
    m_busy->setTextVisible(false);
    m_busy->setFixedWidth(kBusyWidth);
    m_stop = new QPushButton(QString::fromUtf8(kStop), m_progress);
    m_stop->setObjectName(QStringLiteral("stopStatistic"));
    m_stop->setAutoDefault(false);
    layout->addWidget(m_count);
    layout->addWidget(m_busy);
    layout->addWidget(m_stop);
    connect(m_stop, &QPushButton::clicked, this, [this] { stop(); });
    m_note = new QLabel(QString::fromUtf8(kStopped), statusBar);
    m_note->setObjectName(QStringLiteral("stoppedNote"));
    statusBar->addPermanentWidget(m_progress);
    statusBar->addPermanentWidget(m_note);
    m_progress->hide();
    m_note->hide();
}

void CStatisticRun::begin()
{
    m_stopAsked = false;
    m_rows = 0;
    m_note->hide();
    showCount();
    m_stop->setEnabled(true);
    m_progress->show();
    m_clock.start();
    m_lastEvents = 0;
}

void CStatisticRun::end(bool stopped)
{
    m_progress->hide();
    m_note->setVisible(stopped);
}

void CStatisticRun::stop()
{
    m_stopAsked = true;
    m_stop->setEnabled(false);
}

void CStatisticRun::showCount() { m_count->setText(QString::fromUtf8(kCounting).arg(m_rows)); }

void CStatisticRun::createColumns(const std::vector<stats::Column> &columns) { m_list.createColumns(columns); }

void CStatisticRun::addRow(const stats::Row &row)
{
    m_list.addRow(row);
    ++m_rows;
}

bool CStatisticRun::carryOn()
{
    if (!m_stopAsked && m_clock.elapsed() - m_lastEvents >= m_everyMs) {
        showCount();
        // The window has turned off every command but 停止 meanwhile: input
        // is handled now, never queued for later.
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        m_lastEvents = m_clock.elapsed();
    }
    return !m_stopAsked;
}
