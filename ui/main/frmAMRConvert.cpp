#include "frmAMRConvert.h"

#include "BitRateModes.h"
#include "ButtonDesign.h"
#include "ConversionQueue.h"
#include "ConversionRequest.h"
#include "ImageButton.h"
#include "OutputFileName.h"
#include "Twips.h"
#include "frmCorvane.h"

#include <QComboBox>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>

namespace {

const QString windowCaption = QStringLiteral("Free Tarvik AMR Format Converter");

enum class Kind { TextBox, ImageButton, Label, PushButton, DropDownList };

struct ControlDesign {
    const char *name;
    Kind kind;
    int left, top, width, height; // twips
    const char *text;
    const char *toolTip;
};

// In tab order. The status label and Command1 lie below the window's bottom edge at
// 1650 twips: out of sight, yet Command1 is still reached by Tab.
constexpr ControlDesign controlDesigns[] = {
    {"txtOutputAudio", Kind::TextBox, 255, 915, 6180, 285, "choose output file", nullptr},
    {"txtInputAudio", Kind::TextBox, 255, 330, 6180, 285, "choose input file", nullptr},
    {"cmdInput", Kind::ImageButton, 6585, 255, 1485, 420, "Browse input",
     "Browse to source audio file"},
    {"cmdOutput", Kind::ImageButton, 6600, 847, 1605, 420, "Browse output",
     "Select result file name and location"},
    {"cmdConvert", Kind::ImageButton, 8505, 735, 930, 690, "Convert",
     "Start conversion, choose input file to enable"},
    {"lblStatus", Kind::Label, 360, 5940, 3765, 210,
     "Status : Idle (Browse input to enable conversion)", nullptr},
    {"Command1", Kind::PushButton, 8250, 5520, 1155, 300, "Command1", nullptr},
    {"cmbMRRate", Kind::DropDownList, 8295, 300, 960, 315, nullptr, nullptr},
    {"Label1", Kind::Label, 8295, 75, 945, 180, "Bitrate :", nullptr},
    {"Label2", Kind::Label, 9300, 345, 510, 225, "kbit/s", nullptr},
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
        button->setCaption(text);
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
    button.setPicture(QIcon(QString::fromUtf8(design.picture)));
    button.setDisabledPicture(QImage(QString::fromUtf8(design.disabledPicture)));
    button.setEnabled(design.enabled);
    button.setCaptionPosition(design.captionPosition);
    button.setPictureAlignment(design.pictureAlignment);
    button.setPictureOffsetY(design.pictureOffsetY);
}

} // namespace

frmAMRConvert::frmAMRConvert(ConversionQueue &queue, QWidget *parent)
    : QWidget(parent), m_queue(queue), dlgAudio(this)
{
    setObjectName(QStringLiteral("frmAMRConvert"));
    setWindowTitle(windowCaption);
    setWindowIcon(QIcon(QStringLiteral(":/main/AMRConvert.ico")));
    // The layout is fixed; the window keeps its designed size.
    setFixedSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));
    setAcceptDrops(true);
    buildControls();

    connect(cmdInput, &ImageButton::Click, this, &frmAMRConvert::cmdInput_Click);
    connect(cmdOutput, &ImageButton::Click, this, &frmAMRConvert::cmdOutput_Click);
    connect(cmdConvert, &ImageButton::Click, this, &frmAMRConvert::cmdConvert_Click);
    connect(Command1, &QPushButton::clicked, this, &frmAMRConvert::Command1_Click);
    connect(&m_queue, &ConversionQueue::finished, this,
            [this](const ConversionRequest &, const ConversionOutcome &outcome) { showOutcome(outcome); });
    connect(&m_queue, &ConversionQueue::waitingChanged, this, &frmAMRConvert::showWaiting);

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    Form_Load();
}

