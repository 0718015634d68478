// Draws every picture of the desktop reader into the resources folder, and
// the toolbar buttons that the help page shows into the help folder:
//   tessaline-pictures RESOURCES_DIR HELP_DIR
// tools/make-pictures.sh builds and runs it; the PNG files it writes are
// checked in, so that building the reader needs neither this program nor
// its fonts. Run it again after changing a drawing.
//
// One family: paper, ink and seal red, an indigo book cover, the ink-wash
// hills of the splash and the About picture. Every random detail comes from
// a fixed seed, so the same fonts give the same files.
#include <QColor>
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// --- Palette

const QColor kInk(0x23, 0x1f, 0x1c);
const QColor kInkSoft(0x5c, 0x53, 0x4a);
const QColor kPaperLight(0xfa, 0xf5, 0xe9);
const QColor kPaper(0xf2, 0xe9, 0xd5);
const QColor kPaperDark(0xe0, 0xd1, 0xb1);
const QColor kPaperEdge(0xb5, 0xa3, 0x82);
const QColor kSeal(0xb3, 0x2d, 0x22);
const QColor kSealBright(0xcf, 0x36, 0x26);
const QColor kSealDark(0x86, 0x1f, 0x17);
const QColor kCover(0x2e, 0x37, 0x4b);  // indigo of a thread-bound cover
const QColor kThread(0xd8, 0xcb, 0xae);
const QColor kMask(255, 0, 255);

const char* const kSerif = "Noto Serif CJK JP";

QString g_strOut;

bool Save(const QImage& image, const QString& strName) {
    const QString strPath = g_strOut + QLatin1Char('/') + strName;
    QDir().mkpath(strPath.section(QLatin1Char('/'), 0, -2));
    if (!image.save(strPath, "PNG", 0)) {
        std::fprintf(stderr, "tessaline-pictures: cannot write %s\n", qPrintable(strPath));
        return false;
    }
    std::printf("%s %dx%d\n", qPrintable(strName), image.width(), image.height());
    return true;
}

// --- Noise: a hash of the lattice point, smoothed; deterministic everywhere.

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9e3779b9u ^ static_cast<uint32_t>(x) * 0x85ebca6bu ^ static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

double Unit(uint32_t h) { return (h & 0xffffff) / double(0x1000000); }

// Value noise in [0, 1) with period nPeriodX x nPeriodY lattice cells (0:
// no wrapping).
double ValueNoise(double x, double y, uint32_t seed, int nPeriodX = 0, int nPeriodY = 0) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto at = [&](int ix, int iy) {
        if (nPeriodX) ix = ((ix % nPeriodX) + nPeriodX) % nPeriodX;
        if (nPeriodY) iy = ((iy % nPeriodY) + nPeriodY) % nPeriodY;
        return Unit(Hash(ix, iy, seed));
    };
    const double a = at(x0, y0), b = at(x0 + 1, y0), c = at(x0, y0 + 1), d = at(x0 + 1, y0 + 1);
    return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

double Fbm(double x, double y, uint32_t seed, int nOctaves, int nPeriodX = 0, int nPeriodY = 0) {
    double sum = 0, amplitude = 0.5, total = 0;
    for (int i = 0; i < nOctaves; ++i) {
        sum += amplitude * ValueNoise(x, y, seed + i * 101, nPeriodX, nPeriodY);
        total += amplitude;
        amplitude *= 0.5;
        x *= 2;
        y *= 2;
        nPeriodX *= 2;
        nPeriodY *= 2;
    }
    return sum / total;
}

// A small deterministic random sequence.
class CSequence {
public:
    explicit CSequence(uint32_t seed) : m_seed(seed) {}
    double Next() { return Unit(Hash(m_n++, 7, m_seed)); }
    double Between(double lo, double hi) { return lo + (hi - lo) * Next(); }

private:
    uint32_t m_seed;
    int m_n = 0;
};

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QColor WithAlpha(QColor c, double alpha) {
    c.setAlphaF(static_cast<float>(alpha));
    return c;
}

// --- Paper

