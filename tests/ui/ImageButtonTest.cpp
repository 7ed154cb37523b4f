#include "ButtonDesign.h"
#include "ImageButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

const QColor pictureColor(250, 200, 0);
const QColor greyColor(120, 120, 120);
const QColor mainTransparent(236, 233, 216);
const QColor magenta(255, 0, 255);
const QColor lavender(175, 168, 207);
const QColor borderBlue(0, 0, 127);

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

// The most frequent colour: the background.
QColor background(const QImage &image)
{
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    return QColor(std::max_element(counts.begin(), counts.end(), [](auto a, auto b) {
                      return a.second < b.second;
                  })->first);
}

// Where every opaque pixel of the picture appears unchanged in the rendering.
std::optional<QPoint> findPicture(const QImage &rendering, const QImage &picture)
{
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int top = 0; top + argb.height() <= rendering.height(); ++top) {
        for (int left = 0; left + argb.width() <= rendering.width(); ++left) {
            bool match = true;
            for (int y = 0; match && y < argb.height(); ++y)
                for (int x = 0; match && x < argb.width(); ++x)
                    match = qAlpha(argb.pixel(x, y)) < 255
                            || (argb.pixel(x, y) & RGB_MASK) == (rendering.pixel(left + x, top + y) & RGB_MASK);
            if (match)
                return QPoint(left, top);
        }
    }
    return std::nullopt;
}

void sendEnter(ImageButton &button)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(&button, &enter);
}

void sendLeave(ImageButton &button)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
}

void sendHeldMove(ImageButton &button, QPoint position)
{
    QMouseEvent move(QEvent::MouseMove, position, button.mapToGlobal(position), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &move);
}

// The values that every button of a window stores.
void applySharedDesign(ImageButton &button, bool mainWindow)
{
    (mainWindow ? ButtonDesign::mainWindow : ButtonDesign::offersWindow).applyTo(button);
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

    void focus()
    {
        button.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&button));
        button.setFocus();
        ASSERT_TRUE(button.hasFocus());
        // Showing the window may have put it under the pointer.
        sendLeave(button);
    }

    ImageButton button;
    QSignalSpy clicks{&button, &ImageButton::clicked};
};

TEST_F(ImageButtonTest, ALeftClickReleasedOverTheButtonClicks)
{
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(&button, Qt::RightButton);
    EXPECT_EQ(clicks.count(), 1);
    QTest::mousePress(&button, Qt::LeftButton);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(150, 10));
    EXPECT_EQ(clicks.count(), 1) << "released beside the button";
}

