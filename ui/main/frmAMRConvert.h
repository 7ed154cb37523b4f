#pragma once

#include "FileDialog.h"
#include "Result.h"

#include <QWidget>

#include <memory>

class ConversionQueue;
class ImageButton;
class frmCorvane;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct ConversionOutcome;
struct ConversionRequest;

// The main window: an input and an output file name, each with a browse button, the
// bit rate, and Convert, which hands the request to the conversion queue: it runs at
// once, or when the conversions before it have ended (the window's title counts those
// waiting). A request the queue refuses, and a conversion that made no file without
// saying why in its console, get a message box. The controls carry their design names
// as object names.
class frmAMRConvert : public QWidget {
    Q_OBJECT

public:
    explicit frmAMRConvert(ConversionQueue &queue, QWidget *parent = nullptr);
    ~frmAMRConvert() override;

    // The shared file dialog of both browse buttons.
    FileDialog &fileDialog() { return dlgAudio; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void Form_Load();
    void Form_Unload();
    void cmdInput_Click();
    void cmdOutput_Click();
    void cmdConvert_Click();
    void Command1_Click();

    void buildControls();
    void useInputFile(const QString &fileName);
    ConversionRequest currentRequest() const;
    void showFailure(const Failure &failure);
    void showOutcome(const ConversionOutcome &outcome);
    void showWaiting(int count);

    ConversionQueue &m_queue;
    QLineEdit *txtOutputAudio = nullptr;
    QLineEdit *txtInputAudio = nullptr;
    ImageButton *cmdInput = nullptr;
    ImageButton *cmdOutput = nullptr;
    ImageButton *cmdConvert = nullptr;
    QLabel *lblStatus = nullptr;
    QPushButton *Command1 = nullptr;
    QComboBox *cmbMRRate = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    FileDialog dlgAudio;
    // Shown when this window closes; a window of its own, not owned by this one.
    std::unique_ptr<frmCorvane> m_offers;
};
