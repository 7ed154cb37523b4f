#include "MessageBoxCatcher.h"

#include <QApplication>
#include <QMessageBox>

MessageBoxCatcher::MessageBoxCatcher()
{
    // A modal box runs its own event loop, in which this timer keeps firing.
    connect(&m_timer, &QTimer::timeout, this, &MessageBoxCatcher::closeMessageBoxes);
    m_timer.start(10);
}

const QStringList &MessageBoxCatcher::texts()
{
    closeMessageBoxes();
    return m_texts;
}

void MessageBoxCatcher::closeMessageBoxes()
{
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        m_texts.append(box->text());
        box->done(QMessageBox::Ok);
    }
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *box = qobject_cast<QMessageBox *>(window);
        if (box && box->isVisible()) {
            m_texts.append(box->text());
            box->done(QMessageBox::Ok);
        }
    }
}