TEST_F(ImageButtonTest, SpaceClicksOnReleaseAndEnterOnPress)
{
    QTest::keyPress(&button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 0);
    QTest::keyRelease(&button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyPress(&button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 2);
    QTest::keyRelease(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_Enter);
    EXPECT_EQ(clicks.count(), 3);

    QTest::keyClick(&button, Qt::Key_A);
    QTest::keyClick(&button, Qt::Key_Escape);
    QKeyEvent heldEnter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&button, &heldEnter);
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(ImageButtonTest, ThePressedLookFollowsThePointerWhileTheButtonIsHeld)
{
    // Whether the press also gives the button focus, and its focus look, depends on the
    // platform's window activation (it does on Windows); this is about the pressed look.
    button.setFocusPolicy(Qt::NoFocus);
    const QColor down(90, 80, 160);
    button.setBackColorDown(down);
    const QColor normal = background(render(button));

    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_EQ(background(render(button)), down);
    sendHeldMove(button, QPoint(150, 10));
    EXPECT_EQ(background(render(button)), normal);
    sendHeldMove(button, QPoint(10, 10));
    EXPECT_EQ(background(render(button)), down);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(background(render(button)), normal);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(ImageButtonTest, ADisabledButtonIgnoresTheUserAndShowsItsGreyPictureOnButtonFace)
{
    const QImage grey = withCentre(solid({20, 20}, greyColor), magenta);
    button.setDisabledPicture(grey);
    button.setEnabled(false);

    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Space);
    QTest::keyClick(&button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 0);

    const QImage disabled = render(button);
    EXPECT_EQ(background(disabled), buttonFace());
    EXPECT_TRUE(boxOf(disabled, pictureColor).isEmpty());
    const QRect picture = boxOf(disabled, greyColor);
    EXPECT_EQ(picture.size(), QSize(20, 20));
    EXPECT_TRUE(boxOf(disabled, magenta).isEmpty());
    EXPECT_EQ(disabled.pixelColor(picture.center()), buttonFace()) << "the magenta middle";

    button.setEnabled(true);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(boxOf(render(button), pictureColor).size(), QSize(20, 20));
}

TEST_F(ImageButtonTest, TheTransparentColourAndMaskedIconPixelsAreNeverDrawn)
{
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

TEST_F(ImageButtonTest, TheBackgroundFollowsTheState)
{
    EXPECT_NE(background(render(button)), buttonFace());
    applySharedDesign(button, false);
    const QColor normal = background(render(button));

    sendEnter(button);
    EXPECT_EQ(background(render(button)), lavender);
    sendLeave(button);
    EXPECT_EQ(background(render(button)), normal);

    focus();
    const QColor focused = background(render(button));
    EXPECT_NE(focused, buttonFace());
    EXPECT_NE(focused, lavender);
    EXPECT_NE(focused, normal);
    button.setBackColorFocus(normal);
    button.setBorderDrawEvent(ImageButton::BorderDrawEvent::Never);
    const QImage marked = render(button);
    button.clearFocus();
    EXPECT_NE(marked, render(button)) << "focus must show even in the normal colour";

    button.setEnabled(false);
    EXPECT_EQ(background(render(button)), buttonFace());
}

TEST_F(ImageButtonTest, TheBorderIsDrawnInTheStatesItsSettingNames)
{
    applySharedDesign(button, true);
    const auto corners = [this] {
        const QImage image = render(button);
        const QList<QColor> colors{image.pixelColor(0, 0), image.pixelColor(98, 0),
                                   image.pixelColor(0, 27), image.pixelColor(98, 27)};
        return colors.count(borderBlue);
    };
    EXPECT_EQ(corners(), 0);
    sendEnter(button);
    EXPECT_EQ(corners(), 4) << "hot";
    sendLeave(button);
    focus();
    EXPECT_EQ(corners(), 4) << "focused";
    button.setBorderDrawEvent(ImageButton::BorderDrawEvent::Hot);
    EXPECT_EQ(corners(), 0) << "focused, but only hot counts";
    button.setBorderDrawEvent(ImageButton::BorderDrawEvent::Always);
    button.clearFocus();
    EXPECT_EQ(corners(), 4);
    button.setBorderDrawEvent(ImageButton::BorderDrawEvent::Never);
    sendEnter(button);
    EXPECT_EQ(corners(), 0);
}

TEST_F(ImageButtonTest, AThreeDFrameIsRaisedAndSinksWhilePressed)
{
    button.setBorderDrawEvent(ImageButton::BorderDrawEvent::Never);
    const auto topLeftIsLighter = [this] {
        const QImage image = render(button);
        return qGray(image.pixel(0, 0)) > qGray(image.pixel(98, 27));
    };
    EXPECT_TRUE(topLeftIsLighter());
    QTest::mousePress(&button, Qt::LeftButton);
    EXPECT_FALSE(topLeftIsLighter());
    QTest::mouseRelease(&button, Qt::LeftButton);

    button.setAppearance(ImageButton::Appearance::Flat);
    const QImage flat = render(button);
    EXPECT_EQ(flat.pixelColor(0, 0), background(flat));
    EXPECT_EQ(flat.pixelColor(98, 27), background(flat));
}

TEST_F(ImageButtonTest, CaptionAlignmentFivePutsTheCaptionAtTheRightOfItsSpace)
{
    button.resize(140, 28);
    const QRect centred = captionBox(render(button));
    button.setCaptionAlignment(ImageButton::Alignment::MiddleRight);
    const QRect right = captionBox(render(button));
    EXPECT_GT(right.left(), centred.left() + 10);
    EXPECT_GE(right.right(), 140 - 8);
    EXPECT_EQ(right.top(), centred.top());
}

TEST(ImageButtonLayout, TheConvertArrangementPutsTheRaisedPictureCentredAboveTheCaption)
{
    ImageButton button;
    applySharedDesign(button, true);
    button.resize(62, 46);
    button.setText("Convert");
    button.setIcon(QPixmap::fromImage(solid({30, 30}, pictureColor)));
    button.setCaptionPosition(ImageButton::CaptionPosition::BelowPicture);
    button.setPictureAlignment(ImageButton::Alignment::Center);

    const QRect centred = boxOf(render(button), pictureColor);
    ASSERT_EQ(centred.size(), QSize(30, 30));
    EXPECT_LE(std::abs(centred.top() - (46 - 1 - centred.bottom())), 1);

    button.setPictureOffsetY(-5);
    const QImage image = render(button);
    const QRect picture = boxOf(image, pictureColor);
    const QRect caption = captionBox(image);
    EXPECT_EQ(picture, centred.translated(0, -5));
    EXPECT_LE(std::abs(picture.left() - (61 - picture.right())), 1);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_GT(caption.top(), picture.bottom());
    EXPECT_LE(caption.bottom(), 46 - 3) << "inside the frame";
    EXPECT_LE(std::abs(caption.left() - (61 - caption.right())), 2);
}

// The windows' buttons at their designed sizes: each caption fits beside its picture, on
// its line, inside the frame, in the font the button falls back to.
TEST(ImageButtonLayout, DesignCaptionsFitTheirButtons)
{
    struct Design {
        const char *caption;
        QSize size;
        int picture;
        bool mainWindow;
    };
    const Design designs[] = {
        {"Browse input", {99, 28}, 20, true}, {"Browse output", {107, 28}, 20, true},
        {"Read more", {90, 27}, 20, false},   {"Download", {98, 27}, 20, false},
        {"Buy", {73, 27}, 16, false},
    };
    for (const Design &design : designs) {
        ImageButton button;
        applySharedDesign(button, design.mainWindow);
        button.resize(design.size);
        button.setText(design.caption);
        button.setIcon(QPixmap::fromImage(solid({design.picture, design.picture}, pictureColor)));
        if (QString(design.caption) == "Read more")
            button.setCaptionAlignment(ImageButton::Alignment::MiddleRight);

        const QImage image = render(button);
        const QRect picture = boxOf(image, pictureColor);
        const QRect caption = captionBox(image);
        const QRect inside = QRect(QPoint(), design.size).adjusted(3, 3, -3, -3);
        EXPECT_GE(caption.left(), picture.right() + 2) << design.caption;
        EXPECT_TRUE(caption.top() >= picture.top() && caption.bottom() <= picture.bottom()) << design.caption;
        EXPECT_TRUE(inside.contains(caption)) << design.caption << " ink " << caption.x() << "+"
                                              << caption.width();
        EXPECT_LE(button.sizeHint().width(), design.size.width()) << design.caption;
    }
}

} // namespace
