#pragma once

#include <QColor>
#include <QFont>

class ImageButton;

// The design values a window gives all its image buttons. Both windows share the
// lavender of the pointer-over and pressed states and the dark blue of the border line;
// they differ in caption weight, see-through colour, and whether the normal and focused
// backgrounds are the button face.
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
