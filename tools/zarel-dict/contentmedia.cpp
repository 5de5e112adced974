// Drawing the logos, backgrounds, glyphs and answer pictures, and synthesising the feedback
// sounds.
#include "zarel-dict/contentmedia.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <numbers>

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtGlobal>

using namespace Qt::Literals::StringLiterals;

namespace zarel::dicttool {

namespace {

const QColor kNavy(0x16, 0x33, 0x66);
const QColor kTeal(0x1f, 0x6f, 0x78);
const QColor kTurkishRed(0xe3, 0x0a, 0x17);
const QColor kButtonFace(0xf0, 0xf0, 0xf0);

// A QGuiApplication for the drawing when none runs (the command-line builder has none), on the
// offscreen platform so no display is needed. The arguments belong to the scope: the
// application takes "-platform offscreen" out of them, so each application gets a fresh set.
class GuiScope
{
public:
    GuiScope()
    {
        if (QCoreApplication::instance())
            return;
        // Qt's notices about the session (no runtime folder, font substitutes) mean nothing in
        // the build log; only its errors are passed on.
        m_previousHandler = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &message) {
                if (type == QtCriticalMsg || type == QtFatalMsg)
                    std::fprintf(stderr, "zarel-dict: %s\n", qPrintable(message));
            });
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    ~GuiScope()
    {
        if (!m_app)
            return;
        m_app.reset();
        qInstallMessageHandler(m_previousHandler);
    }
    GuiScope(const GuiScope &) = delete;
    GuiScope &operator=(const GuiScope &) = delete;

    bool usable() const { return qobject_cast<QGuiApplication *>(QCoreApplication::instance()); }

private:
    char m_name[11] = "zarel-dict";
    char m_option[10] = "-platform";
    char m_platform[10] = "offscreen";
    char *m_argv[4] = { m_name, m_option, m_platform, nullptr };
    int m_argc = 3;
    QtMessageHandler m_previousHandler = nullptr;
    std::unique_ptr<QGuiApplication> m_app; // last: goes before the arguments it uses
};

QFont font(int pixelSize, bool bold = false)
{
    QFont f(u"DejaVu Sans"_s);
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

QImage canvas(int width, int height, const QColor &fill)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

bool encode(const QImage &image, const char *format, int quality, std::string &bytes)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality))
        return false;
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return !bytes.empty();
}

// A right-pointing arrow with a rounded shaft, from `from` to `to` (same height).
void drawArrow(QPainter &p, QPointF from, QPointF to, const QColor &color)
{
    p.setPen(QPen(color, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to - QPointF(4, 0));
    QPainterPath head;
    head.moveTo(to);
    head.lineTo(to + QPointF(-8, -5));
    head.lineTo(to + QPointF(-8, 5));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

// The direction logo: the source language's half on the left, the target's on the right, an
// arrow between them.
QImage directionLogo(bool englishToTurkish)
{
    QImage image = canvas(90, 58, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const auto half = [&](const QRectF &r, const QColor &top, const QColor &bottom) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, top);
        g.setColorAt(1, bottom);
        p.fillRect(r, g);
    };
    const QColor english = kNavy.lighter(120);
    const QColor turkish = kTurkishRed;
    const QRectF left(0, 0, 45, 58);
    const QRectF right(45, 0, 45, 58);
    half(left, englishToTurkish ? english : turkish,
         englishToTurkish ? kNavy.darker(130) : turkish.darker(140));
    half(right, englishToTurkish ? turkish : english,
         englishToTurkish ? turkish.darker(140) : kNavy.darker(130));
    p.fillRect(QRectF(44.5, 0, 1, 58), QColor(255, 255, 255, 140));
    p.setPen(Qt::white);
    p.setFont(font(17, true));
    p.drawText(QRectF(0, 6, 45, 28), Qt::AlignCenter, englishToTurkish ? u"EN"_s : u"TR"_s);
    p.drawText(QRectF(45, 6, 45, 28), Qt::AlignCenter, englishToTurkish ? u"TR"_s : u"EN"_s);
    drawArrow(p, QPointF(22, 45), QPointF(68, 45), Qt::white);
    p.setPen(QPen(QColor(255, 255, 255, 90), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, 89, 57));
    return image;
}

// Fine diagonal hatching over a navy-to-teal gradient: the ground of the about windows.
void paintWindowGround(QPainter &p, const QRect &r)
{
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, kNavy);
    g.setColorAt(1, kTeal);
    p.fillRect(r, g);
    p.setPen(QPen(QColor(255, 255, 255, 14), 1));
    for (int x = -r.height(); x < r.width(); x += 6)
        p.drawLine(x, r.height(), x + r.height(), 0);
    QRadialGradient glow(QPointF(r.width() * 0.2, r.height() * 0.15), r.width() * 0.6);
    glow.setColorAt(0, QColor(255, 255, 255, 40));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(r, glow);
}

