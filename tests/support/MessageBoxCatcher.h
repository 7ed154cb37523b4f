#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// While alive, closes every message box that opens, modal or not, and keeps its text,
// so tests can check what the user would have been told without anyone pressing OK.
class MessageBoxCatcher : public QObject {
public:
    MessageBoxCatcher();

    // The texts of the boxes shown so far, those still open included.
    const QStringList &texts();

private:
    void closeMessageBoxes();

    QTimer m_timer;
    QStringList m_texts;
};
