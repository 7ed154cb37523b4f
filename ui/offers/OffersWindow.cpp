#include "OffersWindow.h"

#include "ButtonDesign.h"
#include "ClickablePicture.h"
#include "DesignFont.h"
#include "ImageButton.h"
#include "OfferCatalog.h"
#include "PointingHandCursor.h"
#include "Twips.h"

#include <QFrame>
#include <QLabel>
#include <QScreen>
#include <QTextEdit>

#include <map>

namespace {

const QString windowCaption = QStringLiteral("Corvane Products");

// Positions in twips, relative to the window for the panels and to the panel for the
// controls inside it.
struct Spot {
    int left, top;
};
struct Box {
    int left, top, width, height;
};

// The placement of one product panel. Tab indexes run over the whole window; only the
// buttons take focus, so Tab moves among them in the order of their indexes. The title
// labels and Buy buttons are elements of control arrays whose indexes do not follow the
// panel numbers.
struct PanelLayout {
    Spot frame;
    int frameTab;
    int titleIndex;
    Box title;
    int titleTab;
    Box description;
    int descriptionTab;
    Spot picture; // shown at its natural size
    Spot readMore;
    int readMoreTab;
    Spot download;
    int downloadTab;
    int buyIndex;
    Spot buy;
    int buyTab;
};

// The top row starts one pixel above the client area, hiding the upper frames' top
// edge, and each row overlaps the one above it by a pixel.
constexpr PanelLayout panelLayouts[] = {
    {{60, -15}, 0, 0, {2295, 180, 2835, 315}, 7, {2280, 585, 4515, 1725}, 6, {90, 195},
     {2250, 2310}, 18, {3945, 2310}, 19, 0, {5760, 2310}, 20},
    {{7230, -15}, 1, 2, {2430, 135, 3510, 315}, 9, {2430, 495, 4515, 1800}, 13, {135, 195},
     {2430, 2310}, 33, {4110, 2310}, 28, 1, {5820, 2310}, 21},
    {{60, 2820}, 2, 3, {2265, 105, 4245, 315}, 10, {2265, 405, 4665, 1980}, 14, {75, 195},
     {2235, 2385}, 31, {3945, 2385}, 26, 3, {5790, 2385}, 23},
    {{7230, 2820}, 3, 5, {2445, 210, 2835, 315}, 12, {2445, 630, 4515, 1725}, 15, {150, 225},
     {2475, 2310}, 34, {4080, 2310}, 29, 2, {5775, 2310}, 22},
    {{60, 5655}, 4, 4, {2235, 120, 4515, 330}, 11, {2235, 525, 4515, 1755}, 16, {90, 270},
     {2220, 2280}, 32, {3960, 2280}, 27, 4, {5820, 2280}, 24},
    {{7230, 5655}, 5, 1, {2400, 165, 2835, 315}, 8, {2400, 540, 4560, 1785}, 17, {105, 225},
     {2370, 2325}, 35, {4095, 2325}, 30, 5, {5775, 2310}, 25},
};

constexpr int frameWidth = 7095;
constexpr int frameHeight = 2850;
constexpr int buttonHeight = 405;
constexpr int clientWidth = 14385;
constexpr int clientHeight = 8550;

struct ButtonKind {
    const char *caption;
    const char *toolTip;
    const char *picture;
    const char *disabledPicture;
    int width;
    bool captionAlignedRight;
    // Six buttons share each caption: a screen reader names the product too.
    const char *accessibleName; // %1: the product
};

const ButtonKind readMoreKind{"Read more", "Read more about this product", ":/offers/ReadMore.ico",
                              ":/offers/ReadMore-disabled.bmp", 1350, true, "Read more about %1"};
const ButtonKind downloadKind{"Download", "Download software demo", ":/offers/Download.ico",
                              ":/offers/Download-disabled.bmp", 1470, false, "Download %1"};
const ButtonKind buyKind{"Buy", "Buy this product in web store", ":/offers/Buy.ico",
                         ":/offers/Buy-disabled.bmp", 1095, false, "Buy %1"};

QRect pixels(const Box &box)
{
    return Twips::toPixels(box.left, box.top, box.width, box.height);
}

QPoint pixels(const Spot &spot)
{
    return {Twips::toPixels(spot.left), Twips::toPixels(spot.top)};
}

void setWhiteBackground(QWidget &widget)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

ImageButton *createButton(const ButtonKind &kind, const QString &name, const Spot &spot,
                          const QString &product, QWidget *panel)
{
    auto *button = new ImageButton(panel);
    button->setObjectName(name);
    button->setAccessibleName(QString::fromUtf8(kind.accessibleName).arg(product));
    ButtonDesign::offersWindow.applyTo(*button);
    button->setText(QString::fromUtf8(kind.caption));
    button->setToolTip(QString::fromUtf8(kind.toolTip));
    button->setIcon(QIcon(QString::fromUtf8(kind.picture)));
    button->setDisabledPicture(QString::fromUtf8(kind.disabledPicture));
    if (kind.captionAlignedRight)
        button->setCaptionAlignment(ImageButton::Alignment::MiddleRight);
    button->setGeometry(Twips::toPixels(spot.left, spot.top, kind.width, buttonHeight));
    return button;
}

} // namespace

