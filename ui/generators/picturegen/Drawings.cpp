#include "Drawings.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>

namespace {

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QLinearGradient verticalGradient(qreal top, qreal bottom, const QColor &upper, const QColor &lower)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, upper);
    gradient.setColorAt(1, lower);
    return gradient;
}

// Angles in degrees, counter-clockwise from three o'clock, on screen; the circle is
// stretched upright into an arch.
QPointF onArch(QPointF centre, qreal radius, qreal degrees)
{
    const qreal stretch = 1.45;
    const qreal radians = degrees * M_PI / 180;
    return {centre.x() + radius * std::cos(radians), centre.y() - stretch * radius * std::sin(radians)};
}

// A band along the arch from one angle to another with an arrow head beyond the second.
QPainterPath curvedArrow(QPointF centre, qreal inner, qreal outer, qreal from, qreal to, qreal head)
{
    const int steps = 24;
    const qreal direction = to < from ? -1 : 1;
    const qreal flare = (outer - inner) * 0.45;
    QPainterPath path(onArch(centre, outer, from));
    for (int i = 1; i <= steps; ++i)
        path.lineTo(onArch(centre, outer, from + (to - from) * i / steps));
    path.lineTo(onArch(centre, outer + flare, to));
    path.lineTo(onArch(centre, (inner + outer) / 2, to + direction * head));
    path.lineTo(onArch(centre, inner - flare, to));
    for (int i = steps; i >= 0; --i)
        path.lineTo(onArch(centre, inner, from + (to - from) * i / steps));
    path.closeSubpath();
    return path;
}

} // namespace

QImage drawHandset(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const qreal pixel = 32.0 / size;
    p.translate(16, 16.5);
    p.rotate(25);

    const QColor outline(40, 44, 56);
    p.setPen(QPen(outline, pixel));
    p.setBrush(QColor(96, 100, 112));
    p.drawRoundedRect(QRectF(2, -16, 3.2, 5), 1.2, 1.2); // antenna

    QLinearGradient body(-6.5, 0, 6.5, 0);
    body.setColorAt(0, QColor(255, 255, 255));
    body.setColorAt(0.6, QColor(246, 247, 250));
    body.setColorAt(1, QColor(200, 204, 214));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(-6.5, -13, 13, 26), 3.5, 3.5);

    p.setPen(QPen(QColor(16, 40, 110), pixel));
    p.setBrush(verticalGradient(-10, -1.5, QColor(90, 160, 255), QColor(20, 70, 200)));
    p.drawRect(QRectF(-4.5, -10, 9, 8.5));

    if (size >= 24) {
        p.setPen(QPen(QColor(120, 124, 136), pixel));
        p.drawLine(QPointF(-2, -11.5), QPointF(2, -11.5)); // earpiece
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(130, 136, 150));
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 3; ++column)
                p.drawEllipse(QPointF(-3.2 + column * 3.2, 1.5 + row * 2.6), 1.0, 0.8);
    } else {
        p.setPen(QPen(QColor(130, 136, 150), pixel * 1.5, Qt::DotLine));
        p.drawLine(QPointF(-3, 3), QPointF(3, 3));
        p.drawLine(QPointF(-3, 7), QPointF(3, 7));
    }
    return image;
}

