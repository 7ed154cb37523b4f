#include "ImageButton.h"
#include "MessageBoxCatcher.h"
#include "OfferCatalog.h"
#include "OffersWindow.h"

#include <QApplication>
#include <QFrame>
#include <QFontInfo>
#include <QLabel>
#include <QSet>
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

// The geometry is a table; what must hold whatever its numbers: six panels inside the
// window, each holding its own six controls, its title telling its own product.
TEST_F(OffersWindowTest, EachPanelHoldsItsOwnSixControls)
{
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    for (int panel = 1; panel <= 6; ++panel) {
        auto *frame = control<QFrame>(panelControl("Frame%1", panel));
        // The top edge sits one pixel above the window, as drawn.
        EXPECT_TRUE(window.rect().adjusted(0, -1, 0, 0).contains(frame->geometry())) << panel;
        const QList<QWidget *> controls = frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        EXPECT_EQ(controls.size(), 6) << panel;
        for (const QWidget *child : controls)
            EXPECT_TRUE(frame->rect().contains(child->geometry())) << child->objectName().toStdString();
        EXPECT_TRUE(controls.contains(control(panelControl("imgOffer%1", panel))));
        EXPECT_TRUE(controls.contains(control(panelControl("cmdOffer%1Download", panel))));
        const QLabel *title = frame->findChild<QLabel *>();
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), QString::fromUtf8(offers[panel - 1].title));
    }
}

TEST_F(OffersWindowTest, TitlesAreDrawnInArialOrItsMetricTwinAndDescriptionsWithoutCarriageReturns)
{
    for (int index = 0; index < 6; ++index) {
        // Where Arial is missing, as under Wine, Liberation Sans keeps the titles' widths.
        const QString drawnWith = QFontInfo(control(QStringLiteral("Label1(%1)").arg(index))->font()).family();
        EXPECT_TRUE(drawnWith == "Arial" || drawnWith == "Liberation Sans") << drawnWith.toStdString();

        auto *box = control<QTextEdit>(panelControl("Text%1", index + 1));
        EXPECT_EQ(box->toPlainText(), QString::fromUtf8(offers[index].description).remove(u'\r'));
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
