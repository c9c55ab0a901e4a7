#include "app/main_frame.h"

#include "db/connection.h"

#include <QMessageBox>

CMainFrame::CMainFrame(const QString &userName, QWidget *parent) : QMainWindow(parent), m_userName(userName)
{
    setWindowTitle(QStringLiteral("Pennaro"));
    try {
        m_connection = std::make_unique<db::Connection>(db::kConnectionString);
    } catch (const db::Error &) {
        QMessageBox::warning(this, windowTitle(), QString::fromUtf8(db::kConnectFailedMessage));
    }
}

CMainFrame::~CMainFrame() = default;