QImage drawFolderWithDisc()
{
    QImage image = canvas(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor folderLine(130, 86, 0);

    p.setPen(QPen(folderLine, 1));
    p.setBrush(QColor(226, 170, 20));
    p.drawPolygon(QPolygonF{{1.5, 3.5}, {7.5, 3.5}, {9.5, 5.5}, {17.5, 5.5}, {17.5, 17.5}, {1.5, 17.5}});

    const QPointF discCentre(11, 8.5);
    p.setPen(QPen(QColor(10, 10, 18), 1));
    p.setBrush(QColor(44, 44, 60));
    p.drawEllipse(discCentre, 6.5, 6.5);
    p.setPen(QPen(QColor(140, 146, 180), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(discCentre - QPointF(4.5, 4.5), QSizeF(9, 9)), 100 * 16, 60 * 16);
    p.setPen(QPen(QColor(10, 10, 18), 1));
    p.setBrush(QColor(170, 174, 196));
    p.drawEllipse(discCentre, 2, 2);

    p.setPen(QPen(folderLine, 1));
    p.setBrush(verticalGradient(9, 19, QColor(255, 232, 120), QColor(240, 190, 0)));
    p.drawPolygon(QPolygonF{{4.5, 9.5}, {19.5, 9.5}, {16.5, 18.5}, {0.5, 18.5}});
    return image;
}

QImage drawDiskette()
{
    QImage image = canvas(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(QPen(QColor(48, 12, 90), 1));
    p.setBrush(verticalGradient(1, 19, QColor(150, 90, 215), QColor(96, 40, 160)));
    p.drawPolygon(QPolygonF{{1.5, 1.5}, {16.5, 1.5}, {18.5, 3.5}, {18.5, 18.5}, {1.5, 18.5}});

    p.setPen(QPen(QColor(90, 92, 104), 1));
    p.setBrush(verticalGradient(1, 8, QColor(236, 238, 244), QColor(180, 184, 196)));
    p.drawRect(QRectF(5.5, 1.5, 9, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 62, 74));
    p.drawRect(QRectF(11, 3, 2, 3.5));

    p.setPen(QPen(QColor(48, 12, 90), 1));
    p.setBrush(QColor(250, 250, 252));
    p.drawRect(QRectF(3.5, 10.5, 13, 8));
    p.setPen(QPen(QColor(180, 150, 220), 1));
    p.drawLine(QPointF(5, 13.5), QPointF(15, 13.5));
    p.drawLine(QPointF(5, 15.5), QPointF(13, 15.5));
    return image;
}

QImage drawConvertArrows()
{
    QImage image = canvas(30, 30);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(15, 25);

    p.setPen(QPen(QColor(120, 10, 4), 1));
    p.setBrush(verticalGradient(4, 26, QColor(255, 110, 90), QColor(200, 24, 12)));
    p.drawPath(curvedArrow(centre, 8.5, 13.5, 185, 108, 20));

    p.setPen(QPen(QColor(8, 36, 128), 1));
    p.setBrush(verticalGradient(4, 26, QColor(100, 160, 255), QColor(20, 70, 210)));
    p.drawPath(curvedArrow(centre, 8.5, 13.5, 84, 18, 20));
    return image;
}

QImage drawGiftBox(int size)
{
    QImage image = canvas(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const QPen ribbonLine(QColor(150, 100, 0), 32.0 / size);
    const QPen boxLine(QColor(110, 8, 8), 32.0 / size);
    const QColor gold(255, 204, 40);

    p.setPen(ribbonLine);
    for (const qreal side : {-1.0, 1.0}) {
        p.save();
        p.translate(16 + side * 5.5, 6.5);
        p.rotate(side * 20);
        p.setBrush(gold);
        p.drawEllipse(QPointF(0, 0), 5.5, 3.5);
        p.setBrush(QColor(200, 130, 0));
        p.drawEllipse(QPointF(side * 0.5, 0.3), 2.6, 1.3);
        p.restore();
    }

    p.setPen(boxLine);
    p.setBrush(verticalGradient(15, 30, QColor(230, 50, 50), QColor(160, 16, 16)));
    p.drawRect(QRectF(5, 15, 22, 14.5));
    p.setBrush(verticalGradient(10, 15, QColor(255, 90, 90), QColor(210, 30, 30)));
    p.drawRect(QRectF(3, 10, 26, 5));

    p.setPen(ribbonLine);
    p.setBrush(gold);
    p.drawRect(QRectF(13.5, 10, 5, 19.5));
    p.drawRect(QRectF(13.5, 7, 5, 3));
    return image;
}

QImage drawOpenBook()
{
    QImage image = canvas(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(QPen(QColor(16, 44, 110), 1));
    p.setBrush(QColor(40, 100, 200));
    p.drawPolygon(QPolygonF{{0.5, 6.5}, {10, 8.5}, {19.5, 6.5}, {19.5, 18}, {10, 19.5}, {0.5, 18}});

    p.setPen(QPen(QColor(90, 90, 100), 1));
    p.setBrush(QColor(255, 255, 255));
    for (const qreal side : {-1.0, 1.0}) {
        QPainterPath page(QPointF(10 + side * 8.5, 4.5));
        page.quadTo(10 + side * 4, 3, 10, 6.5);
        page.lineTo(10, 18);
        page.quadTo(10 + side * 4, 14.5, 10 + side * 8.5, 16);
        page.closeSubpath();
        p.drawPath(page);
    }

    p.setPen(QPen(QColor(120, 130, 160), 1));
    for (int line = 0; line < 4; ++line) {
        const qreal y = 7.5 + line * 2.2;
        p.drawLine(QPointF(3, y), QPointF(8, y + 0.6));
        p.drawLine(QPointF(12, y + 0.6), QPointF(17, y));
    }
    return image;
}

QImage drawDownloadArrow()
{
    QImage image = canvas(20, 20);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    p.setPen(QPen(QColor(70, 72, 84), 1));
    p.setBrush(verticalGradient(13, 19, QColor(226, 228, 236), QColor(150, 154, 168)));
    p.drawRoundedRect(QRectF(1.5, 13.5, 17, 5), 1.5, 1.5);

    p.setPen(QPen(QColor(8, 90, 8), 1));
    p.setBrush(verticalGradient(1, 16, QColor(110, 220, 90), QColor(20, 150, 20)));
    p.drawPolygon(QPolygonF{{7, 1.5}, {13, 1.5}, {13, 8}, {17.5, 8}, {10, 15.5}, {2.5, 8}, {7, 8}});
    return image;
}

QImage drawShoppingCart()
{
    // Drawn without smoothing in the VGA colours that a 16-colour icon holds.
    QImage image = canvas(16, 16);
    QPainter p(&image);
    const QColor black(0, 0, 0);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 255));
    p.drawPolygon(QPolygon{{4, 4}, {15, 4}, {13, 10}, {6, 10}});
    p.setPen(black);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygon{{0, 1}, {2, 1}, {3, 2}, {6, 11}, {14, 11}});
    p.drawPolygon(QPolygon{{4, 4}, {15, 4}, {13, 10}, {6, 10}});
    p.setPen(QColor(255, 255, 255));
    p.drawLine(5, 7, 14, 7);
    for (const int x : {8, 11})
        p.drawLine(x, 5, x, 9);
    p.setPen(black);
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(5, 12, 2, 2);
    p.drawRect(12, 12, 2, 2);
    return image;
}

QImage drawPointingHand()
{
    // Crisp black outline on a white hand, index finger up; the hot spot is its tip.
    QImage image = canvas(32, 32);
    QPainter p(&image);
    QPainterPath hand(QPointF(8, 13));
    hand.lineTo(8, 3);
    hand.quadTo(8, 1, 10, 1);
    hand.quadTo(12, 1, 12, 3);
    hand.lineTo(12, 9);
    hand.quadTo(12, 8, 14, 8);
    hand.quadTo(16, 8, 16, 10);
    hand.quadTo(16, 9, 18, 9);
    hand.quadTo(20, 9, 20, 11);
    hand.quadTo(20, 10, 21.5, 10);
    hand.quadTo(23, 10, 23, 12);
    hand.lineTo(23, 21);
    hand.quadTo(23, 25, 20, 27);
    hand.lineTo(20, 30);
    hand.lineTo(11, 30);
    hand.lineTo(11, 27);
    hand.quadTo(9, 26, 7, 23);
    hand.lineTo(3, 17);
    hand.quadTo(2, 15, 4, 14.5);
    hand.quadTo(5.5, 14.5, 6.5, 16);
    hand.lineTo(8, 18);
    hand.closeSubpath();

    p.setPen(QColor(0, 0, 0));
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(hand);
    p.drawLine(12, 10, 12, 14);
    p.drawLine(16, 11, 16, 14);
    p.drawLine(20, 12, 20, 14);
    p.drawLine(11, 27, 20, 27);
    return image;
}

namespace {

enum class Emblem { MusicNote, FilmStrip, Disc, Phone, Waveform, Photo };

struct BoxDesign {
    int width;
    QColor colour;
    QColor accent;
    Emblem emblem;
};

// Panels 1 to 6.
const std::array<BoxDesign, 6> boxDesigns{{
    {132, QColor(30, 110, 200), QColor(255, 200, 40), Emblem::Waveform},   // audio editor
    {129, QColor(200, 50, 40), QColor(250, 230, 120), Emblem::MusicNote},  // sound recorder
    {131, QColor(40, 150, 80), QColor(220, 240, 255), Emblem::FilmStrip},  // video to MP3
    {131, QColor(110, 60, 170), QColor(120, 220, 255), Emblem::Disc},      // MP3 splitter
    {131, QColor(230, 120, 20), QColor(255, 244, 225), Emblem::Photo},     // tag organizer
    {130, QColor(20, 140, 150), QColor(255, 240, 200), Emblem::Phone},     // audio joiner
}};

void drawEmblem(QPainter &p, Emblem emblem, QPointF centre, const QColor &accent)
{
    p.save();
    p.translate(centre);
    switch (emblem) {
    case Emblem::MusicNote:
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        for (const qreal x : {-14.0, 12.0}) {
            p.save();
            p.translate(x, 16);
            p.rotate(-20);
            p.drawEllipse(QPointF(0, 0), 8, 5.5);
            p.restore();
            p.drawRect(QRectF(x + 4.5, -20, 3.5, 35));
        }
        p.drawPolygon(QPolygonF{{-9.5, -20}, {20, -26}, {20, -18}, {-9.5, -12}});
        break;
    case Emblem::FilmStrip:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 30, 36));
        p.drawRect(QRectF(-22, -30, 44, 60));
        p.setBrush(QColor(255, 255, 255));
        for (int i = 0; i < 6; ++i) {
            p.drawRect(QRectF(-19, -27 + i * 10, 4, 5));
            p.drawRect(QRectF(15, -27 + i * 10, 4, 5));
        }
        p.setBrush(accent);
        p.drawRect(QRectF(-11, -26, 22, 24));
        p.drawRect(QRectF(-11, 2, 22, 24));
        break;
    case Emblem::Disc: {
        QConicalGradient shine(0, 0, 30);
        shine.setColorAt(0, QColor(230, 230, 240));
        shine.setColorAt(0.2, QColor(150, 200, 255));
        shine.setColorAt(0.4, QColor(255, 230, 150));
        shine.setColorAt(0.6, QColor(200, 160, 255));
        shine.setColorAt(0.8, QColor(170, 255, 200));
        shine.setColorAt(1, QColor(230, 230, 240));
        p.setPen(QPen(QColor(90, 90, 110), 1.5));
        p.setBrush(shine);
        p.drawEllipse(QPointF(0, 0), 29, 29);
        p.setBrush(accent);
        p.drawEllipse(QPointF(0, 0), 9, 9);
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(QPointF(0, 0), 4, 4);
        break;
    }
    case Emblem::Phone:
        p.drawImage(QRectF(-32, -32, 64, 64), drawHandset(48));
        break;
    case Emblem::Waveform:
        p.setPen(Qt::NoPen);
        p.setBrush(accent);
        for (int i = -6; i <= 6; ++i) {
            const qreal height = 8 + 22 * std::abs(std::sin(i * 0.9)) * (1 - std::abs(i) / 9.0);
            p.drawRoundedRect(QRectF(i * 4.5 - 1.5, -height, 3, 2 * height), 1.5, 1.5);
        }
        break;
    case Emblem::Photo:
        p.setPen(QPen(QColor(255, 255, 255), 3));
        p.setBrush(QColor(120, 190, 240));
        p.drawRect(QRectF(-26, -20, 52, 40));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 220, 60));
        p.drawEllipse(QPointF(12, -8), 6, 6);
        p.setBrush(QColor(40, 120, 50));
        p.drawPolygon(QPolygonF{{-24.5, 18.5}, {-8, -4}, {4, 10}, {10, 4}, {24.5, 18.5}});
        break;
    }
    p.restore();
}

} // namespace

