#pragma once

#include "Browser.h"

#include <QWidget>

#include <map>

// The offers window, shown when the main window has closed: six panels that advertise
// the maker's other products. Each panel's picture and its Read more, Download and Buy
// buttons open a web address; nothing is reported back and nothing in the window ever
// changes. The window and its controls carry their design names as object names
// ("frmCorvane", "cmdOffer1ReadMore", "cmdBuy(0)", ...).
class OffersWindow : public QWidget {
    Q_OBJECT

public:
    explicit OffersWindow(LinkOpener openLink = openInBrowser, QWidget *parent = nullptr);

private:
    // Builds panel 0 to 5 and enters its controls under their tab indexes.
    void buildPanel(int panel, std::map<int, QWidget *> &byTabIndex);
    LinkOpener m_openLink;
};
