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

enum class Kind { TextBox, ImageButton, Label, PushButton, DropDownList };

struct ControlDesign {
    const char *name;
    Kind kind;
    int left, top, width, height; // twips
    const char *text;
    const char *toolTip;
    // What a screen reader calls the control where its text does not say what it is for:
    // a box by what it holds, the list by its label.
    const char *accessibleName;
};

// In tab order. The status label and Command1 lie below the window's bottom edge at
// 1650 twips: out of sight, yet Command1 is still reached by Tab.
constexpr ControlDesign controlDesigns[] = {
    {"txtOutputAudio", Kind::TextBox, 255, 915, 6180, 285, "choose output file", nullptr, "Output file"},
    {"txtInputAudio", Kind::TextBox, 255, 330, 6180, 285, "choose input file", nullptr, "Input file"},
    {"cmdInput", Kind::ImageButton, 6585, 255, 1485, 420, "Browse input",
     "Browse to source audio file", nullptr},
    {"cmdOutput", Kind::ImageButton, 6600, 847, 1605, 420, "Browse output",
     "Select result file name and location", nullptr},
    {"cmdConvert", Kind::ImageButton, 8505, 735, 930, 690, "Convert",
     "Start conversion, choose input file to enable", nullptr},
    {"lblStatus", Kind::Label, 360, 5940, 3765, 210,
     "Status : Idle (Browse input to enable conversion)", nullptr, nullptr},
    {"Command1", Kind::PushButton, 8250, 5520, 1155, 300, "Command1", nullptr,
     "Write the conversion script only"},
    {"cmbMRRate", Kind::DropDownList, 8295, 300, 960, 315, nullptr, nullptr, "Bitrate"},
    {"Label1", Kind::Label, 8295, 75, 945, 180, "Bitrate :", nullptr, nullptr},
    {"Label2", Kind::Label, 9300, 345, 510, 225, "kbit/s", nullptr, nullptr},
};

struct ImageButtonDesign {
    const char *name;
    const char *picture;
    const char *disabledPicture;
    bool enabled;
    ImageButton::CaptionPosition captionPosition;
    ImageButton::Alignment pictureAlignment;
    int pictureOffsetY;
};

constexpr ImageButtonDesign imageButtonDesigns[] = {
    {"cmdInput", ":/main/BrowseInput.ico", ":/main/BrowseInput-disabled.bmp", true,
     ImageButton::CaptionPosition::RightOfPicture, ImageButton::Alignment::MiddleLeft, 0},
    {"cmdOutput", ":/main/BrowseOutput.ico", ":/main/BrowseOutput-disabled.bmp", true,
     ImageButton::CaptionPosition::RightOfPicture, ImageButton::Alignment::MiddleLeft, 0},
    // Convert is disabled until an input file is chosen.
    {"cmdConvert", ":/main/Convert.ico", ":/main/Convert-disabled.bmp", false,
     ImageButton::CaptionPosition::BelowPicture, ImageButton::Alignment::Center, -5},
};

// Client area: 9795 x 1650 twips.
constexpr int clientWidth = 9795;
constexpr int clientHeight = 1650;

QWidget *createControl(const ControlDesign &design, QWidget *parent)
{
    const QString text = QString::fromUtf8(design.text);
    switch (design.kind) {
    case Kind::TextBox: {
        auto *box = new QLineEdit(text, parent);
        box->setFrame(false);
        return box;
    }
    case Kind::ImageButton: {
        auto *button = new ImageButton(parent);
        button->setText(text);
        return button;
    }
    case Kind::Label:
        return new QLabel(text, parent);
    case Kind::PushButton:
        return new QPushButton(text, parent);
    case Kind::DropDownList:
        return new QComboBox(parent);
    }
    return nullptr;
}

void applyImageButtonDesign(ImageButton &button, const ImageButtonDesign &design)
{
    ButtonDesign::mainWindow.applyTo(button);
    button.setIcon(QIcon(QString::fromUtf8(design.picture)));
    button.setDisabledPicture(QImage(QString::fromUtf8(design.disabledPicture)));
    button.setEnabled(design.enabled);
    button.setCaptionPosition(design.captionPosition);
    button.setPictureAlignment(design.pictureAlignment);
    button.setPictureOffsetY(design.pictureOffsetY);
}

} // namespace

MainWindow::MainWindow(ConversionQueue &queue, QWidget *parent)
    : QWidget(parent), m_queue(queue), m_fileDialog(this)
{
    setObjectName(QStringLiteral("frmAMRConvert"));
    setWindowTitle(windowCaption);
    setWindowIcon(QIcon(QStringLiteral(":/main/AMRConvert.ico")));
    // The layout is fixed; the window keeps its designed size.
    setFixedSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));
    setAcceptDrops(true);
    buildControls();

    const auto button = [this](const char *name) {
        return findChild<QAbstractButton *>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
    };
    connect(button("cmdInput"), &QAbstractButton::clicked, this, &MainWindow::browseInput);
    connect(button("cmdOutput"), &QAbstractButton::clicked, this, &MainWindow::browseOutput);
    connect(button("cmdConvert"), &QAbstractButton::clicked, this, &MainWindow::convert);
    // Out of sight below the window's edge, yet reached by Tab: writes the script alone.
    connect(button("Command1"), &QAbstractButton::clicked, this, &MainWindow::writeScriptOnly);
    connect(&m_queue, &ConversionQueue::finished, this,
            [this](const ConversionRequest &, const ConversionOutcome &outcome) { showOutcome(outcome); });
    connect(&m_queue, &ConversionQueue::waitingChanged, this, &MainWindow::showWaiting);

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    m_rateList->setCurrentIndex(BitRateModes::defaultIndex);
}

void MainWindow::buildControls()
{
    QWidget *previous = nullptr;
    for (const ControlDesign &design : controlDesigns) {
        QWidget *control = createControl(design, this);
        control->setObjectName(QString::fromUtf8(design.name));
        control->setGeometry(Twips::toPixels(design.left, design.top, design.width, design.height));
        if (design.toolTip)
            control->setToolTip(QString::fromUtf8(design.toolTip));
        if (design.accessibleName)
            control->setAccessibleName(QString::fromUtf8(design.accessibleName));
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }

    const auto control = [this](const char *name) {
        return findChild<QWidget *>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
    };
    m_outputBox = static_cast<QLineEdit *>(control("txtOutputAudio"));
    m_inputBox = static_cast<QLineEdit *>(control("txtInputAudio"));
    m_convertButton = static_cast<ImageButton *>(control("cmdConvert"));
    m_rateList = static_cast<QComboBox *>(control("cmbMRRate"));

    for (const ImageButtonDesign &design : imageButtonDesigns)
        applyImageButtonDesign(*static_cast<ImageButton *>(control(design.name)), design);
    for (const QString &rate : BitRateModes::rateTexts())
        m_rateList->addItem(rate, 0);
    // Screen readers on Linux take a list's name from the label it is the buddy of.
    static_cast<QLabel *>(control("Label1"))->setBuddy(m_rateList);
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
