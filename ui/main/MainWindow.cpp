#include "MainWindow.h"

#include "BitRateModes.h"
#include "ButtonDesign.h"
#include "ConversionQueue.h"
#include "ConversionRequest.h"
#include "ImageButton.h"
#include "OutputFileName.h"
#include "Twips.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace {

const QString windowCaption = QStringLiteral("Free Tarvik AMR Format Converter");

// Where a control sits, what it says and how a screen reader calls it.
struct ControlDesign {
    const char *name;
    int left, top, width, height; // twips
    const char *text;
    const char *toolTip;
    // Where the text does not say what the control is for: a box by what it holds, the
    // list by its label.
    const char *accessibleName;
};

// The controls, in tab order. The status label and Command1 lie below the window's
// bottom edge at 1650 twips: out of sight, yet Command1 is still reached by Tab.
namespace Design {
constexpr ControlDesign outputBox{"txtOutputAudio", 255, 915, 6180, 285, "choose output file", nullptr, "Output file"};
constexpr ControlDesign inputBox{"txtInputAudio", 255, 330, 6180, 285, "choose input file", nullptr, "Input file"};
constexpr ControlDesign inputButton{"cmdInput", 6585, 255, 1485, 420, "Browse input", "Browse to source audio file",
                                    nullptr};
constexpr ControlDesign outputButton{"cmdOutput", 6600, 847, 1605, 420, "Browse output",
                                     "Select result file name and location", nullptr};
constexpr ControlDesign convertButton{"cmdConvert", 8505, 735, 930, 690, "Convert",
                                      "Start conversion, choose input file to enable", nullptr};
constexpr ControlDesign statusLabel{"lblStatus", 360, 5940, 3765, 210,
                                    "Status : Idle (Browse input to enable conversion)", nullptr, nullptr};
constexpr ControlDesign scriptButton{"Command1", 8250, 5520, 1155, 300, "Command1", nullptr,
                                     "Write the conversion script only"};
constexpr ControlDesign rateList{"cmbMRRate", 8295, 300, 960, 315, nullptr, nullptr, "Bitrate"};
constexpr ControlDesign rateLabel{"Label1", 8295, 75, 945, 180, "Bitrate :", nullptr, nullptr};
constexpr ControlDesign unitLabel{"Label2", 9300, 345, 510, 225, "kbit/s", nullptr, nullptr};
} // namespace Design

struct ImageButtonDesign {
    const char *picture;
    const char *disabledPicture;
    bool enabled;
    ImageButton::CaptionPosition captionPosition;
    ImageButton::Alignment pictureAlignment;
    int pictureOffsetY;
};

namespace Design {
constexpr ImageButtonDesign inputButtonLook{":/main/BrowseInput.ico", ":/main/BrowseInput-disabled.bmp", true,
                                            ImageButton::CaptionPosition::RightOfPicture,
                                            ImageButton::Alignment::MiddleLeft, 0};
constexpr ImageButtonDesign outputButtonLook{":/main/BrowseOutput.ico", ":/main/BrowseOutput-disabled.bmp", true,
                                             ImageButton::CaptionPosition::RightOfPicture,
                                             ImageButton::Alignment::MiddleLeft, 0};
// Convert is disabled until an input file is chosen.
constexpr ImageButtonDesign convertButtonLook{":/main/Convert.ico", ":/main/Convert-disabled.bmp", false,
                                              ImageButton::CaptionPosition::BelowPicture,
                                              ImageButton::Alignment::Center, -5};
} // namespace Design

// Client area: 9795 x 1650 twips.
constexpr int clientWidth = 9795;
constexpr int clientHeight = 1650;

// A control of the window, placed and labelled as designed. Tab visits the controls in
// the order they are made.
template <typename Control>
Control *place(Control *control, const ControlDesign &design)
{
    control->setObjectName(QString::fromUtf8(design.name));
    control->setGeometry(Twips::toPixels(design.left, design.top, design.width, design.height));
    if constexpr (requires { control->setText(QString()); }) {
        if (design.text)
            control->setText(QString::fromUtf8(design.text));
    }
    if (design.toolTip)
        control->setToolTip(QString::fromUtf8(design.toolTip));
    // Naming wakes the screen readers' bridge, which takes longer to start than the
    // window takes to show; the names follow as soon as the window is up.
    if (design.accessibleName) {
        QTimer::singleShot(0, control, [control, name = design.accessibleName] {
            control->setAccessibleName(QString::fromUtf8(name));
        });
    }
    return control;
}

ImageButton *withLook(ImageButton *button, const ImageButtonDesign &design)
{
    ButtonDesign::mainWindow.applyTo(*button);
    button->setIcon(QIcon(QString::fromUtf8(design.picture)));
    button->setDisabledPicture(QString::fromUtf8(design.disabledPicture));
    button->setEnabled(design.enabled);
    button->setCaptionPosition(design.captionPosition);
    button->setPictureAlignment(design.pictureAlignment);
    button->setPictureOffsetY(design.pictureOffsetY);
    return button;
}

} // namespace

MainWindow::MainWindow(ConversionQueue &queue, QWidget *parent)
    : QWidget(parent), m_queue(queue), m_fileDialog(this)
{
    setObjectName(QStringLiteral("frmAMRConvert"));
    setWindowTitle(windowCaption);
    // The layout is fixed; the window keeps its designed size.
    setFixedSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));
    setAcceptDrops(true);
    buildControls();

    connect(m_inputButton, &QAbstractButton::clicked, this, &MainWindow::browseInput);
    connect(m_outputButton, &QAbstractButton::clicked, this, &MainWindow::browseOutput);
    connect(m_convertButton, &QAbstractButton::clicked, this, &MainWindow::convert);
    // Out of sight below the window's edge, yet reached by Tab: writes the script alone.
    connect(m_scriptButton, &QAbstractButton::clicked, this, &MainWindow::writeScriptOnly);
    connect(&m_queue, &ConversionQueue::finished, this,
            [this](const ConversionRequest &, const ConversionOutcome &outcome) { showOutcome(outcome); });
    connect(&m_queue, &ConversionQueue::waitingChanged, this, &MainWindow::showWaiting);

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    m_rateList->setCurrentIndex(BitRateModes::defaultIndex);
}

