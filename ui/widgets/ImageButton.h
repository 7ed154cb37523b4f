#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>

// The graphic push button of both windows: its icon and its text (the caption) on a
// background whose colour follows the state (normal, pointer over, pressed, focused,
// disabled), with an optional border line. Pressing, clicked(), Space, the accessible
// button role and its name come from QAbstractButton; Enter and Return click it as
// well, once per press, not again while held.
//
// A new button is enabled and takes focus by Tab and by click.
//
// The caption is drawn in the widget's font. A new button's font is MS Sans Serif
// 8.25 pt, falling back to Liberation Sans (Arial's metric twin) where MS Sans Serif is
// not installed, so captions keep the widths the windows were laid out for. For a bold
// caption change the weight of font() rather than building a new QFont, which would
// lose the fallback.
//
// The enumerations keep the numbers under which the window designs store them.
class ImageButton : public QAbstractButton {
    Q_OBJECT

public:
    // How the frame looks while no border line is drawn (see BorderDrawEvent).
    enum class Appearance {
        Flat = 0,   // no frame: the background reaches the edges
        ThreeD = 1, // a raised two-pixel bevel, sunken while pressed
    };

    // The states in which a one-pixel line in the border colour replaces the frame.
    enum class BorderDrawEvent {
        Never = 0,        // never
        Always = 1,       // in every state
        Focused = 2,      // while the button has the keyboard focus
        Hot = 3,          // while the pointer is over the button or it is pressed
        HotOrFocused = 4, // in either of the two states above
    };

    // The side of the picture on which the caption stands. The caption gets the rest of
    // the button on that side and is aligned there by the caption alignment.
    enum class CaptionPosition {
        RightOfPicture = 0, // picture and caption side by side, picture first
        LeftOfPicture = 1,  // side by side, caption first
        AbovePicture = 2,   // caption above the picture
        BelowPicture = 3,   // caption below the picture
    };

    // A place in a three-by-three grid, row by row. The picture is aligned within the
    // button, the caption within the space that the caption position leaves it.
    enum class Alignment {
        TopLeft = 0,      // top edge, left edge
        TopCenter = 1,    // top edge, centred across
        TopRight = 2,     // top edge, right edge
        MiddleLeft = 3,   // centred up and down, left edge
        Center = 4,       // centred both ways
        MiddleRight = 5,  // centred up and down, right edge
        BottomLeft = 6,   // bottom edge, left edge
        BottomCenter = 7, // bottom edge, centred across
        BottomRight = 8,  // bottom edge, right edge
    };

    explicit ImageButton(QWidget *parent = nullptr);

    // The icon is drawn at its natural size (the largest, if it has several); pixels
    // that the icon masks out or that have the transparent colour are not drawn.

    // Drawn instead of the icon while disabled; magenta (255, 0, 255) is not drawn.
    // Without one, the icon's own disabled look is used.
    QImage disabledPicture() const { return m_disabledPicture; }
    void setDisabledPicture(const QImage &picture);

    // Background colours. The defaults: white, a light lavender while the pointer is
    // over it or focused, a darker one while pressed, and the application palette's
    // button colour while disabled.
    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &color);
    QColor backColorOver() const { return m_backColorOver; }
    void setBackColorOver(const QColor &color);
    QColor backColorDown() const { return m_backColorDown; }
    void setBackColorDown(const QColor &color);
    QColor backColorFocus() const { return m_backColorFocus; }
    void setBackColorFocus(const QColor &color);
    QColor backColorDisabled() const { return m_backColorDisabled; }
    void setBackColorDisabled(const QColor &color);

    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    BorderDrawEvent borderDrawEvent() const { return m_borderDrawEvent; }
    void setBorderDrawEvent(BorderDrawEvent event);

    // The icon's pixels of this colour are see-through; none by default.
    QColor transparentColor() const { return m_transparentColor; }
    void setTransparentColor(const QColor &color);

    Appearance appearance() const { return m_appearance; }
    void setAppearance(Appearance appearance);

    CaptionPosition captionPosition() const { return m_captionPosition; }
    void setCaptionPosition(CaptionPosition position);
    Alignment captionAlignment() const { return m_captionAlignment; }
    void setCaptionAlignment(Alignment alignment);
    Alignment pictureAlignment() const { return m_pictureAlignment; }
    void setPictureAlignment(Alignment alignment);
    // Moves the picture down by this many pixels from its aligned place (up if negative);
    // a caption above or below it moves its space along.
    int pictureOffsetY() const { return m_pictureOffsetY; }
    void setPictureOffsetY(int pixels);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QSize pictureSize() const;
    QRect pictureRect() const;
    QRect captionRect(const QRect &picture) const;
    QColor currentBackColor() const;
    bool borderShown() const;

    QImage m_disabledPicture;
    QColor m_backColor;
    QColor m_backColorOver;
    QColor m_backColorDown;
    QColor m_backColorFocus;
    QColor m_backColorDisabled;
    QColor m_borderColor;
    QColor m_transparentColor;
    BorderDrawEvent m_borderDrawEvent = BorderDrawEvent::HotOrFocused;
    Appearance m_appearance = Appearance::ThreeD;
    CaptionPosition m_captionPosition = CaptionPosition::RightOfPicture;
    Alignment m_captionAlignment = Alignment::Center;
    Alignment m_pictureAlignment = Alignment::MiddleLeft;
    int m_pictureOffsetY = 0;

    bool m_hovered = false;
};
