#pragma once

#include <QColor>
#include <QFont>

#include <optional>

class ImageButton;

// The design values a window gives all its image buttons. Both windows share the
// lavender of the pointer-over and pressed states, the dark blue border line shown
// while hot or focused, the raised frame and the button-face colour of the disabled
// state; they differ in caption weight, see-through colour, and whether the normal and
// focused backgrounds are the button face.
struct ButtonDesign {
    QFont::Weight captionWeight;
    QColor transparentColor;
    bool buttonFaceBackground;

    void applyTo(ImageButton &button) const;

    // Regular captions, the see-through colour RGB(236, 233, 216), button-face backgrounds.
    static const ButtonDesign mainWindow;
    // Bold captions on the panels' white, which is also the see-through colour.
    static const ButtonDesign offersWindow;
};
