// The About box: caption and lines from AppConfig.ini (or the built-in
// texts) beside the program's picture.
#pragma once

#include <QDialog>

class AppConfig;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    CAboutDlg(const AppConfig& config, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
