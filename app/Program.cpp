#include "Program.h"

#include "OffersWindow.h"

Program::Program(ToolFolder toolFolder)
    : m_conversions(std::move(toolFolder)), m_quitPolicy(m_conversions), m_mainWindow(m_conversions)
{
    QObject::connect(&m_mainWindow, &MainWindow::closed, [this] { showOffers(); });
}

Program::~Program() = default;

void Program::showOffers()
{
    if (!m_offers)
        m_offers = std::make_unique<OffersWindow>();
    m_offers->show();
}
