#pragma once

#include "ConversionQueue.h"
#include "MainWindow.h"
#include "QuitPolicy.h"

#include <memory>

class OffersWindow;

// The program's parts and how they meet: the main window asks the conversion queue for
// conversions; when the main window has closed, the offers window appears; the program
// ends once no window is left and no conversion runs or waits.
class Program {
public:
    explicit Program(ToolFolder toolFolder);
    ~Program();

    MainWindow &mainWindow() { return m_mainWindow; }
    ConversionQueue &conversions() { return m_conversions; }

private:
    void showOffers();

    ConversionQueue m_conversions;
    QuitPolicy m_quitPolicy;
    MainWindow m_mainWindow;
    // Made when first needed; a window of its own, without an owner.
    std::unique_ptr<OffersWindow> m_offers;
};
