#include "ButtonDesign.h"

#include "ImageButton.h"

#include <QApplication>
#include <QPalette>

const ButtonDesign ButtonDesign::mainWindow{QFont::Normal, QColor(236, 233, 216), true};
const ButtonDesign ButtonDesign::offersWindow{QFont::Bold, QColor(Qt::white), false};

void ButtonDesign::applyTo(ImageButton &button) const
{
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    const QColor lavender(175, 168, 207);

    button.setBackColorOver(lavender);
    button.setBackColorDown(lavender);
    button.setBorderColor(QColor(0, 0, 127));
    button.setTransparentColor(transparentColor);
    if (buttonFaceBackground) {
        button.setBackColor(buttonFace);
        button.setBackColorFocus(buttonFace);
    }
    QFont font = button.font();
    font.setWeight(captionWeight);
    button.setFont(font);
}
