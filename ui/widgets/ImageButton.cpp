#include "ImageButton.h"

#include "DesignFont.h"

#include <QApplication>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace {

constexpr int frameWidth = 2; // the bevel; a border line lies on its outer edge
constexpr int padding = 2;    // between the frame and the picture or caption
constexpr int spacing = 4;    // between the picture and a caption beside it

Qt::Alignment toQt(ImageButton::Alignment alignment)
{
    switch (alignment) {
    case ImageButton::Alignment::MiddleLeft:
        return Qt::AlignVCenter | Qt::AlignLeft;
    case ImageButton::Alignment::Center:
        return Qt::AlignCenter;
    case ImageButton::Alignment::MiddleRight:
        return Qt::AlignVCenter | Qt::AlignRight;
    }
    return Qt::AlignCenter;
}

QImage withoutColor(const QImage &picture, const QColor &color)
{
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    if (!color.isValid())
        return image;
    const QRgb key = color.rgb() & RGB_MASK;
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & RGB_MASK) == key)
                line[x] = 0;
        }
    }
    return image;
}

} // namespace

ImageButton::ImageButton(QWidget *parent)
    : QAbstractButton(parent),
      m_backColor(255, 255, 255),
      m_backColorOver(193, 210, 238),
      m_backColorDown(152, 181, 226),
      m_backColorFocus(232, 236, 246),
      m_borderColor(0, 0, 128)
{
    setFocusPolicy(Qt::StrongFocus);
    setFont(designFont());
}

void ImageButton::setDisabledPicture(const QImage &picture)
{
    m_disabledPicture = withoutColor(picture, QColor(255, 0, 255));
    update();
}

void ImageButton::setDisabledPicture(const QString &bitmapPath)
{
    // Read by Qt's own BMP reader alone: finding the reader by asking every image plugin
    // whether it can read the file loads them all, at the cost of milliseconds of the
    // program's start.
    QImageReader reader(bitmapPath, "bmp");
    reader.setAutoDetectImageFormat(false);
    setDisabledPicture(reader.read());
}

void ImageButton::setBackColor(const QColor &color)
{
    m_backColor = color;
    update();
}

void ImageButton::setBackColorOver(const QColor &color)
{
    m_backColorOver = color;
    update();
}

void ImageButton::setBackColorDown(const QColor &color)
{
    m_backColorDown = color;
    update();
}

void ImageButton::setBackColorFocus(const QColor &color)
{
    m_backColorFocus = color;
    update();
}

void ImageButton::setBorderColor(const QColor &color)
{
    m_borderColor = color;
    update();
}

void ImageButton::setTransparentColor(const QColor &color)
{
    m_transparentColor = color;
    update();
}

void ImageButton::setCaptionPosition(CaptionPosition position)
{
    m_captionPosition = position;
    updateGeometry();
    update();
}

void ImageButton::setCaptionAlignment(Alignment alignment)
{
    m_captionAlignment = alignment;
    update();
}

void ImageButton::setPictureAlignment(Alignment alignment)
{
    m_pictureAlignment = alignment;
    update();
}

void ImageButton::setPictureOffsetY(int pixels)
{
    m_pictureOffsetY = pixels;
    update();
}

QSize ImageButton::sizeHint() const
{
    const QSize picture = pictureSize();
    const QSize caption = fontMetrics().size(Qt::TextSingleLine, text());
    const int gap = picture.isEmpty() || text().isEmpty() ? 0 : spacing;
    const QSize content = m_captionPosition == CaptionPosition::RightOfPicture
        ? QSize(picture.width() + gap + caption.width(), qMax(picture.height(), caption.height()))
        : QSize(qMax(picture.width(), caption.width()), picture.height() + caption.height());
    const int margin = 2 * (frameWidth + padding);
    return content + QSize(margin, margin);
}

void ImageButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), currentBackColor());
    if (borderShown()) {
        painter.setPen(m_borderColor);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        // Always raised: a pressed button shows the border line instead.
        qDrawWinButton(&painter, rect(), palette());
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(frameWidth, frameWidth, -frameWidth - 1, -frameWidth - 1));
    }

    // Pressed content moves by a pixel, as if pushed in.
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint();
    const QRect picture = pictureRect();
    if (!picture.isEmpty()) {
        QImage image;
        if (isEnabled())
            image = withoutColor(icon().pixmap(picture.size()).toImage(), m_transparentColor);
        else if (!m_disabledPicture.isNull())
            image = m_disabledPicture;
        else
            image = icon().pixmap(picture.size(), QIcon::Disabled).toImage();
        painter.drawImage(picture.topLeft() + shift, image);
    }
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::ButtonText));
    painter.drawText(captionRect(picture).translated(shift),
                     int(toQt(m_captionAlignment)) | Qt::TextSingleLine | Qt::TextDontClip, text());
}

void ImageButton::enterEvent(QEnterEvent *event)
{
    m_hovered = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ImageButton::leaveEvent(QEvent *event)
{
    m_hovered = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ImageButton::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // A held key must not start one conversion after another.
        if (!event->isAutoRepeat())
            click();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        // The windows move focus with Tab only, as they were designed; the arrows are
        // left to the window rather than moving focus between buttons.
        event->ignore();
        break;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

QSize ImageButton::pictureSize() const
{
    QSize largest;
    for (const QSize &size : icon().availableSizes())
        largest = size.width() * size.height() > largest.width() * largest.height() ? size : largest;
    return largest;
}

QRect ImageButton::pictureRect() const
{
    const QSize size = pictureSize();
    if (size.isEmpty())
        return {};
    const int margin = frameWidth + padding;
    const QRect area = rect().adjusted(margin, margin, -margin, -margin);
    return QStyle::alignedRect(Qt::LeftToRight, toQt(m_pictureAlignment), size, area)
        .translated(0, m_pictureOffsetY);
}

QRect ImageButton::captionRect(const QRect &picture) const
{
    const int margin = frameWidth + padding;
    QRect area = rect().adjusted(margin, margin, -margin, -margin);
    if (picture.isEmpty())
        return area;
    switch (m_captionPosition) {
    case CaptionPosition::RightOfPicture:
        area.setLeft(picture.right() + 1 + spacing);
        break;
    case CaptionPosition::BelowPicture:
        area.setTop(picture.bottom() + 1);
        break;
    }
    return area;
}

QColor ImageButton::currentBackColor() const
{
    if (!isEnabled())
        return QApplication::palette().color(QPalette::Button);
    if (isDown())
        return m_backColorDown;
    if (m_hovered)
        return m_backColorOver;
    if (hasFocus())
        return m_backColorFocus;
    return m_backColor;
}

bool ImageButton::borderShown() const
{
    // Hot or focused; a disabled button under the pointer is not hot.
    return hasFocus() || (isEnabled() && (m_hovered || isDown()));
}
