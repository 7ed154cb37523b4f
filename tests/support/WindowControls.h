#pragma once

// Finding the windows' controls by their design names, and driving them from the keyboard.

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// The window's control of that name, failing the test when there is none.
template <typename T = QWidget>
T *control(const QWidget &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

// The visible top-level window of that name, or none.
inline QWidget *visibleWindow(const QString &name)
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->objectName() == name && window->isVisible())
            return window;
    }
    return nullptr;
}

// Shows the window and waits until it has the keyboard.
inline bool showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The focused control's name, then the name after each of `presses` Tab presses.
inline QStringList tabCycle(int presses)
{
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < presses; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    return visited;
}
