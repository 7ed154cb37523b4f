#pragma once

#include <QByteArray>
#include <QtGlobal>

// Keeps a test from opening terminal windows on a developer's desktop: while it lives,
// there is no display, so a started conversion script runs without a window.
class NoDisplay {
public:
    NoDisplay()
        : m_display(qgetenv("DISPLAY")), m_wayland(qgetenv("WAYLAND_DISPLAY"))
    {
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }
    ~NoDisplay()
    {
        if (!m_display.isEmpty())
            qputenv("DISPLAY", m_display);
        if (!m_wayland.isEmpty())
            qputenv("WAYLAND_DISPLAY", m_wayland);
    }
    NoDisplay(const NoDisplay &) = delete;
    NoDisplay &operator=(const NoDisplay &) = delete;

private:
    QByteArray m_display;
    QByteArray m_wayland;
};
