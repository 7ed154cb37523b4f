#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

// While alive, closes every message box that opens and keeps its text, so tests can
// check what the user would have been told without anyone pressing OK.
class ModalDialogCatcher : public QObject {
public:
    ModalDialogCatcher();

    const QStringList &texts() const { return m_texts; }

private:
    void closeMessageBox();

    QTimer m_timer;
    QStringList m_texts;
};
