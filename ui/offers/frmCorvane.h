#pragma once

#include <QWidget>

#include <map>

// The offers window, shown when the main window closes: six panels that advertise the
// maker's other products. Each panel's picture and its Read more, Download and Buy
// buttons open a web address through the shell; nothing is reported back and nothing
// in the window ever changes. Closing it ends the program.
class frmCorvane : public QWidget {
    Q_OBJECT

public:
    explicit frmCorvane(QWidget *parent = nullptr);

private:
    // Builds panel 0 to 5 and enters its controls under their tab indexes.
    void buildPanel(int panel, std::map<int, QWidget *> &byTabIndex);
    void cmdBuy_Click(int index);
};