// Fills image with paper: a vertical gradient from top to bottom, a fine
// grain and fibres. With bWrap the grain and the fibres repeat seamlessly
// across the left and right edges (and top and bottom for a square tile).
void PaperFill(QImage& image, const QColor& top, const QColor& bottom, uint32_t seed, bool bWrapX, bool bWrapY,
               double grain = 5.0, int nFibres = -1, double fibreStrength = 1.0) {
    const int w = image.width(), h = image.height();
    const int nCellsX = bWrapX ? std::max(1, w / 6) : 0, nCellsY = bWrapY ? std::max(1, h / 6) : 0;
    for (int y = 0; y < h; ++y) {
        const QColor base = bWrapY ? Mix(top, bottom, 0.5) : Mix(top, bottom, h > 1 ? double(y) / (h - 1) : 0.0);
        for (int x = 0; x < w; ++x) {
            const double nx = bWrapX ? double(x) * nCellsX / w : x / 6.0;
            const double ny = bWrapY ? double(y) * nCellsY / h : y / 6.0;
            const double n = Fbm(nx, ny, seed, 3, nCellsX, nCellsY) - 0.5;
            const double speck = Unit(Hash(x, y, seed + 17)) - 0.5;
            const double d = n * grain * 2 + speck * grain * 0.6;
            image.setPixelColor(x, y,
                                QColor(std::clamp(int(base.red() + d), 0, 255), std::clamp(int(base.green() + d), 0, 255),
                                       std::clamp(int(base.blue() + d * 1.2), 0, 255)));
        }
    }
    if (nFibres < 0) nFibres = w * h / 900;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    CSequence random(seed + 5);
    for (int i = 0; i < nFibres; ++i) {
        const double x = random.Between(0, w), y = random.Between(0, h);
        const double angle = random.Between(0, 2 * M_PI), length = random.Between(5, 26);
        const double bend = random.Between(-0.5, 0.5);
        const bool bDark = random.Next() < 0.6;
        const QColor colour = WithAlpha(bDark ? QColor(0x8a, 0x74, 0x50) : QColor(0xff, 0xfc, 0xf4),
                                        random.Between(0.06, bDark ? 0.16 : 0.35) * fibreStrength);
        painter.setPen(QPen(colour, random.Between(0.5, 1.1), Qt::SolidLine, Qt::RoundCap));
        QPainterPath fibre(QPointF(x, y));
        const QPointF end(x + std::cos(angle) * length, y + std::sin(angle) * length);
        const QPointF control(x + std::cos(angle + bend) * length * 0.5, y + std::sin(angle + bend) * length * 0.5);
        fibre.quadTo(control, end);
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy) {
                if ((dx && !bWrapX) || (dy && !bWrapY)) continue;
                painter.drawPath(fibre.translated(dx * w, dy * h));
            }
    }
}

// --- Ink-wash hills

struct HillLayer {
    double baseline;   // fraction of the height where the ridges sit on average
    double amplitude;  // fraction of the height
    double alpha;      // ink at the ridge
    double depth;      // fraction of the height over which the ink fades below the ridge
    double scale;      // spacing and half width of the peaks, fraction of the width
};

// Layers of hills in ink, far (light) to near (dark), fading into mist
// below each ridge, towards both sides and, over the lowest bottomFade of
// the height, towards the foot. Returns straight-alpha ink.
QImage InkHills(int w, int h, uint32_t seed, const std::vector<HillLayer>& layers, double sideFade = 0.18,
                double bottomFade = 0.0) {
    std::vector<double> coverage(static_cast<size_t>(w) * h, 0.0);
    for (size_t l = 0; l < layers.size(); ++l) {
        const HillLayer& layer = layers[l];
        const uint32_t s = seed + 1000 * static_cast<uint32_t>(l);
        // Peaks: rounded, lopsided humps of random height, the highest one
        // wins, with a little rock detail along the ridge.
        CSequence random(s);
        struct Peak {
            double centre, height, left, right;
        };
        std::vector<Peak> peaks;
        for (double c = random.Between(-0.1, 0.1); c < 1.15; c += layer.scale * random.Between(0.9, 1.8)) {
            const double height = std::pow(random.Next(), 1.6) * 0.8 + 0.2;
            peaks.push_back({c, height, layer.scale * random.Between(0.5, 1.2), layer.scale * random.Between(0.5, 1.2)});
        }
        for (int x = 0; x < w; ++x) {
            const double u = double(x) / w;
            double profile = 0;
            for (const Peak& peak : peaks) {
                const double d = (u - peak.centre) / (u < peak.centre ? peak.left : peak.right);
                profile = std::max(profile, peak.height * std::exp(-d * d * 2.5));
            }
            const double detail = Fbm(u * 30, 1.5, s + 13, 4) - 0.5;
            const double ridge = h * (layer.baseline - layer.amplitude * profile - 0.03 * detail);
            const double edge = std::min(double(x) / (w * sideFade), double(w - 1 - x) / (w * sideFade));
            const double side = std::clamp(edge, 0.0, 1.0);
            const double sideEase = side * side * (3 - 2 * side);
            for (int y = std::max(0, static_cast<int>(ridge)); y < h; ++y) {
                const double below = (y - ridge) / (h * layer.depth);
                if (below < 0) continue;
                // Dark along the ridge, lighter inside, brush texture.
                const double rim = std::exp(-below * 9.0) * 0.35;
                const double texture = 0.85 + 0.3 * Fbm(x / 4.0, y / 10.0, s + 21, 3);
                double a = layer.alpha * (std::exp(-below * 2.2) + rim) * texture * sideEase;
                const double soft = std::clamp(y - ridge + 0.5, 0.0, 1.0);  // antialiased ridge
                a = std::clamp(a * soft, 0.0, 1.0);
                double& c = coverage[static_cast<size_t>(y) * w + x];
                c = a + c * (1 - a);
            }
        }
    }
    // Mist at the foot, so that the picture has no lower edge.
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        const double foot = std::clamp((h - 1 - y) / (h * bottomFade), 0.0, 1.0);
        const double mist = bottomFade > 0 ? foot * foot * (3 - 2 * foot) : 1.0;
        for (int x = 0; x < w; ++x)
            image.setPixelColor(x, y,
                                WithAlpha(kInk, std::clamp(coverage[static_cast<size_t>(y) * w + x] * mist, 0.0, 1.0)));
    }
    return image;
}

