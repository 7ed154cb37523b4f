#pragma once

#include <QObject>

class ConversionQueue;

// Ends the program once its last window has closed and no conversion runs or waits:
// closing the windows never drops a conversion the user asked for. A message about a
// conversion that ends later is a window of its own and keeps the program until closed.
class QuitPolicy : public QObject {
    Q_OBJECT

public:
    explicit QuitPolicy(const ConversionQueue &queue, QObject *parent = nullptr);

private:
    void quitIfDone();

    const ConversionQueue &m_queue;
};
