#include "ImageButton.h"
#include "MessageBoxCatcher.h"
#include "OfferCatalog.h"
#include "OffersWindow.h"

#include <QApplication>
#include <QFrame>
#include <QFontInfo>
#include <QLabel>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUrl>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The offers window with a recorder in place of the browser, so no browser ever starts.
class OffersWindowTest : public ::testing::Test {
protected:
    template <typename T = QWidget>
    T *control(const QString &name)
    {
        T *found = window.findChild<T *>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }

    // The address that a click on the control opens.
    QString addressOpenedBy(const QString &name)
    {
        opened.clear();
        QTest::mouseClick(control(name), Qt::LeftButton, {}, QPoint(5, 5));
        EXPECT_EQ(opened.size(), 1) << name.toStdString();
        return opened.value(0);
    }

    QStringList opened;
    bool browserFails = false;
    OffersWindow window{[this](const char *address) {
        opened.append(QString::fromUtf8(address));
        if (browserFails)
            throw std::runtime_error("no browser");
    }};
};

QString panelControl(const char *pattern, int panel)
{
    return QString::fromUtf8(pattern).arg(panel);
}

} // namespace

TEST_F(OffersWindowTest, WindowAndPanelsFollowTheDesign)
{
    EXPECT_EQ(window.windowTitle(), "Corvane Products");
    EXPECT_EQ(window.size(), QSize(959, 570));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(window.windowIcon().availableSizes(), QList<QSize>({{32, 32}, {16, 16}}));

    const QPoint framePositions[] = {{4, -1}, {482, -1}, {4, 188}, {482, 188}, {4, 377}, {482, 377}};
    for (int panel = 1; panel <= 6; ++panel) {
        auto *frame = control<QFrame>(panelControl("Frame%1", panel));
        EXPECT_EQ(frame->geometry(), QRect(framePositions[panel - 1], QSize(473, 190))) << panel;
        EXPECT_EQ(frame->palette().color(QPalette::Window), QColor(Qt::white));
        EXPECT_EQ(frame->frameShape(), QFrame::Box);
        EXPECT_EQ(frame->focusPolicy(), Qt::NoFocus);
    }
}