// An open book, the emblem of the windows, in the rectangle `r`.
void drawBook(QPainter &p, const QRectF &r)
{
    const double midX = r.center().x();
    const auto page = [&](double outerX) {
        QPainterPath path;
        path.moveTo(midX, r.top() + r.height() * 0.12);
        path.cubicTo(midX + (outerX - midX) * 0.35, r.top(), outerX - (outerX - midX) * 0.2,
                     r.top(), outerX, r.top() + r.height() * 0.06);
        path.lineTo(outerX, r.bottom() - r.height() * 0.08);
        path.cubicTo(outerX - (outerX - midX) * 0.2, r.bottom() - r.height() * 0.14,
                     midX + (outerX - midX) * 0.35, r.bottom() - r.height() * 0.12, midX,
                     r.bottom());
        path.closeSubpath();
        return path;
    };
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    p.setBrush(QColor(250, 246, 235, 235));
    p.drawPath(page(r.left()));
    p.drawPath(page(r.right()));
    p.setPen(QPen(QColor(0x16, 0x33, 0x66, 110), 1));
    for (int line = 1; line <= 5; ++line) {
        const double y = r.top() + r.height() * (0.15 + 0.13 * line);
        p.drawLine(QPointF(r.left() + 8, y), QPointF(midX - 8, y + 2));
        p.drawLine(QPointF(midX + 8, y + 2), QPointF(r.right() - 8, y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(kTurkishRed);
    QPainterPath ribbon;
    ribbon.moveTo(midX + 14, r.top() + r.height() * 0.08);
    ribbon.lineTo(midX + 22, r.top() + r.height() * 0.07);
    ribbon.lineTo(midX + 22, r.bottom() + 10);
    ribbon.lineTo(midX + 18, r.bottom() + 5);
    ribbon.lineTo(midX + 14, r.bottom() + 10);
    ribbon.closeSubpath();
    p.drawPath(ribbon);
}

QImage aboutBackground()
{
    QImage image = canvas(406, 194, kNavy);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintWindowGround(p, image.rect());
    p.setPen(Qt::white);
    p.setFont(font(20, true));
    p.drawText(QRectF(16, 10, 380, 30), Qt::AlignLeft | Qt::AlignVCenter,
               u"Zarel English Dictionary"_s);
    p.setPen(QColor(220, 232, 245));
    p.setFont(font(11));
    p.drawText(QRectF(17, 40, 380, 18), Qt::AlignLeft | Qt::AlignVCenter,
               u"İngilizce - Türkçe  ·  Türkçe - İngilizce"_s);
    drawBook(p, QRectF(26, 86, 124, 80));
    // The text panel of the window lies at (175, 83); a soft shadow sets it off.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(QRectF(178, 86, 221, 101), 3, 3);
    p.setPen(QColor(220, 232, 245));
    p.setFont(font(11, true));
    p.drawText(QRectF(176, 62, 220, 18), Qt::AlignLeft | Qt::AlignVCenter,
               u"Hakkımızda  ·  About us"_s);
    return image;
}

QImage aboutProgramBackground()
{
    QImage image = canvas(406, 194, kNavy);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintWindowGround(p, image.rect());
    p.setPen(Qt::white);
    p.setFont(font(20, true));
    p.drawText(QRectF(0, 10, 406, 30), Qt::AlignCenter, u"Zarel English Dictionary"_s);
    p.setPen(QColor(220, 232, 245));
    p.setFont(font(11));
    p.drawText(QRectF(0, 40, 406, 18), Qt::AlignCenter,
               u"Program hakkında  ·  About the program"_s);
    drawBook(p, QRectF(18, 78, 84, 56));
    // Under the window's framed text (120, 70).
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(QRectF(123, 73, 270, 76), 3, 3);
    return image;
}

QImage buttonStrip()
{
    QImage image = canvas(400, 44, kButtonFace);
    QPainter p(&image);
    QLinearGradient g(0, 0, 0, 44);
    g.setColorAt(0, QColor(0xe6, 0xec, 0xf4));
    g.setColorAt(0.5, QColor(0xd3, 0xdd, 0xea));
    g.setColorAt(1, QColor(0xb6, 0xc4, 0xd7));
    p.fillRect(image.rect(), g);
    p.setPen(QColor(255, 255, 255, 200));
    p.drawLine(0, 0, 399, 0);
    p.setPen(QColor(0x8a, 0x9b, 0xb3));
    p.drawLine(0, 43, 399, 43);
    return image;
}

// Warm paper: fine grain and faint fibres; every pattern repeats at 256 pixels, so the picture
// tiles without seams.
QImage paperTexture()
{
    constexpr int kSize = 256;
    QImage image(kSize, kSize, QImage::Format_RGB32);
    uint32_t seed = 0x5eed1234u;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 24) % 13) - 6;
    };
    constexpr double kTau = 2 * std::numbers::pi;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const double wave = 3 * std::sin(kTau * x / kSize * 3 + std::sin(kTau * y / kSize) * 2)
                + 2 * std::sin(kTau * (x + 2 * y) / kSize * 2);
            const int grain = next() + static_cast<int>(wave);
            image.setPixel(x, y,
                           qRgb(std::clamp(0xef + grain, 0, 255), std::clamp(0xe9 + grain, 0, 255),
                                std::clamp(0xdc + grain, 0, 255)));
        }
    }
    return image;
}

