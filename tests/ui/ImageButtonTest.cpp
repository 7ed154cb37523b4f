#include "ButtonDesign.h"
#include "ImageButton.h"
#include "PictureSearch.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace {

const QColor pictureColor(250, 200, 0);
const QColor greyColor(120, 120, 120);
const QColor magenta(255, 0, 255);

QColor buttonFace()
{
    return QApplication::palette().color(QPalette::Button);
}

QImage solid(QSize size, const QColor &color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// A picture with a square of another colour in its middle.
QImage withCentre(QImage image, const QColor &centre)
{
    const int side = image.width() / 3;
    for (int y = side; y < 2 * side; ++y)
        for (int x = side; x < 2 * side; ++x)
            image.setPixelColor(x, y, centre);
    return image;
}

QImage render(ImageButton &button)
{
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect boxOf(const QImage &image, const QColor &color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == color.rgb())
                box |= QRect(x, y, 1, 1);
    return box;
}

// The caption's ink: dark pixels inside the frame.
QRect captionBox(const QImage &image)
{
    QRect box;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            if (qGray(image.pixel(x, y)) < 140)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A pixel between the frame and the picture.
QColor background(const QImage &image)
{
    return image.pixelColor(3, 3);
}

void sendEnter(ImageButton &button)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
}

class ImageButtonTest : public ::testing::Test {
protected:
    ImageButtonTest()
    {
        button.resize(99, 28);
        button.setText("Browse input");
        button.setIcon(QPixmap::fromImage(solid({20, 20}, pictureColor)));
        button.show();
    }

    ImageButton button;
};

TEST_F(ImageButtonTest, EnterAndReturnClickOnPressButNotAgainWhileHeld)
{
    QSignalSpy clicks{&button, &ImageButton::clicked};
    QTest::keyPress(&button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyRelease(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter);
    EXPECT_EQ(clicks.count(), 2);
    QKeyEvent heldEnter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&button, &heldEnter);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ImageButtonTest, ADisabledButtonShowsItsGreyPictureWithoutTheMagenta)
{
    button.setDisabledPicture(withCentre(solid({20, 20}, greyColor), magenta));
    button.setEnabled(false);
    const QImage disabled = render(button);
    EXPECT_TRUE(boxOf(disabled, pictureColor).isEmpty());
    const QRect picture = boxOf(disabled, greyColor);
    EXPECT_EQ(picture.size(), QSize(20, 20));
    EXPECT_TRUE(boxOf(disabled, magenta).isEmpty());
    EXPECT_EQ(disabled.pixelColor(picture.center()), buttonFace()) << "the magenta middle";

    button.setEnabled(true);
    EXPECT_EQ(boxOf(render(button), pictureColor).size(), QSize(20, 20));
}

TEST_F(ImageButtonTest, TheTransparentColourAndMaskedIconPixelsAreNeverDrawn)
{
    const QColor mainTransparent(236, 233, 216);
    button.setIcon(QPixmap::fromImage(withCentre(solid({20, 20}, pictureColor), mainTransparent)));
    ASSERT_FALSE(boxOf(render(button), mainTransparent).isEmpty()) << "drawn while no colour is see-through";
    button.setTransparentColor(mainTransparent);
    const QImage keyed = render(button);
    EXPECT_TRUE(boxOf(keyed, mainTransparent).isEmpty());
    EXPECT_EQ(keyed.pixelColor(boxOf(keyed, pictureColor).center()), background(keyed));

    // The folder icon's mask hides pixels whose stored colour is black.
    const QImage icon = QImage(":/main/BrowseInput.ico").convertToFormat(QImage::Format_ARGB32);
    ASSERT_FALSE(icon.isNull());
    button.setIcon(QIcon(":/main/BrowseInput.ico"));
    const QColor back(40, 200, 90);
    button.setBackColor(back);
    const QImage drawn = render(button);
    const std::optional<QPoint> at = findPicture(drawn, icon);
    ASSERT_TRUE(at.has_value());
    int masked = 0;
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x) {
            if (qAlpha(icon.pixel(x, y)) == 0) {
                ++masked;
                EXPECT_EQ(drawn.pixelColor(*at + QPoint(x, y)), back) << x << "," << y;
            }
        }
    }
    EXPECT_GT(masked, 40);
}

