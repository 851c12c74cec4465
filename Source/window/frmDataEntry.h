#pragma once

#include <QMainWindow>

// The program's one window.
class frmDataEntry : public QMainWindow {
    Q_OBJECT
public:
    explicit frmDataEntry(QWidget *parent = nullptr);
};