// A round glyph of the start/stop and record buttons: a coloured disc with `symbol` drawn on it.
QImage discGlyph(const QColor &color, const std::function<void(QPainter &)> &symbol)
{
    QImage image = canvas(24, 24, kButtonFace);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient g(QPointF(9, 8), 14);
    g.setColorAt(0, color.lighter(150));
    g.setColorAt(1, color);
    p.setPen(QPen(color.darker(140), 1));
    p.setBrush(g);
    p.drawEllipse(QRectF(1.5, 1.5, 21, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    symbol(p);
    return image;
}

void playSymbol(QPainter &p)
{
    QPainterPath triangle;
    triangle.moveTo(9, 6.5);
    triangle.lineTo(18, 12);
    triangle.lineTo(9, 17.5);
    triangle.closeSubpath();
    p.drawPath(triangle);
}

QImage answerPicture(bool right)
{
    QImage image = canvas(43, 34, right ? QColor(0xe8, 0xf6, 0xe8) : QColor(0xfb, 0xe9, 0xe9));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor color = right ? QColor(0x2e, 0x9d, 0x3a) : QColor(0xd3, 0x2f, 0x2f);
    p.setPen(QPen(color, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (right) {
        p.drawPolyline(QList<QPointF> { { 11, 17 }, { 18, 25 }, { 32, 8 } });
    } else {
        p.drawLine(QPointF(13, 8), QPointF(30, 26));
        p.drawLine(QPointF(30, 8), QPointF(13, 26));
    }
    return image;
}

// ---- Sounds ----

struct Note
{
    double frequency; // Hz
    double start; // s
    double length; // s
    double amplitude; // of the fundamental, 0-1
    double overtone; // relative amplitude of the second harmonic
};

std::string wavFile(const std::vector<Note> &notes, double seconds)
{
    const auto frames = static_cast<size_t>(seconds * kFeedbackSampleRate);
    std::vector<double> mix(frames, 0.0);
    constexpr double kTau = 2 * std::numbers::pi;
    for (const Note &note : notes) {
        const auto first = static_cast<size_t>(note.start * kFeedbackSampleRate);
        const auto count = static_cast<size_t>(note.length * kFeedbackSampleRate);
        for (size_t i = 0; i < count && first + i < frames; ++i) {
            const double t = static_cast<double>(i) / kFeedbackSampleRate;
            // A quick rise, a bell-like decay and a short fade so no note ends in a click.
            const double attack = std::min(1.0, t / 0.006);
            const double release = std::min(1.0, (note.length - t) / 0.02);
            const double envelope = attack * release * std::exp(-t * 6.0);
            const double wave = std::sin(kTau * note.frequency * t)
                + note.overtone * std::sin(kTau * 2 * note.frequency * t);
            mix[first + i] += note.amplitude * envelope * wave;
        }
    }
    std::string bytes;
    const auto put16 = [&bytes](uint32_t v) {
        bytes += static_cast<char>(v & 0xFF);
        bytes += static_cast<char>((v >> 8) & 0xFF);
    };
    const auto put32 = [&](uint32_t v) {
        put16(v & 0xFFFF);
        put16(v >> 16);
    };
    const auto dataSize = static_cast<uint32_t>(frames * 2);
    bytes += "RIFF";
    put32(36 + dataSize);
    bytes += "WAVEfmt ";
    put32(16);
    put16(1); // PCM
    put16(1); // mono
    put32(kFeedbackSampleRate);
    put32(kFeedbackSampleRate * 2);
    put16(2);
    put16(16);
    bytes += "data";
    put32(dataSize);
    for (const double sample : mix) {
        const auto value = static_cast<int16_t>(std::lround(std::clamp(sample, -1.0, 1.0) * 32767));
        put16(static_cast<uint16_t>(value));
    }
    return bytes;
}

} // namespace

Status makePictures(std::vector<MediaFile> &files)
{
    const GuiScope gui;
    if (!gui.usable())
        return Status::failure(ErrorCode::BadInput,
                               "The pictures need a graphical application to draw with");
    struct Picture
    {
        const char *name;
        QImage image;
    };
    const Picture pictures[] = {
        { "logo_en_tr.jpg", directionLogo(true) },
        { "logo_tr_en.jpg", directionLogo(false) },
        { "about.jpg", aboutBackground() },
        { "aboutprog.jpg", aboutProgramBackground() },
        { "strip.jpg", buttonStrip() },
        { "texture.jpg", paperTexture() },
        { "Start1.bmp", discGlyph(QColor(0x2e, 0x9d, 0x3a), playSymbol) },
        { "Start2.bmp", discGlyph(QColor(0x7c, 0xd0, 0x84), playSymbol) },
        { "Stop2.bmp",
          discGlyph(QColor(0xd3, 0x2f, 0x2f),
                    [](QPainter &p) { p.drawRoundedRect(QRectF(8, 8, 8, 8), 1, 1); }) },
        { "Record1.bmp",
          discGlyph(QColor(0x45, 0x4f, 0x5c),
                    [](QPainter &p) {
                        p.setBrush(QColor(0xe5, 0x39, 0x35));
                        p.drawEllipse(QRectF(7, 7, 10, 10));
                    }) },
        { "a.bmp", answerPicture(true) },
        { "b.bmp", answerPicture(false) },
    };
    for (const Picture &picture : pictures) {
        const std::string name = picture.name;
        const bool jpeg = name.ends_with(".jpg");
        MediaFile file { name, {} };
        if (!encode(picture.image, jpeg ? "JPG" : "BMP", jpeg ? 90 : -1, file.bytes))
            return Status::failure(ErrorCode::WriteError, "Could not encode the picture", name);
        files.push_back(std::move(file));
    }
    return Status::success();
}

std::vector<MediaFile> feedbackSounds()
{
    // Right: E5 then A5, bright and rising. Wrong: A3 then F3, soft and falling.
    return {
        { "da.wav",
          wavFile({ { 659.25, 0.0, 0.16, 0.35, 0.25 }, { 880.0, 0.11, 0.42, 0.38, 0.2 } }, 0.55) },
        { "ne.wav",
          wavFile({ { 220.0, 0.0, 0.2, 0.45, 0.5 }, { 174.61, 0.17, 0.4, 0.45, 0.5 } }, 0.6) },
    };
}

} // namespace zarel::dicttool
