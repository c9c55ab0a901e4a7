#pragma once

#include <QDialog>

// The about box: the program's icon, its version line and 关闭.
class CAboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDialog(QWidget *parent = nullptr);
};