TEST_F(OffersWindowTest, EveryPanelHoldsItsSixControlsInPlace)
{
    // Panel by panel: title index and box, description box, picture place and size, and
    // the left/top of Read more, Download and the Buy element with its index.
    const struct {
        int titleIndex;
        QRect title;
        QRect description;
        QRect picture;
        QPoint readMore, download;
        int buyIndex;
        QPoint buy;
    } expected[] = {
        {0, {153, 12, 189, 21}, {152, 39, 301, 115}, {6, 13, 132, 160}, {150, 154}, {263, 154}, 0, {384, 154}},
        {2, {162, 9, 234, 21}, {162, 33, 301, 120}, {9, 13, 129, 160}, {162, 154}, {274, 154}, 1, {388, 154}},
        {3, {151, 7, 283, 21}, {151, 27, 311, 132}, {5, 13, 131, 160}, {149, 159}, {263, 159}, 3, {386, 159}},
        {5, {163, 14, 189, 21}, {163, 42, 301, 115}, {10, 15, 131, 160}, {165, 154}, {272, 154}, 2, {385, 154}},
        {4, {149, 8, 301, 22}, {149, 35, 301, 117}, {6, 18, 131, 160}, {148, 152}, {264, 152}, 4, {388, 152}},
        {1, {160, 11, 189, 21}, {160, 36, 304, 119}, {7, 15, 130, 160}, {158, 155}, {273, 155}, 5, {385, 154}},
    };
    for (int panel = 1; panel <= 6; ++panel) {
        const auto &want = expected[panel - 1];
        QWidget *frame = control(panelControl("Frame%1", panel));

        auto *title = control<QLabel>(QStringLiteral("Label1(%1)").arg(want.titleIndex));
        EXPECT_EQ(title->parentWidget(), frame);
        EXPECT_EQ(title->geometry(), want.title) << panel;
        EXPECT_EQ(title->text(), offers[panel - 1].title);
        EXPECT_EQ(title->font().family(), "Arial");
        // Where Arial is missing, as under Wine, its metric twin rather than a serif.
        const QString drawnWith = QFontInfo(title->font()).family();
        EXPECT_TRUE(drawnWith == "Arial" || drawnWith == "Liberation Sans") << drawnWith.toStdString();
        EXPECT_EQ(title->font().pointSizeF(), 14.25);
        EXPECT_EQ(title->font().weight(), QFont::Bold);
        EXPECT_FALSE(title->autoFillBackground()) << "the panel's white shows through";

        auto *description = control<QTextEdit>(panelControl("Text%1", panel));
        EXPECT_EQ(description->parentWidget(), frame);
        EXPECT_EQ(description->geometry(), want.description) << panel;
        EXPECT_EQ(description->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_EQ(description->lineWrapMode(), QTextEdit::WidgetWidth);
        EXPECT_EQ(description->frameShape(), QFrame::NoFrame);

        QWidget *picture = control(panelControl("imgOffer%1", panel));
        EXPECT_EQ(picture->geometry(), want.picture) << panel;
        EXPECT_EQ(picture->toolTip(), "Visit product page on the web");
        EXPECT_EQ(picture->cursor().shape(), Qt::BitmapCursor);

        const struct {
            QString name;
            QPoint place;
            QSize size;
            const char *caption;
            const char *toolTip;
        } buttons[] = {
            {panelControl("cmdOffer%1ReadMore", panel), want.readMore, {90, 27}, "Read more",
             "Read more about this product"},
            {panelControl("cmdOffer%1Download", panel), want.download, {98, 27}, "Download",
             "Download software demo"},
            {QStringLiteral("cmdBuy(%1)").arg(want.buyIndex), want.buy, {73, 27}, "Buy",
             "Buy this product in web store"},
        };
        for (const auto &button : buttons) {
            auto *widget = control<ImageButton>(button.name);
            EXPECT_EQ(widget->parentWidget(), frame) << button.name.toStdString();
            EXPECT_EQ(widget->geometry(), QRect(button.place, button.size)) << button.name.toStdString();
            EXPECT_EQ(widget->text(), button.caption);
            EXPECT_EQ(widget->toolTip(), button.toolTip);
            EXPECT_TRUE(widget->isEnabled());
            EXPECT_EQ(widget->font().weight(), QFont::Bold);
            EXPECT_EQ(widget->transparentColor(), QColor(Qt::white));
            EXPECT_FALSE(widget->icon().isNull());
        }
    }
}

TEST_F(OffersWindowTest, ProductCopyHasTheDesignedForm)
{
    const int titleLengths[] = {12, 19, 22, 12, 13, 12};
    const int descriptionLengths[] = {470, 496, 614, 452, 472, 453};
    for (int i = 0; i < 6; ++i) {
        const QString title = QString::fromUtf8(offers[i].title);
        const QString description = QString::fromUtf8(offers[i].description);
        EXPECT_EQ(title.size(), titleLengths[i]) << i;
        EXPECT_FALSE(title.contains(u'\n'));
        EXPECT_EQ(description.size(), descriptionLengths[i]) << i;
        EXPECT_TRUE(description.endsWith("\r\n")) << i;
        EXPECT_EQ(description.count(u'\r'), description.count(u'\n')) << i;
        EXPECT_EQ(description.count(u'\n'), description.count("\r\n")) << i;
        for (const QString &line : description.split("\r\n"))
            EXPECT_LE(line.size(), 612);

        auto *box = control<QTextEdit>(panelControl("Text%1", i + 1));
        EXPECT_EQ(box->toPlainText(), QString(description).remove(u'\r'));
    }
}

TEST_F(OffersWindowTest, PicturesAndButtonsOpenTheirOwnAddresses)
{
    QSet<QString> pages, setups, all;
    QString store;
    for (int panel = 1; panel <= 6; ++panel) {
        const QString page = addressOpenedBy(panelControl("cmdOffer%1ReadMore", panel));
        const QString setup = addressOpenedBy(panelControl("cmdOffer%1Download", panel));
        const QString picture = addressOpenedBy(panelControl("imgOffer%1", panel));
        if (panel == 5)
            EXPECT_NE(picture, page);
        else
            EXPECT_EQ(picture, page) << panel;
        pages.insert(page);
        setups.insert(setup);
        all.unite({page, setup, picture});
    }
    for (int index = 0; index < 6; ++index) {
        const QString address = addressOpenedBy(QStringLiteral("cmdBuy(%1)").arg(index));
        if (index == 0)
            store = address;
        EXPECT_EQ(address, store) << index;
        all.insert(address);
    }
    EXPECT_EQ(pages.size(), 6);
    EXPECT_EQ(setups.size(), 6);
    EXPECT_EQ(all.size(), 14);
    for (const QString &address : all) {
        const QUrl url(address, QUrl::StrictMode);
        EXPECT_TRUE(url.isValid()) << address.toStdString();
        EXPECT_EQ(url.scheme(), "https");
        EXPECT_TRUE(url.host().endsWith("corvane.example")) << address.toStdString();
    }
    for (const QString &setup : setups)
        EXPECT_TRUE(setup.endsWith(".exe")) << setup.toStdString();
}

TEST_F(OffersWindowTest, OnlyPicturesAndButtonsOpenAnything)
{
    for (int panel = 1; panel <= 6; ++panel) {
        QTest::mouseClick(control(panelControl("Frame%1", panel)), Qt::LeftButton, {}, QPoint(100, 185));
        QTest::mouseClick(control(panelControl("Text%1", panel))->findChild<QWidget *>("qt_scrollarea_viewport"),
                          Qt::LeftButton);
    }
    for (int index = 0; index < 6; ++index)
        QTest::mouseClick(control(QStringLiteral("Label1(%1)").arg(index)), Qt::LeftButton);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(OffersWindowTest, AFailingBrowserShowsNothingAndTheWindowStaysUsable)
{
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    MessageBoxCatcher catcher;
    browserFails = true;
    addressOpenedBy("imgOffer4");
    addressOpenedBy("cmdBuy(1)");
    QTest::qWait(50);

    EXPECT_TRUE(catcher.texts().isEmpty());
    EXPECT_TRUE(window.isVisible());
    browserFails = false;
    EXPECT_EQ(addressOpenedBy("cmdOffer2Download"), LinkSlots::Offer2SetupLink);
}

TEST_F(OffersWindowTest, TabMovesOnlyAmongTheEighteenButtonsInDesignOrder)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    control("cmdOffer1ReadMore")->setFocus();

    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < 18; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited.append(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(visited, QStringList({"cmdOffer1ReadMore", "cmdOffer1Download", "cmdBuy(0)",
                                    "cmdBuy(1)", "cmdBuy(2)", "cmdBuy(3)", "cmdBuy(4)",
                                    "cmdBuy(5)", "cmdOffer3Download", "cmdOffer5Download",
                                    "cmdOffer2Download", "cmdOffer4Download",
                                    "cmdOffer6Download", "cmdOffer3ReadMore",
                                    "cmdOffer5ReadMore", "cmdOffer2ReadMore",
                                    "cmdOffer4ReadMore", "cmdOffer6ReadMore",
                                    "cmdOffer1ReadMore"}));
}