// --- Seal

// A square seal in seal red with the characters cut out in white (read
// right column first, top to bottom), worn at the edges like a stamp.
QImage Seal(int nSize, const QString& strCharacters, uint32_t seed) {
    QImage image(nSize, nSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const double inset = nSize * 0.04;
        const QRectF body(inset, inset, nSize - 2 * inset, nSize - 2 * inset);
        painter.setPen(Qt::NoPen);
        painter.setBrush(kSeal);
        painter.drawRoundedRect(body, nSize * 0.05, nSize * 0.05);
        // A thin inner border in white, as carved.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(kPaperLight, nSize * 0.025));
        painter.drawRoundedRect(body.adjusted(nSize * 0.07, nSize * 0.07, -nSize * 0.07, -nSize * 0.07), nSize * 0.02,
                                nSize * 0.02);
        QFont font(QString::fromLatin1(kSerif));
        font.setWeight(QFont::Bold);
        painter.setPen(kPaperLight);
        const int n = static_cast<int>(strCharacters.size());
        const QRectF inner = body.adjusted(nSize * 0.14, nSize * 0.13, -nSize * 0.14, -nSize * 0.15);
        if (n == 1) {
            font.setPixelSize(static_cast<int>(inner.height() * 0.95));
            painter.setFont(font);
            painter.drawText(inner, Qt::AlignCenter, strCharacters);
        } else {
            // Two columns, right first.
            const int nRows = (n + 1) / 2;
            font.setPixelSize(static_cast<int>(inner.height() / nRows * 0.98));
            painter.setFont(font);
            for (int i = 0; i < n; ++i) {
                const int column = i / nRows, row = i % nRows;
                const QRectF cell(inner.right() - (column + 1) * inner.width() / 2, inner.top() + row * inner.height() / nRows,
                                  inner.width() / 2, inner.height() / nRows);
                painter.drawText(cell, Qt::AlignCenter, strCharacters.mid(i, 1));
            }
        }
    }
    // Wear: the paper shows through in small specks and along the rim.
    QImage worn = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < nSize; ++y)
        for (int x = 0; x < nSize; ++x) {
            QColor c = worn.pixelColor(x, y);
            if (c.alpha() == 0) continue;
            const double n = Fbm(x / (nSize * 0.05), y / (nSize * 0.05), seed, 3);
            const double rim = std::min({x, y, nSize - 1 - x, nSize - 1 - y}) / (nSize * 0.12);
            const double wear = std::clamp((n - 0.62 - 0.25 * std::min(rim, 1.0)) * 6, 0.0, 1.0);
            c.setAlphaF(static_cast<float>(c.alphaF() * (1 - wear * 0.85)));
            // Ink lies unevenly.
            const double tone = 0.92 + 0.12 * Fbm(x / (nSize * 0.15), y / (nSize * 0.15), seed + 3, 2);
            if (c.red() < 230) c = WithAlpha(QColor::fromRgbF(std::min(1.0f, static_cast<float>(c.redF() * tone)),
                                                              static_cast<float>(c.greenF() * tone),
                                                              static_cast<float>(c.blueF() * tone)),
                                             c.alphaF());
            worn.setPixelColor(x, y, c);
        }
    return worn;
}

// --- Text

