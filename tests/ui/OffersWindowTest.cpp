#include "MessageBoxCatcher.h"
#include "OffersWindow.h"

#include <QApplication>
#include <QFrame>
#include <QFontInfo>
#include <QLabel>
#include <QTest>
#include <QTextEdit>

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

// The products of panels 1 to 6, and the name their addresses give each.
struct Product {
    const char *title;
    const char *addressName;
};
const Product products[] = {
    {"Audio Editor", "audio-editor"}, {"Sound Recorder Plus", "sound-recorder-plus"},
    {"Video to MP3 Extractor", "video-to-mp3-extractor"}, {"MP3 Splitter", "mp3-splitter"},
    {"Tag Organizer", "tag-organizer"}, {"Audio Joiner", "audio-joiner"},
};

} // namespace

// The geometry is a table; what must hold whatever its numbers: six panels inside the
// window, each holding its own six controls and telling of its own product.
TEST_F(OffersWindowTest, EachPanelHoldsItsOwnSixControlsAndTellsOfItsProduct)
{
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    for (int panel = 1; panel <= 6; ++panel) {
        SCOPED_TRACE(panel);
        auto *frame = control<QFrame>(panelControl("Frame%1", panel));
        EXPECT_TRUE(window.rect().adjusted(0, -1, 0, 0).contains(frame->geometry()));
        if (panel <= 2) {
            EXPECT_EQ(frame->y(), -1) << "the top row's upper edge hidden above the window";
        }
        const QList<QWidget *> controls = frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        EXPECT_EQ(controls.size(), 6);
        for (const QWidget *child : controls)
            EXPECT_TRUE(frame->rect().contains(child->geometry())) << child->objectName().toStdString();
        EXPECT_TRUE(controls.contains(control(panelControl("imgOffer%1", panel))));
        EXPECT_TRUE(controls.contains(control(panelControl("cmdOffer%1Download", panel))));

        const QString product = QString::fromUtf8(products[panel - 1].title);
        const QLabel *title = frame->findChild<QLabel *>();
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), product);
        // Where Arial is missing, as under Wine, Liberation Sans keeps the titles' widths.
        const QString drawnWith = QFontInfo(title->font()).family();
        EXPECT_TRUE(drawnWith == "Arial" || drawnWith == "Liberation Sans") << drawnWith.toStdString();
        EXPECT_TRUE(control<QTextEdit>(panelControl("Text%1", panel))->toPlainText().contains(product));
    }
}

TEST_F(OffersWindowTest, PicturesAndButtonsOpenTheirOwnProductsAddresses)
{
    for (int panel = 1; panel <= 6; ++panel) {
        SCOPED_TRACE(panel);
        const QString name = QString::fromUtf8(products[panel - 1].addressName);
        const QString page = "https://www.corvane.example/products/" + name + ".html";
        EXPECT_EQ(addressOpenedBy(panelControl("cmdOffer%1ReadMore", panel)), page);
        EXPECT_EQ(addressOpenedBy(panelControl("cmdOffer%1Download", panel)),
                  "https://www.corvane.example/download/" + name + "-setup.exe");
        // Picture 5 opens screenshots of its product, the others their product's page.
        EXPECT_EQ(addressOpenedBy(panelControl("imgOffer%1", panel)),
                  panel == 5 ? "https://www.corvane.example/products/tag-organizer-screenshots.html" : page);
    }
    // One store page sells every product.
    for (int index = 0; index < 6; ++index)
        EXPECT_EQ(addressOpenedBy(QStringLiteral("cmdBuy(%1)").arg(index)),
                  "https://shop.corvane.example/corvane-software.html");
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
    EXPECT_EQ(addressOpenedBy("cmdOffer2Download"),
              "https://www.corvane.example/download/sound-recorder-plus-setup.exe");
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
