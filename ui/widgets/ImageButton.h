#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>

// The graphic push button of both windows: its icon and its text (the caption) on a
// background whose colour follows the state (normal, pointer over, pressed, focused,
// disabled), in a raised two-pixel frame that gives way to a one-pixel border line while
// the pointer is over the button, it is pressed or it has the focus. Pressing,
// clicked(), Space, the accessible button role and its name come from QAbstractButton;
// Enter and Return click it as well, once per press, not again while held.
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
    // The side of the picture on which the caption stands. The caption gets the rest of
    // the button on that side and is aligned there by the caption alignment.
    enum class CaptionPosition {
        RightOfPicture = 0, // picture and caption side by side, picture first
        BelowPicture = 3,   // caption below the picture
    };

    // A place in a three-by-three grid, numbered row by row from the top left; the
    // windows use only the middle row. The picture is aligned within the button, the
    // caption within the space that the caption position leaves it.
    enum class Alignment {
        MiddleLeft = 3,  // centred up and down, left edge
        Center = 4,      // centred both ways
        MiddleRight = 5, // centred up and down, right edge
    };

    explicit ImageButton(QWidget *parent = nullptr);

    // The icon is drawn at its natural size (the largest, if it has several); pixels
    // that the icon masks out or that have the transparent colour are not drawn.

    // Drawn instead of the icon while disabled; magenta (255, 0, 255) is not drawn.
    // Without one, the icon's own disabled look is used.
    void setDisabledPicture(const QImage &picture);
    // The same, from a BMP file.
    void setDisabledPicture(const QString &bitmapPath);

    // Background colours. The defaults: white, a light lavender while the pointer is
    // over it or focused, a darker one while pressed; while disabled, always the
    // application palette's button colour.
    void setBackColor(const QColor &color);
    void setBackColorOver(const QColor &color);
    void setBackColorDown(const QColor &color);
    void setBackColorFocus(const QColor &color);

    void setBorderColor(const QColor &color);

    // The icon's pixels of this colour are see-through; none by default.
    void setTransparentColor(const QColor &color);

    void setCaptionPosition(CaptionPosition position);
    void setCaptionAlignment(Alignment alignment);
    void setPictureAlignment(Alignment alignment);
    // Moves the picture down by this many pixels from its aligned place (up if negative);
    // a caption below it moves its space along.
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
    QColor m_borderColor;
    QColor m_transparentColor;
    CaptionPosition m_captionPosition = CaptionPosition::RightOfPicture;
    Alignment m_captionAlignment = Alignment::Center;
    Alignment m_pictureAlignment = Alignment::MiddleLeft;
    int m_pictureOffsetY = 0;

    bool m_hovered = false;
};
