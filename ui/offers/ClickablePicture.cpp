#include "ClickablePicture.h"

#include <QMouseEvent>

ClickablePicture::ClickablePicture(const QPixmap &picture, QWidget *parent)
    : QLabel(parent)
{
    setPixmap(picture);
    resize(picture.deviceIndependentSize().toSize());
}

void ClickablePicture::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
