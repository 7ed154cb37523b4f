#pragma once

#include "FileDialog.h"
#include "OutcomeNotice.h"
#include "Result.h"

#include <QWidget>

#include <memory>

class ConversionQueue;
class ImageButton;
class QComboBox;
class QLineEdit;
class QPushButton;
struct ConversionOutcome;
struct ConversionRequest;

// The main window: an input and an output file name, each with a browse button, the
// bit rate, and Convert, which hands the request to the conversion queue: it runs at
// once, or when the conversions before it have ended (the window's title counts those
// waiting). A request the queue refuses gets a message box; how each conversion ended,
// made or not, is told in a notice that takes nothing from the user's work. One music
// file dropped onto the window is taken as Browse input takes it; several are each
// converted beside themselves. The window and its controls carry their design names as
// object names ("frmAMRConvert", "cmdConvert", ...).
class MainWindow : public QWidget {
    Q_OBJECT

public:
    explicit MainWindow(ConversionQueue &queue, QWidget *parent = nullptr);

    // The shared file dialog of both browse buttons.
    FileDialog &fileDialog() { return m_fileDialog; }

signals:
    // The user closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildControls();
    void browseInput();
    void browseOutput();
    void convert();
    void writeScriptOnly();

    void useInputFile(const QString &fileName);
    void convertDropped(const QStringList &files, const QStringList &folders);
    ConversionRequest currentRequest() const;
    void showFailure(const Failure &failure);
    void showOutcome(const ConversionOutcome &outcome);
    void showWaiting(int count);

    ConversionQueue &m_queue;
    QLineEdit *m_outputBox = nullptr;
    QLineEdit *m_inputBox = nullptr;
    ImageButton *m_inputButton = nullptr;
    ImageButton *m_outputButton = nullptr;
    ImageButton *m_convertButton = nullptr;
    QPushButton *m_scriptButton = nullptr;
    QComboBox *m_rateList = nullptr;
    FileDialog m_fileDialog;
    // Made with the first outcome: a message box takes long to make, and the window
    // should show at once.
    std::unique_ptr<OutcomeNotice> m_notice;
};