OffersWindow::OffersWindow(LinkOpener openLink, QWidget *parent)
    : QWidget(parent), m_openLink(std::move(openLink))
{
    setObjectName(QStringLiteral("frmCorvane"));
    setWindowTitle(windowCaption);
    setWindowIcon(QIcon(QStringLiteral(":/offers/Corvane.ico")));
    setWhiteBackground(*this);
    // The layout is fixed; the window keeps its designed size.
    setFixedSize(Twips::toPixels(clientWidth), Twips::toPixels(clientHeight));

    std::map<int, QWidget *> byTabIndex;
    for (int panel = 0; panel < int(std::size(panelLayouts)); ++panel)
        buildPanel(panel, byTabIndex);
    QWidget *previous = nullptr;
    for (const auto &[tabIndex, control] : byTabIndex) {
        if (previous)
            setTabOrder(previous, control);
        previous = control;
    }

    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void OffersWindow::buildPanel(int panel, std::map<int, QWidget *> &byTabIndex)
{
    const PanelLayout &layout = panelLayouts[panel];
    const Offer &offer = offers[panel];
    const QString number = QString::number(panel + 1);
    const QString product = QString::fromUtf8(offer.title);

    // An etched line like a captionless group box, drawn at the frame's very edge: the
    // top row's upper edge lies just above the client area and stays hidden.
    auto *frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setObjectName(QStringLiteral("Frame") + number);
    frame->setGeometry(QRect(pixels(layout.frame),
                             QSize(Twips::toPixels(frameWidth), Twips::toPixels(frameHeight))));
    setWhiteBackground(*frame);

    auto *title = new QLabel(product, frame);
    title->setObjectName(QStringLiteral("Label1(%1)").arg(layout.titleIndex));
    QFont titleFont;
    // Arial's metric twin where Arial is missing, as it is under Wine, which would
    // otherwise draw the titles with a serif.
    titleFont.setFamilies(installedFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")}));
    titleFont.setPointSizeF(14.25);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setGeometry(pixels(layout.title));

    auto *description = new QTextEdit(frame);
    description->setObjectName(QStringLiteral("Text") + number);
    description->setAccessibleName(QStringLiteral("About %1").arg(product));
    description->setPlainText(QString::fromUtf8(offer.description).remove(u'\r'));
    description->setReadOnly(true);
    description->setFrameShape(QFrame::NoFrame);
    // The narrow margin of a Windows edit box: the copy was written for that room.
    description->document()->setDocumentMargin(2);
    description->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A click may select text to copy, but Tab passes the box by.
    description->setFocusPolicy(Qt::ClickFocus);
    description->setTabChangesFocus(true);
    description->setGeometry(pixels(layout.description));

    auto *picture = new ClickablePicture(QPixmap(QString::fromUtf8(offer.picture)), frame);
    picture->setObjectName(QStringLiteral("imgOffer") + number);
    picture->move(pixels(layout.picture));
    picture->setCursor(pointingHandCursor());
    picture->setToolTip(QStringLiteral("Visit product page on the web"));
    picture->setAccessibleName(QStringLiteral("%1 on the web").arg(product));
    connect(picture, &ClickablePicture::clicked, this, [this, &offer] { m_openLink(offer.pictureLink); });

    auto *readMore = createButton(readMoreKind, QStringLiteral("cmdOffer%1ReadMore").arg(number),
                                  layout.readMore, product, frame);
    connect(readMore, &ImageButton::clicked, this, [this, &offer] { m_openLink(offer.pageLink); });
    auto *download = createButton(downloadKind, QStringLiteral("cmdOffer%1Download").arg(number),
                                  layout.download, product, frame);
    connect(download, &ImageButton::clicked, this, [this, &offer] { m_openLink(offer.setupLink); });
    auto *buy = createButton(buyKind, QStringLiteral("cmdBuy(%1)").arg(layout.buyIndex),
                             layout.buy, product, frame);
    // One store page sells every product.
    connect(buy, &ImageButton::clicked, this, [this] { m_openLink(LinkSlots::StoreLink); });

    byTabIndex.insert({{layout.frameTab, frame},
                       {layout.titleTab, title},
                       {layout.descriptionTab, description},
                       {layout.readMoreTab, readMore},
                       {layout.downloadTab, download},
                       {layout.buyTab, buy}});
}
