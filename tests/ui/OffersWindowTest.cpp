#include "OffersWindow.h"
#include "QStringPrinter.h"
#include "WindowControls.h"

#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QTextEdit>

namespace {

// The offers window with a recorder in place of the browser, so no browser ever starts.
class OffersWindowTest : public ::testing::Test {
protected:
    // The control of a panel, by its design name's pattern: "imgOffer%1".
    template <typename T = QWidget>
    T *of(const char *pattern, int panel)
    {
        return control<T>(window, QString(pattern).arg(panel));
    }

    // The addresses that a click on the control opens.
    QStringList openedBy(QWidget *clicked)
    {
        opened.clear();
        QTest::mouseClick(clicked, Qt::LeftButton, {}, QPoint(5, 5));
        return opened;
    }

    QStringList opened;
    OffersWindow window{[this](const char *address) { opened.append(QString::fromUtf8(address)); }};
};

// The products of panels 1 to 6, and the name their addresses give each.
const struct {
    const char *title;
    const char *addressName;
} products[] = {
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
        QWidget *frame = of("Frame%1", panel);
        EXPECT_TRUE(window.rect().adjusted(0, -1, 0, 0).contains(frame->geometry()));
        if (panel <= 2) {
            EXPECT_EQ(frame->y(), -1) << "the top row's upper edge hidden above the window";
        }
        const QList<QWidget *> controls = frame->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        EXPECT_EQ(controls.size(), 6);
        for (const QWidget *child : controls)
            EXPECT_TRUE(frame->rect().contains(child->geometry())) << child->objectName();
        EXPECT_TRUE(controls.contains(of("imgOffer%1", panel)));
        EXPECT_TRUE(controls.contains(of("cmdOffer%1Download", panel)));

        const QString product = QString::fromUtf8(products[panel - 1].title);
        const QLabel *title = frame->findChild<QLabel *>();
        ASSERT_NE(title, nullptr);
        EXPECT_EQ(title->text(), product);
        // Where Arial is missing, as under Wine, Liberation Sans keeps the titles' widths.
        const QString drawnWith = QFontInfo(title->font()).family();
        EXPECT_TRUE(drawnWith == "Arial" || drawnWith == "Liberation Sans") << drawnWith;
        EXPECT_TRUE(of<QTextEdit>("Text%1", panel)->toPlainText().contains(product));
    }
}

TEST_F(OffersWindowTest, PicturesAndButtonsOpenTheirOwnProductsAddresses)
{
    for (int panel = 1; panel <= 6; ++panel) {
        SCOPED_TRACE(panel);
        const QString name = QString::fromUtf8(products[panel - 1].addressName);
        const QString page = "https://www.corvane.example/products/" + name + ".html";
        EXPECT_EQ(openedBy(of("cmdOffer%1ReadMore", panel)), QStringList{page});
        EXPECT_EQ(openedBy(of("cmdOffer%1Download", panel)),
                  QStringList{"https://www.corvane.example/download/" + name + "-setup.exe"});
        // Picture 5 opens screenshots of its product, the others their product's page.
        EXPECT_EQ(openedBy(of("imgOffer%1", panel)),
                  QStringList{panel == 5 ? "https://www.corvane.example/products/tag-organizer-screenshots.html" : page});
        // One store page sells every product; the Buy buttons are counted from 0.
        EXPECT_EQ(openedBy(of("cmdBuy(%1)", panel - 1)), QStringList{"https://shop.corvane.example/corvane-software.html"});
        // Nothing else opens anything: the panel, its title and its description.
        QTest::mouseClick(of("Frame%1", panel), Qt::LeftButton, {}, QPoint(100, 185));
        QTest::mouseClick(of("Text%1", panel)->findChild<QWidget *>("qt_scrollarea_viewport"), Qt::LeftButton);
        QTest::mouseClick(of("Label1(%1)", panel - 1), Qt::LeftButton);
        EXPECT_EQ(opened.size(), 1);
    }
}

TEST_F(OffersWindowTest, TabMovesOnlyAmongTheEighteenButtonsInDesignOrder)
{
    ASSERT_TRUE(showActive(window));
    of("cmdOffer%1ReadMore", 1)->setFocus();
    EXPECT_EQ(tabCycle(18), QStringList({"cmdOffer1ReadMore", "cmdOffer1Download", "cmdBuy(0)", "cmdBuy(1)",
                                         "cmdBuy(2)", "cmdBuy(3)", "cmdBuy(4)", "cmdBuy(5)", "cmdOffer3Download",
                                         "cmdOffer5Download", "cmdOffer2Download", "cmdOffer4Download",
                                         "cmdOffer6Download", "cmdOffer3ReadMore", "cmdOffer5ReadMore",
                                         "cmdOffer2ReadMore", "cmdOffer4ReadMore", "cmdOffer6ReadMore",
                                         "cmdOffer1ReadMore"}));
}