// Each window's buttons in every state: the background, and the dark blue border line
// that stands in for the raised frame while the button is hot or focused.
TEST(ImageButtonLooks, EachStateHasItsDesignedBackgroundAndFrame)
{
    enum class State { Normal, PointerOver, Pressed, Focused, DisabledUnderThePointer };
    const QColor lavender(175, 168, 207);
    const struct {
        const char *name;
        const ButtonDesign &design;
        State state;
        QColor background;
        bool borderLine;
    } cases[] = {
        {"main, normal", ButtonDesign::mainWindow, State::Normal, buttonFace(), false},
        {"main, pointer over", ButtonDesign::mainWindow, State::PointerOver, lavender, true},
        {"main, pressed", ButtonDesign::mainWindow, State::Pressed, lavender, true},
        {"main, focused", ButtonDesign::mainWindow, State::Focused, buttonFace(), true},
        {"main, disabled", ButtonDesign::mainWindow, State::DisabledUnderThePointer, buttonFace(), false},
        {"offers, normal", ButtonDesign::offersWindow, State::Normal, QColor(255, 255, 255), false},
        {"offers, focused", ButtonDesign::offersWindow, State::Focused, QColor(232, 236, 246), true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ImageButton button;
        c.design.applyTo(button);
        button.resize(99, 28);
        button.setText("Browse input");
        button.show();
        switch (c.state) {
        case State::Normal:
            break;
        case State::PointerOver:
            sendEnter(button);
            break;
        case State::Pressed:
            QTest::mousePress(&button, Qt::LeftButton);
            break;
        case State::Focused: {
            button.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&button));
            button.setFocus();
            ASSERT_TRUE(button.hasFocus());
            // Activating the window may have put it under the pointer.
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&button, &leave);
            break;
        }
        case State::DisabledUnderThePointer:
            button.setEnabled(false);
            sendEnter(button);
            break;
        }
        const QImage image = render(button);
        EXPECT_EQ(background(image), c.background);
        const QColor topLeft = image.pixelColor(0, 0), bottomRight = image.pixelColor(98, 27);
        if (c.borderLine) {
            EXPECT_EQ(topLeft, QColor(0, 0, 127));
            EXPECT_EQ(bottomRight, QColor(0, 0, 127));
        } else {
            EXPECT_GT(qGray(topLeft.rgb()), qGray(bottomRight.rgb())) << "raised";
        }
    }
}

// The windows' side-by-side buttons at their designed sizes, in the font the button
// falls back to: each caption on its line beside the picture, inside the frame, centred
// in the rest of the button but for Read more's, which keeps to the right.
TEST(ImageButtonLayout, DesignCaptionsFitBesideTheirPictures)
{
    const struct {
        const char *caption;
        QSize size;
        int picture;
        const ButtonDesign &look;
    } designs[] = {
        {"Browse input", {99, 28}, 20, ButtonDesign::mainWindow},
        {"Browse output", {107, 28}, 20, ButtonDesign::mainWindow},
        {"Read more", {90, 27}, 20, ButtonDesign::offersWindow},
        {"Read more", {140, 27}, 20, ButtonDesign::offersWindow}, // wider, so that the alignment shows
        {"Download", {98, 27}, 20, ButtonDesign::offersWindow},
        {"Buy", {73, 27}, 16, ButtonDesign::offersWindow},
    };
    for (const auto &design : designs) {
        SCOPED_TRACE(design.caption + (" at " + std::to_string(design.size.width())));
        ImageButton button;
        design.look.applyTo(button);
        button.resize(design.size);
        button.setText(design.caption);
        button.setIcon(QPixmap::fromImage(solid({design.picture, design.picture}, pictureColor)));
        const bool right = QString(design.caption) == "Read more";
        if (right)
            button.setCaptionAlignment(ImageButton::Alignment::MiddleRight);

        const QImage image = render(button);
        const QRect picture = boxOf(image, pictureColor);
        const QRect caption = captionBox(image);
        // Frame and padding take 4 pixels at each edge, and 4 more lie before the caption.
        EXPECT_EQ(picture.left(), 4);
        EXPECT_TRUE(caption.top() >= picture.top() && caption.bottom() <= picture.bottom());
        const int leftGap = caption.left() - (picture.right() + 1 + 4);
        const int rightGap = design.size.width() - 4 - 1 - caption.right();
        EXPECT_GE(leftGap, 0);
        EXPECT_GE(rightGap, 0);
        EXPECT_LE(right ? rightGap : std::abs(leftGap - rightGap), 2);
        EXPECT_LE(button.sizeHint().width(), design.size.width());
    }
}

TEST(ImageButtonLayout, ConvertsCaptionStandsCentredBelowItsPictureRaisedFivePixels)
{
    ImageButton button;
    ButtonDesign::mainWindow.applyTo(button);
    button.resize(62, 46);
    button.setText("Convert");
    button.setIcon(QPixmap::fromImage(solid({30, 30}, pictureColor)));
    button.setCaptionPosition(ImageButton::CaptionPosition::BelowPicture);
    button.setPictureAlignment(ImageButton::Alignment::Center);
    button.setPictureOffsetY(-5);

    const QImage image = render(button);
    const QRect picture = boxOf(image, pictureColor);
    const QRect caption = captionBox(image);
    EXPECT_EQ(picture, QRect((62 - 30) / 2, (46 - 30) / 2 - 5, 30, 30));
    EXPECT_GT(caption.top(), picture.bottom());
    EXPECT_LE(caption.bottom(), 46 - 3) << "inside the frame";
    EXPECT_LE(std::abs(caption.left() - (61 - caption.right())), 2);
}

} // namespace
