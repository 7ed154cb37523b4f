#pragma once

#include <QLabel>

// A picture shown at its natural size that reports a click on it.
class ClickablePicture : public QLabel {
    Q_OBJECT

public:
    explicit ClickablePicture(const QPixmap &picture, QWidget *parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};
