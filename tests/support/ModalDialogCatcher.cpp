#include "ModalDialogCatcher.h"

#include <QApplication>
#include <QMessageBox>

ModalDialogCatcher::ModalDialogCatcher()
{
    // The message box runs its own event loop, in which this timer keeps firing.
    connect(&m_timer, &QTimer::timeout, this, &ModalDialogCatcher::closeMessageBox);
    m_timer.start(10);
}

void ModalDialogCatcher::closeMessageBox()
{
    if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
        m_texts.append(box->text());
        box->done(QMessageBox::Ok);
    }
}