QImage drawSoftwareBox(int product)
{
    const BoxDesign &design = boxDesigns.at(product);
    QImage image(design.width, 160, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const qreal depth = 16, rise = 10;
    const qreal left = 5, right = design.width - depth - 5, top = 16, bottom = 150;
    const QColor &colour = design.colour;

    QRadialGradient shadow(QPointF((left + right + depth) / 2, bottom + 1), design.width / 2.0);
    shadow.setColorAt(0, QColor(0, 0, 0, 90));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shadow);
    p.drawEllipse(QPointF((left + right + depth) / 2, bottom + 1), design.width / 2.0, 6);

    const QPen edge(colour.darker(250), 1);
    p.setPen(edge);
    p.setBrush(colour.lighter(140));
    p.drawPolygon(QPolygonF{{left, top}, {left + depth, top - rise}, {right + depth, top - rise}, {right, top}});
    QLinearGradient side(right, 0, right + depth, 0);
    side.setColorAt(0, colour.darker(170));
    side.setColorAt(1, colour.darker(130));
    p.setBrush(side);
    p.drawPolygon(QPolygonF{{right, top}, {right + depth, top - rise}, {right + depth, bottom - rise}, {right, bottom}});

    QLinearGradient front(left, top, right, bottom);
    front.setColorAt(0, colour.lighter(135));
    front.setColorAt(1, colour.darker(125));
    p.setBrush(front);
    p.drawRect(QRectF(left, top, right - left, bottom - top));

    // A title and a subtitle line, and the maker's strip at the foot.
    const qreal width = right - left;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawRoundedRect(QRectF(left + 8, top + 10, width * 0.75, 8), 3, 3);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(QRectF(left + 8, top + 23, width * 0.5, 5), 2.5, 2.5);
    p.setBrush(design.accent);
    p.drawRect(QRectF(left + 1, bottom - 20, width - 1.5, 12));
    p.setBrush(colour.darker(200));
    p.drawEllipse(QPointF(left + 12, bottom - 14), 4, 4);
    p.drawRoundedRect(QRectF(left + 20, bottom - 16, width * 0.35, 4), 2, 2);

    drawEmblem(p, design.emblem, QPointF(left + width / 2, top + 70), design.accent);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRoundedRect(QRectF(right + depth * 0.35, top + 10, depth * 0.3, 60), 2, 2);
    return image;
}