void MainWindow::buildControls()
{
    m_outputBox = place(new QLineEdit(this), Design::outputBox);
    m_inputBox = place(new QLineEdit(this), Design::inputBox);
    m_inputButton = withLook(place(new ImageButton(this), Design::inputButton), Design::inputButtonLook);
    m_outputButton = withLook(place(new ImageButton(this), Design::outputButton), Design::outputButtonLook);
    m_convertButton = withLook(place(new ImageButton(this), Design::convertButton), Design::convertButtonLook);
    place(new QLabel(this), Design::statusLabel);
    m_scriptButton = place(new QPushButton(this), Design::scriptButton);
    m_rateList = place(new QComboBox(this), Design::rateList);
    // Screen readers on Linux take a list's name from the label it is the buddy of.
    place(new QLabel(this), Design::rateLabel)->setBuddy(m_rateList);
    place(new QLabel(this), Design::unitLabel);

    for (QLineEdit *box : {m_outputBox, m_inputBox})
        box->setFrame(false);
    for (const QString &rate : BitRateModes::rateTexts())
        m_rateList->addItem(rate, 0);
    m_outputBox->setFocus();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closed();
}

void MainWindow::browseInput()
{
    m_fileDialog.setTitle(QStringLiteral("Select file to convert"));
    m_fileDialog.setFilter(QStringLiteral("MP3|*.mp3"));
    m_fileDialog.setFilterIndex(1);
    m_fileDialog.showOpen();
    useInputFile(m_fileDialog.fileName());
}

void MainWindow::browseOutput()
{
    m_fileDialog.setTitle(QStringLiteral("Select output file name"));
    m_fileDialog.setFilter(QStringLiteral("Adaptive Multi Rate - AMR|*.amr"));
    m_fileDialog.setFilterIndex(1);
    m_fileDialog.showSave();
    // An empty name is a cancel: the output box keeps its text.
    if (!m_fileDialog.fileName().isEmpty())
        m_outputBox->setText(amrFileNameFor(m_fileDialog.fileName()));
}

void MainWindow::useInputFile(const QString &fileName)
{
    // An empty name is a cancel: nothing changes.
    if (fileName.isEmpty())
        return;
    m_inputBox->setText(fileName);
    m_outputBox->setText(amrFileNameFor(fileName));
    m_convertButton->setEnabled(true);
}

ConversionRequest MainWindow::currentRequest() const
{
    return {m_inputBox->text(), m_outputBox->text(), m_rateList->currentText()};
}

void MainWindow::convert()
{
    if (const Status failure = m_queue.convert(currentRequest(), QDir::currentPath()))
        showFailure(*failure);
}

void MainWindow::writeScriptOnly()
{
    if (const Status failure = m_queue.writeScript(currentRequest(), QDir::currentPath()))
        showFailure(*failure);
}

void MainWindow::showFailure(const Failure &failure)
{
    QMessageBox::warning(this, windowCaption, failure.message);
}

void MainWindow::showOutcome(const ConversionOutcome &outcome)
{
    // The conversion ran while the user went on, perhaps after closing this window.
    if (!m_notice)
        m_notice = std::make_unique<OutcomeNotice>(windowCaption);
    m_notice->tell(outcome, *this);
}

void MainWindow::showWaiting(int count)
{
    if (count == 0)
        setWindowTitle(windowCaption);
    else if (count == 1)
        setWindowTitle(windowCaption + QStringLiteral(" - 1 conversion waiting"));
    else
        setWindowTitle(windowCaption + QStringLiteral(" - %1 conversions waiting").arg(count));
}

void MainWindow::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && std::all_of(urls.begin(), urls.end(), [](const QUrl &url) { return url.isLocalFile(); }))
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent *event)
{
    QStringList files;
    QStringList folders;
    for (const QUrl &url : event->mimeData()->urls()) {
        if (!url.isLocalFile())
            return;
        const QString path = QDir::toNativeSeparators(url.toLocalFile());
        (QFileInfo(path).isDir() ? folders : files).append(path);
    }
    event->acceptProposedAction();
    if (files.size() == 1 && folders.isEmpty())
        useInputFile(files.constFirst());
    else
        convertDropped(files, folders);
}

void MainWindow::convertDropped(const QStringList &files, const QStringList &folders)
{
    QStringList refusals;
    if (!folders.isEmpty()) {
        refusals.append(QStringLiteral("Folders are not converted: \"%1\". Drop the music files "
                                       "themselves.").arg(folders.join(QStringLiteral("\", \""))));
    }
    for (const QString &file : files) {
        const ConversionRequest request{file, amrFileNameFor(file), m_rateList->currentText()};
        if (const Status failure = m_queue.convert(request, QDir::currentPath()))
            refusals.append(failure->message);
    }
    // After the drop has ended: a message box inside it would hold up the program the
    // files were dragged from.
    if (!refusals.isEmpty()) {
        QTimer::singleShot(0, this, [this, refusals] {
            showFailure(Failure{refusals.join(QStringLiteral("\n\n"))});
        });
    }
}