void frmAMRConvert::buildControls()
{
    QWidget *previous = nullptr;
    for (const ControlDesign &design : controlDesigns) {
        QWidget *control = createControl(design, this);
        control->setObjectName(QString::fromUtf8(design.name));
        control->setGeometry(Twips::toPixels(design.left, design.top, design.width, design.height));
        if (design.toolTip)
            control->setToolTip(QString::fromUtf8(design.toolTip));
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }

    const auto control = [this](const char *name) {
        return findChild<QWidget *>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
    };
    txtOutputAudio = static_cast<QLineEdit *>(control("txtOutputAudio"));
    txtInputAudio = static_cast<QLineEdit *>(control("txtInputAudio"));
    cmdInput = static_cast<ImageButton *>(control("cmdInput"));
    cmdOutput = static_cast<ImageButton *>(control("cmdOutput"));
    cmdConvert = static_cast<ImageButton *>(control("cmdConvert"));
    lblStatus = static_cast<QLabel *>(control("lblStatus"));
    Command1 = static_cast<QPushButton *>(control("Command1"));
    cmbMRRate = static_cast<QComboBox *>(control("cmbMRRate"));
    Label1 = static_cast<QLabel *>(control("Label1"));
    Label2 = static_cast<QLabel *>(control("Label2"));

    for (const ImageButtonDesign &design : imageButtonDesigns)
        applyImageButtonDesign(*static_cast<ImageButton *>(control(design.name)), design);
    for (const QString &rate : BitRateModes::rateTexts())
        cmbMRRate->addItem(rate, 0);
    txtOutputAudio->setFocus();
}

frmAMRConvert::~frmAMRConvert() = default;

void frmAMRConvert::Form_Load()
{
    cmbMRRate->setCurrentIndex(BitRateModes::defaultIndex);
}

void frmAMRConvert::Form_Unload()
{
    if (!m_offers)
        m_offers = std::make_unique<frmCorvane>();
    m_offers->show();
}

void frmAMRConvert::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmAMRConvert::cmdInput_Click()
{
    dlgAudio.setTitle(QStringLiteral("Select file to convert"));
    dlgAudio.setFilter(QStringLiteral("MP3|*.mp3"));
    dlgAudio.setFilterIndex(1);
    dlgAudio.setFlags(FileDialog::hideReadOnly);
    dlgAudio.showOpen();
    useInputFile(dlgAudio.fileName());
}

void frmAMRConvert::cmdOutput_Click()
{
    dlgAudio.setTitle(QStringLiteral("Select output file name"));
    dlgAudio.setFilter(QStringLiteral("Adaptive Multi Rate - AMR|*.amr"));
    dlgAudio.setFilterIndex(1);
    dlgAudio.setFlags(FileDialog::hideReadOnly);
    dlgAudio.showSave();
    // An empty name is a cancel: the output box keeps its text.
    if (!dlgAudio.fileName().isEmpty())
        txtOutputAudio->setText(amrFileNameFor(dlgAudio.fileName()));
}

void frmAMRConvert::useInputFile(const QString &fileName)
{
    // An empty name is a cancel: nothing changes.
    if (fileName.isEmpty())
        return;
    txtInputAudio->setText(fileName);
    txtOutputAudio->setText(amrFileNameFor(fileName));
    cmdConvert->setEnabled(true);
}

ConversionRequest frmAMRConvert::currentRequest() const
{
    return {txtInputAudio->text(), txtOutputAudio->text(), cmbMRRate->currentText()};
}

void frmAMRConvert::cmdConvert_Click()
{
    if (const Status failure = m_queue.convert(currentRequest(), QDir::currentPath()))
        showFailure(*failure);
}

void frmAMRConvert::Command1_Click()
{
    if (const Status failure = m_queue.writeScript(currentRequest(), QDir::currentPath()))
        showFailure(*failure);
}

void frmAMRConvert::showFailure(const Failure &failure)
{
    QMessageBox::warning(this, windowCaption, failure.message);
}

void frmAMRConvert::showOutcome(const ConversionOutcome &outcome)
{
    if (outcome.made || outcome.shownInConsole)
        return;
    // The conversion ran while the user went on, perhaps after closing this window: the
    // message stands on its own and waits for nobody.
    auto *box = new QMessageBox(QMessageBox::Warning, windowCaption, outcome.failure,
                                QMessageBox::Ok, isVisible() ? this : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

void frmAMRConvert::showWaiting(int count)
{
    if (count == 0)
        setWindowTitle(windowCaption);
    else if (count == 1)
        setWindowTitle(windowCaption + QStringLiteral(" - 1 conversion waiting"));
    else
        setWindowTitle(windowCaption + QStringLiteral(" - %1 conversions waiting").arg(count));
}

void frmAMRConvert::dragEnterEvent(QDragEnterEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() == 1 && urls.constFirst().isLocalFile())
        event->acceptProposedAction();
}

void frmAMRConvert::dropEvent(QDropEvent *event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return;
    event->acceptProposedAction();
    useInputFile(QDir::toNativeSeparators(urls.constFirst().toLocalFile()));
}