QFont Serif(int nPixelSize, bool bBold = false) {
    QFont font(QString::fromLatin1(kSerif));
    font.setPixelSize(nPixelSize);
    font.setWeight(bBold ? QFont::Bold : QFont::Normal);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

// A column of characters, top to bottom, in ink with a slightly uneven
// brush tone.
QImage VerseColumn(const QString& strText, int nPixelSize, uint32_t seed) {
    const int nStep = static_cast<int>(nPixelSize * 1.12);
    QImage image(static_cast<int>(nPixelSize * 1.3), nStep * static_cast<int>(strText.size()) + nPixelSize / 3,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(Serif(nPixelSize));
    for (int i = 0; i < strText.size(); ++i) {
        painter.setPen(WithAlpha(kInk, 0.82 + 0.16 * Unit(Hash(i, 0, seed))));
        painter.drawText(QRectF(0, i * nStep, image.width(), nStep + nPixelSize / 3.0), Qt::AlignHCenter | Qt::AlignTop,
                         strText.mid(i, 1));
    }
    return image;
}

// The name of the reader with its subtitle and a brush rule between them.
QImage TitleBlock(double scale) {
    const int w = static_cast<int>(560 * scale), h = static_cast<int>(200 * scale);
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QFont series = Serif(static_cast<int>(20 * scale));
    series.setLetterSpacing(QFont::AbsoluteSpacing, 2 * scale);
    painter.setFont(series);
    painter.setPen(kInkSoft);
    painter.drawText(QRectF(0, 0, w, 30 * scale), Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("Corvatel--Quenlow シリーズ⑭"));

    QFont title = Serif(static_cast<int>(78 * scale), true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 3 * scale);
    painter.setFont(title);
    painter.setPen(kInk);
    painter.drawText(QRectF(0, 30 * scale, w, 100 * scale), Qt::AlignCenter, QStringLiteral("Tessaline"));

    // A brush rule, thick in the middle and thin at the ends.
    QPainterPath rule;
    const double y = 138 * scale, x0 = w * 0.16, x1 = w * 0.84, t = 2.6 * scale;
    rule.moveTo(x0, y);
    rule.cubicTo(w * 0.35, y - t, w * 0.65, y - t * 0.8, x1, y - 0.3 * scale);
    rule.cubicTo(w * 0.65, y + t * 0.9, w * 0.35, y + t, x0, y);
    painter.setPen(Qt::NoPen);
    painter.setBrush(WithAlpha(kInk, 0.85));
    painter.drawPath(rule);

    QFont subtitle = Serif(static_cast<int>(26 * scale));
    subtitle.setLetterSpacing(QFont::AbsoluteSpacing, 12 * scale);
    painter.setFont(subtitle);
    painter.setPen(kInkSoft);
    painter.drawText(QRectF(0, 148 * scale, w + 12 * scale, 44 * scale), Qt::AlignCenter,
                     QStringLiteral("古典籍全文検索"));
    return image;
}

void DrawOver(QImage& target, const QImage& picture, QPointF at, double opacity = 1.0) {
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setOpacity(opacity);
    painter.drawImage(at, picture);
}

// --- Toolbar glyphs

struct GlyphColours {
    QColor ink, line, paper, paperBack, accent, cover;
};

const GlyphColours kNormalColours{kInk, kInkSoft, kPaperLight, kPaperDark, kSeal, kCover};
const GlyphColours kHotColours{kInk, kInkSoft, QColor(0xff, 0xfd, 0xf6), kPaperDark, kSealBright, QColor(0x34, 0x42, 0x5e)};
const GlyphColours kDisabledColours{QColor(0xa9, 0xa0, 0x93), QColor(0xbe, 0xb6, 0xa9), QColor(0xf1, 0xeb, 0xdf),
                                    QColor(0xe2, 0xda, 0xcb), QColor(0xc4, 0xb9, 0xaa), QColor(0xb9, 0xb1, 0xa5)};

QPen InkPen(const QColor& colour, double width) { return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin); }

// A sheet with columns of text (classical text runs top to bottom).
void Sheet(QPainter& p, const QRectF& rect, const GlyphColours& c, const QColor& fill, int nColumns) {
    p.setPen(InkPen(c.ink, 1.4));
    p.setBrush(fill);
    p.drawRoundedRect(rect, 1.2, 1.2);
    p.setPen(InkPen(c.line, 1.6));
    const double step = rect.width() / (nColumns + 1);
    for (int i = 1; i <= nColumns; ++i) {
        const double x = rect.left() + step * i;
        const double bottom = rect.bottom() - 4 - (i == nColumns ? rect.height() * 0.3 : 0);
        p.drawLine(QPointF(x, rect.top() + 4), QPointF(x, bottom));
    }
}

// A thread-bound book seen from the front: indigo cover, title slip,
// stitching on the right edge.
void Book(QPainter& p, const QRectF& rect, const GlyphColours& c) {
    p.setPen(InkPen(c.ink, 1.4));
    p.setBrush(c.paperBack);
    p.drawRoundedRect(rect.translated(1.5, 1.5), 1.2, 1.2);  // page block
    p.setBrush(c.cover);
    p.drawRoundedRect(rect, 1.2, 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(c.paper);
    p.drawRect(QRectF(rect.left() + 2.5, rect.top() + 3, rect.width() * 0.28, rect.height() * 0.55));
    const double x = rect.right() - 3;
    p.setPen(InkPen(c.paper, 1.0));
    p.drawLine(QPointF(x, rect.top() + 1.5), QPointF(x, rect.bottom() - 1.5));
    for (int i = 1; i <= 4; ++i) {
        const double y = rect.top() + rect.height() * i / 5.0;
        p.drawLine(QPointF(x, y), QPointF(rect.right(), y));
    }
}

void Chevron(QPainter& p, double x, double tip, const GlyphColours& c) {
    // Points left, tip at x = tip; drawn from x.
    p.setPen(InkPen(c.accent, 3.2));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{QPointF(x, 13), QPointF(tip, 20), QPointF(x, 27)});
}

void Magnifier(QPainter& p, const GlyphColours& c) {
    p.setPen(InkPen(c.cover, 3.6));
    p.drawLine(QPointF(30.5, 23.5), QPointF(35, 28.5));
    p.setPen(InkPen(c.ink, 2.0));
    p.setBrush(c.paper);
    p.drawEllipse(QPointF(25, 17), 8.5, 8.5);
    // A hit as the page shows it: red on grey.
    p.setPen(Qt::NoPen);
    p.setBrush(c.paperBack);
    p.drawRoundedRect(QRectF(20, 13.5, 10, 7), 1, 1);
    p.setBrush(c.accent);
    p.drawRect(QRectF(21.8, 15.5, 6.4, 3));
}

// Glyph i (toolbar order) in a 40 x 40 box.
void DrawGlyph(QPainter& p, int i, const GlyphColours& c) {
    auto mirrored = [&](const std::function<void()>& draw) {
        p.save();
        p.translate(40, 0);
        p.scale(-1, 1);
        draw();
        p.restore();
    };
    auto prevVolume = [&] {
        Book(p, QRectF(19.5, 7.5, 13, 24), c);
        Chevron(p, 10.5, 4.5, c);
        Chevron(p, 16.5, 10.5, c);
    };
    auto prevPage = [&] {
        Sheet(p, QRectF(17.5, 7.5, 15, 25), c, c.paper, 3);
        Chevron(p, 12.5, 5.5, c);
    };
    auto prevHit = [&] {
        Magnifier(p, c);
        Chevron(p, 12, 5, c);
    };
    switch (i) {
    case 0: {  // select all: a sheet inside a dashed frame
        Sheet(p, QRectF(12.5, 9.5, 15, 21), c, c.paper, 3);
        QPen pen = InkPen(c.accent, 1.6);
        pen.setDashPattern({2.2, 1.6});
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(6.5, 4.5, 27, 31), 2, 2);
        break;
    }
    case 1:  // copy: two sheets
        Sheet(p, QRectF(7.5, 6.5, 16, 21), c, c.paperBack, 0);
        Sheet(p, QRectF(16.5, 12.5, 16, 21), c, c.paper, 3);
        break;
    case 2:  // print
        Sheet(p, QRectF(12.5, 5.5, 15, 11), c, c.paper, 0);
        p.setPen(InkPen(c.ink, 1.4));
        p.setBrush(c.cover);
        p.drawRoundedRect(QRectF(6.5, 14.5, 27, 13), 3, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(c.accent);
        p.drawEllipse(QPointF(29, 18.5), 1.7, 1.7);
        Sheet(p, QRectF(11.5, 22.5, 17, 13), c, c.paper, 3);
        break;
    case 3: prevVolume(); break;
    case 4: prevPage(); break;
    case 5: mirrored(prevPage); break;
    case 6: mirrored(prevVolume); break;
    case 7: prevHit(); break;
    case 8: mirrored(prevHit); break;
    case 9: {  // about: a round seal with an "i"
        p.setPen(InkPen(c.accent.darker(125), 1.2));
        p.setBrush(c.accent);
        p.drawEllipse(QPointF(20, 20), 12.5, 12.5);
        p.setPen(Qt::NoPen);
        p.setBrush(c.paper);
        p.drawEllipse(QPointF(20, 13.2), 2.3, 2.3);
        p.drawRoundedRect(QRectF(17.9, 17, 4.2, 11.5), 1.4, 1.4);
        break;
    }
    }
}

// The raised plate behind a button under the mouse.
void HotPlate(QPainter& p) {
    QLinearGradient fill(0, 2, 0, 38);
    fill.setColorAt(0, QColor(0xff, 0xfc, 0xf3));
    fill.setColorAt(1, QColor(0xf1, 0xe4, 0xc8));
    p.setPen(InkPen(QColor(0xbc, 0xa2, 0x74), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(QRectF(1.5, 1.5, 37, 37), 5, 5);
    p.setPen(InkPen(WithAlpha(kSeal, 0.55), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(7, 36.5), QPointF(33, 36.5));
}

// The colour of each row of the toolbar backdrop where the button images
// lie (rows 4 to 43), averaged across.
std::vector<QColor> BackdropRows(const QImage& backdrop) {
    std::vector<QColor> rows;
    for (int k = 0; k < 40; ++k) {
        double r = 0, g = 0, b = 0;
        const int y = std::min(k + 4, backdrop.height() - 1);
        for (int x = 0; x < backdrop.width(); ++x) {
            const QColor c = backdrop.pixelColor(x, y);
            r += c.red();
            g += c.green();
            b += c.blue();
        }
        const int n = backdrop.width();
        rows.push_back(QColor(int(r / n + 0.5), int(g / n + 0.5), int(b / n + 0.5)));
    }
    return rows;
}

// Ten glyphs side by side, 24 bits, magenta where the backdrop shows. Edges
// are blended with the backdrop's colour at their row, so that no pink
// fringe remains once the magenta is replaced.
QImage ButtonStrip(const GlyphColours& colours, bool bHot, const std::vector<QColor>& rows) {
    QImage glyphs(400, 40, QImage::Format_ARGB32_Premultiplied);
    glyphs.fill(Qt::transparent);
    {
        QPainter p(&glyphs);
        p.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 10; ++i) {
            p.save();
            p.translate(40 * i, 0);
            if (bHot) HotPlate(p);
            DrawGlyph(p, i, colours);
            p.restore();
        }
    }
    const QImage straight = glyphs.convertToFormat(QImage::Format_ARGB32);
    QImage strip(400, 40, QImage::Format_RGB888);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 400; ++x) {
            const QColor g = straight.pixelColor(x, y);
            const double a = g.alphaF();
            if (a < 0.1) {
                strip.setPixelColor(x, y, kMask);
                continue;
            }
            QColor c = Mix(rows[y], QColor(g.red(), g.green(), g.blue()), a);
            if (c == kMask) c.setGreen(1);
            strip.setPixelColor(x, y, c);
        }
    return strip;
}

// --- The pictures

QImage ToolbarBackdrop() {
    QImage image(600, 47, QImage::Format_RGB888);
    QImage paper(600, 47, QImage::Format_RGB32);
    PaperFill(paper, QColor(0xf7, 0xf1, 0xe3), QColor(0xea, 0xdf, 0xc6), 171, true, false, 3.0, 60);
    {
        QPainter p(&paper);
        p.setPen(QColor(0xff, 0xfb, 0xf2));
        p.drawLine(0, 0, 599, 0);
        p.setPen(QColor(0xcd, 0xbb, 0x97));
        p.drawLine(0, 45, 599, 45);
        p.setPen(QColor(0xa8, 0x93, 0x6c));
        p.drawLine(0, 46, 599, 46);
    }
    image = paper.convertToFormat(QImage::Format_RGB888);
    return image;
}

// Book pictures of the contents tree: 20 x 20 on black, which the tree
// makes transparent; drawn on whole pixels so that no edge blends with the
// black.
QImage ClosedBook() {
    QImage image(20, 20, QImage::Format_RGB888);
    image.fill(Qt::black);
    QPainter p(&image);
    p.fillRect(5, 3, 12, 16, kPaperEdge);         // page block behind
    p.fillRect(3, 1, 13, 17, QColor(0x1d, 0x24, 0x33));
    p.fillRect(4, 2, 11, 15, kCover);              // cover
    p.fillRect(5, 3, 4, 10, kPaperLight);          // title slip
    p.fillRect(6, 5, 2, 1, kInkSoft);
    p.fillRect(6, 7, 2, 1, kInkSoft);
    p.fillRect(6, 9, 2, 1, kInkSoft);
    p.fillRect(13, 2, 1, 15, kThread);             // binding thread
    for (int y : {4, 8, 12, 15}) p.fillRect(13, y, 3, 1, kThread);
    p.fillRect(5, 14, 3, 2, kSeal);                // seal
    return image;
}

QImage OpenBook() {
    QImage image(20, 20, QImage::Format_RGB888);
    image.fill(Qt::black);
    QPainter p(&image);
    p.fillRect(1, 15, 18, 2, kCover);              // covers below the pages
    p.fillRect(0, 5, 10, 11, kPaperEdge);
    p.fillRect(10, 5, 10, 11, kPaperEdge);
    p.fillRect(1, 4, 8, 11, kPaperLight);          // left page
    p.fillRect(11, 4, 8, 11, kPaperLight);         // right page
    p.fillRect(9, 4, 2, 12, kPaperDark);           // fold
    for (int x : {3, 5, 7, 12, 14, 16}) p.fillRect(x, 6, 1, (x == 7 || x == 16) ? 4 : 7, kInkSoft);
    p.fillRect(9, 15, 2, 4, kSeal);                // ribbon
    return image;
}

// The list page buttons: four 32 x 32 images (normal, pressed, hot,
// disabled) of a curved arrow on a paper plate.
QImage ListStrip(bool bForward) {
    QImage image(128, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    struct Look {
        QColor top, bottom, border, arrow;
        double shift;
    };
    const Look looks[4] = {
        {QColor(0xfb, 0xf6, 0xea), QColor(0xec, 0xe1, 0xc8), QColor(0xb5, 0xa3, 0x82), kInk, 0},
        {QColor(0xe2, 0xd4, 0xb4), QColor(0xee, 0xe4, 0xcd), QColor(0x9a, 0x86, 0x62), kInk, 1},
        {QColor(0xff, 0xfd, 0xf6), QColor(0xf3, 0xe7, 0xcc), kSeal, kSealBright, 0},
        {QColor(0xf2, 0xed, 0xe3), QColor(0xea, 0xe3, 0xd6), QColor(0xcc, 0xc3, 0xb4), QColor(0xb8, 0xaf, 0xa2), 0},
    };
    for (int i = 0; i < 4; ++i) {
        const Look& look = looks[i];
        p.save();
        p.translate(32 * i, 0);
        QLinearGradient fill(0, 1, 0, 31);
        fill.setColorAt(0, look.top);
        fill.setColorAt(1, look.bottom);
        p.setPen(QPen(look.border, 1.0));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(1.5, 1.5, 29, 29), 4, 4);
        p.translate(look.shift, look.shift);
        if (bForward) {
            p.translate(32, 0);
            p.scale(-1, 1);
        }
        // An arc bending back to the left, its head at the upper left.
        QPainterPath arc;
        arc.moveTo(20.5, 24.5);
        arc.cubicTo(26, 22, 26.5, 12, 18.5, 11.5);
        arc.lineTo(13, 11.5);
        p.setPen(InkPen(look.arrow, 3.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        p.setPen(InkPen(look.arrow, 1.2));
        p.setBrush(look.arrow);
        p.drawPolygon(QPolygonF{QPointF(6.5, 11.5), QPointF(13.5, 6), QPointF(13.5, 17)});
        p.restore();
    }
    return image;
}

// The application icon at nSize: a thread-bound book with its title slip
// and a seal at the corner. Small sizes leave details out.
QImage AppIcon(int nSize) {
    QImage image(nSize, nSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = nSize / 32.0;
    p.scale(s, s);
    const double line = std::max(0.6, 1.0 / s);
    const bool bSmall = nSize <= 16, bLarge = nSize >= 48;
    // Page block and cover.
    p.setPen(QPen(QColor(0x1a, 0x20, 0x2c), line));
    p.setBrush(kPaperDark);
    p.drawRoundedRect(QRectF(6.5, 3.5, 22, 27), 1.5, 1.5);
    QLinearGradient cover(0, 2, 0, 29);
    cover.setColorAt(0, kCover.lighter(112));
    cover.setColorAt(1, kCover.darker(110));
    p.setBrush(cover);
    p.drawRoundedRect(QRectF(3.5, 1.5, 23, 27), 1.5, 1.5);
    // Title slip with text.
    p.setPen(Qt::NoPen);
    p.setBrush(kPaperLight);
    p.drawRect(QRectF(6, 4, bSmall ? 6 : 5.5, bSmall ? 15 : 14));
    if (!bSmall) {
        p.setPen(QPen(kInk, bLarge ? 1.0 : 1.1, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(8.75, 6), QPointF(8.75, bLarge ? 15.5 : 15));
    } else {
        p.fillRect(QRectF(8, 6, 2, 10), kInk);
    }
    // Binding on the right.
    p.setPen(QPen(kThread, bSmall ? 1.0 : 0.8));
    p.drawLine(QPointF(23.5, 2), QPointF(23.5, 28));
    if (!bSmall)
        for (double y : {5.0, 11.0, 17.0, 23.0}) p.drawLine(QPointF(23.5, y), QPointF(26.5, y));
    // The seal over the lower right corner.
    const QRectF seal = bSmall ? QRectF(17, 19, 13, 13) : QRectF(18, 19.5, 12, 12);
    p.setPen(QPen(QColor(0xfa, 0xf5, 0xe9), bSmall ? 1.0 : line * 1.2));
    p.setBrush(kSeal);
    p.drawRoundedRect(seal, 1.2, 1.2);
    if (!bSmall) {
        // Carved strokes suggesting a character.
        p.setPen(QPen(kPaperLight, bLarge ? 1.1 : 1.3, Qt::SolidLine, Qt::SquareCap));
        const double x = seal.left(), y = seal.top();
        p.drawLine(QPointF(x + 3, y + 3.5), QPointF(x + 9, y + 3.5));
        p.drawLine(QPointF(x + 6, y + 3.5), QPointF(x + 6, y + 9));
        p.drawLine(QPointF(x + 3, y + 6.5), QPointF(x + 9, y + 6.5));
        p.drawLine(QPointF(x + 3.5, y + 9), QPointF(x + 8.5, y + 9));
    } else {
        p.fillRect(QRectF(20, 22, 7, 2), kPaperLight);
        p.fillRect(QRectF(22.5, 22, 2, 7), kPaperLight);
    }
    return image;
}

// The cursor of the page slider: a red slider thumb between two arrows,
// outlined in paper so that it shows on dark and light ground; the hot
// spot is the middle.
QImage SliderCursor() {
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath arrows;
    arrows.moveTo(2, 16);
    arrows.lineTo(8, 10);
    arrows.lineTo(8, 14);
    arrows.lineTo(24, 14);
    arrows.lineTo(24, 10);
    arrows.lineTo(30, 16);
    arrows.lineTo(24, 22);
    arrows.lineTo(24, 18);
    arrows.lineTo(8, 18);
    arrows.lineTo(8, 22);
    arrows.closeSubpath();
    QPainterPath thumb;
    thumb.addRoundedRect(QRectF(12.5, 7.5, 7, 17), 2, 2);
    p.setPen(QPen(kPaperLight, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kPaperLight);
    p.drawPath(arrows);
    p.drawPath(thumb);
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(kInk);
    p.drawPath(arrows);
    p.setPen(QPen(kSealDark, 1.0));
    p.setBrush(kSeal);
    p.drawPath(thumb);
    p.setPen(QPen(kPaperLight, 1.0));
    p.drawLine(QPointF(16, 11), QPointF(16, 21));
    return image;
}

// The printed frame of a woodblock page: a thick outer and a thin inner
// line.
void PageFrame(QPainter& p, const QRectF& rect, double scale) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(kInk, 0.85), 3.2 * scale, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(rect);
    p.setPen(QPen(WithAlpha(kInk, 0.7), 1.0 * scale));
    p.drawRect(rect.adjusted(6 * scale, 6 * scale, -6 * scale, -6 * scale));
}

QImage AboutPicture() {
    QImage image(500, 350, QImage::Format_RGB32);
    PaperFill(image, QColor(0xf8, 0xf2, 0xe4), QColor(0xee, 0xe3, 0xca), 168, false, false);
    const QImage hills = InkHills(500, 170, 1680,
                                  {{0.6, 0.5, 0.2, 0.5, 0.16}, {0.8, 0.45, 0.34, 0.4, 0.12}, {1.0, 0.3, 0.5, 0.3, 0.1}},
                                  0.22);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.save();
        p.setClipRect(QRectF(16, 16, 468, 318));
        p.setOpacity(0.9);
        p.drawImage(QPointF(0, 180), hills);
        p.restore();
        PageFrame(p, QRectF(10, 10, 480, 330), 1.0);
        // The fold line of the block, with its fish-tail marks, on the right.
        p.setPen(QPen(WithAlpha(kInk, 0.6), 1.0));
        p.drawLine(QPointF(430, 16), QPointF(430, 334));
    }
    DrawOver(image, VerseColumn(QStringLiteral("溫故而知新"), 30, 5), QPointF(441, 40));
    const QImage title = TitleBlock(0.66);
    DrawOver(image, title, QPointF(215 - title.width() / 2.0, 52));
    DrawOver(image, Seal(54, QStringLiteral("溫故知新"), 168), QPointF(362, 52), 0.95);
    // The version is written by the About box below the subtitle.
    return image;
}

QImage SplashHint() {
    QImage image(520, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font = Serif(20);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    p.setFont(font);
    p.setPen(kInkSoft);
    p.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("キーを押すか、クリックしてください"));
    return image;
}

// The normal buttons as the toolbar shows them: the magenta replaced by the
// backdrop.
QImage HelpButtons(const QImage& strip, const QImage& backdrop) {
    QImage image(strip.size(), QImage::Format_RGB888);
    for (int y = 0; y < strip.height(); ++y)
        for (int x = 0; x < strip.width(); ++x) {
            const QColor c = strip.pixelColor(x, y);
            image.setPixelColor(x, y, c == kMask ? backdrop.pixelColor(x + 3, y + 4) : c);
        }
    return image;
}

QImage PaperTile() {
    QImage image(256, 256, QImage::Format_RGB32);
    // Few and faint fibres: the tile repeats over the whole screen.
    PaperFill(image, QColor(0xf5, 0xee, 0xdd), QColor(0xf5, 0xee, 0xdd), 1280, true, true, 4.0, 30, 0.45);
    return image.convertToFormat(QImage::Format_RGB888);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "Usage: tessaline-pictures RESOURCES_DIR HELP_DIR\n");
        return 2;
    }
    g_strOut = QString::fromLocal8Bit(argv[1]);
    const QString strHelp = QString::fromLocal8Bit(argv[2]);
    if (!QFont(QString::fromLatin1(kSerif)).exactMatch())
        std::fprintf(stderr, "tessaline-pictures: warning: font \"%s\" not found; install fonts-noto-cjk\n", kSerif);

    bool bOk = true;
    const QImage backdrop = ToolbarBackdrop();
    const std::vector<QColor> rows = BackdropRows(backdrop);
    bOk &= Save(backdrop, QStringLiteral("bitmaps/171.png"));
    const QImage normal = ButtonStrip(kNormalColours, false, rows);
    bOk &= Save(normal, QStringLiteral("bitmaps/172.png"));
    bOk &= Save(ButtonStrip(kDisabledColours, false, rows), QStringLiteral("bitmaps/173.png"));
    bOk &= Save(ButtonStrip(kHotColours, true, rows), QStringLiteral("bitmaps/174.png"));
    bOk &= Save(OpenBook(), QStringLiteral("bitmaps/159.png"));
    bOk &= Save(ClosedBook(), QStringLiteral("bitmaps/160.png"));
    bOk &= Save(ListStrip(false), QStringLiteral("bitmaps/184.png"));
    bOk &= Save(ListStrip(true), QStringLiteral("bitmaps/185.png"));
    bOk &= Save(AboutPicture().convertToFormat(QImage::Format_RGB888), QStringLiteral("bitmaps/168.png"));
    bOk &= Save(AppIcon(32), QStringLiteral("icons/128.png"));
    bOk &= Save(AppIcon(16), QStringLiteral("icons/143.png"));
    for (int nSize : {16, 24, 32, 48, 64, 128, 256})
        bOk &= Save(AppIcon(nSize), QStringLiteral("icons/hicolor/%1x%1/apps/tessaline.png").arg(nSize));
    bOk &= Save(SliderCursor(), QStringLiteral("cursors/149.png"));

    // The splash: layers that the splash window moves and fades in.
    bOk &= Save(PaperTile(), QStringLiteral("splash/paper.png"));
    bOk &= Save(InkHills(1280, 360, 1281,
                         {{0.58, 0.5, 0.18, 0.5, 0.13}, {0.8, 0.45, 0.32, 0.4, 0.1}, {1.0, 0.3, 0.48, 0.3, 0.08}}, 0.18, 0.3),
                QStringLiteral("splash/hills.png"));
    bOk &= Save(VerseColumn(QStringLiteral("溫故而知新"), 72, 5), QStringLiteral("splash/verse.png"));
    bOk &= Save(TitleBlock(1.0), QStringLiteral("splash/title.png"));
    bOk &= Save(Seal(112, QStringLiteral("溫故知新"), 7), QStringLiteral("splash/seal.png"));
    bOk &= Save(SplashHint(), QStringLiteral("splash/hint.png"));

    g_strOut = strHelp;
    bOk &= Save(HelpButtons(normal, backdrop), QStringLiteral("toolbar.png"));
    return bOk ? 0 : 1;
}
