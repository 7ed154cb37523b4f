#include "QuitPolicy.h"

#include "ConversionQueue.h"

#include <QApplication>
#include <QWidget>

#include <algorithm>

QuitPolicy::QuitPolicy(const ConversionQueue &queue, QObject *parent)
    : QObject(parent), m_queue(queue)
{
    QApplication::setQuitOnLastWindowClosed(false);
    connect(qApp, &QGuiApplication::lastWindowClosed, this, &QuitPolicy::quitIfDone);
    connect(&queue, &ConversionQueue::idle, this, &QuitPolicy::quitIfDone, Qt::QueuedConnection);
}

void QuitPolicy::quitIfDone()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool windowOpen = std::any_of(windows.begin(), windows.end(),
                                        [](const QWidget *window) { return window->isVisible(); });
    if (!windowOpen && m_queue.isIdle())
        QCoreApplication::quit();
}
