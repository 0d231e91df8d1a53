// Draws the tile of the main window's background: a pale paper tone with a soft diagonal weave,
// so that the purple captions stay readable over it.
#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: meridell_mkpicture <path/to/picture.bmp>\n");
        return 2;
    }
    const int size = 96;
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double a = std::sin((x + y) * 2 * M_PI / size) + std::sin((x - y) * 4 * M_PI / size);
            int base = 236 + int(a * 5);
            image.setPixel(x, y, qRgb(base, base - 4, std::min(255, base + 10)));
        }
    }
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(210, 200, 228), 1));
    p.drawEllipse(QPointF(size / 2.0, size / 2.0), size / 4.0, size / 4.0);
    p.drawLine(0, 0, size, size);
    p.drawLine(size, 0, 0, size);
    p.end();
    return image.save(QString::fromLocal8Bit(argv[1]), "BMP") ? 0 : 1;
}
