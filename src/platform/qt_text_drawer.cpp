#include "platform/qt_text_drawer.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace pelko {

QFont toQFont(const TextFont& font)
{
    QFont q(QString::fromStdString(font.family));
    // points at 96 pixels per inch, rounded as the desktop rounds font sizes
    q.setPixelSize(std::max(1, int(std::lround(font.size * 96.0 / 72.0))));
    q.setBold(font.bold);
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    q.setStyleStrategy(font.antialias
                           ? QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias)
                           : QFont::NoAntialias);
    q.setHintingPreference(QFont::PreferFullHinting);
    return q;
}

TextFont fromQFont(const QFont& qfont, const TextFont& font)
{
    TextFont f = font;
    f.family = qfont.family().toStdString();
    if (qfont.pointSizeF() > 0)
        f.size = std::max(1, int(std::lround(qfont.pointSizeF())));
    else if (qfont.pixelSize() > 0)
        f.size = std::max(1, int(std::lround(qfont.pixelSize() * 72.0 / 96.0)));
    f.bold = qfont.bold();
    f.italic = qfont.italic();
    f.underline = qfont.underline();
    f.strikeOut = qfont.strikeOut();
    return f;
}

int QtTextDrawer::textWidth(const std::string& text, const TextFont& font)
{
    return QFontMetrics(toQFont(font)).horizontalAdvance(QString::fromStdString(text));
}

int QtTextDrawer::textHeight(const std::string&, const TextFont& font)
{
    return QFontMetrics(toQFont(font)).height();
}

void QtTextDrawer::drawText(Picture& picture, int x, int y, const std::string& text, const TextFont& font)
{
    if (picture.empty() || text.empty())
        return;
    const int w = picture.width(), h = picture.height();
    QImage image(w, h, QImage::Format_RGB32);
    for (int row = 0; row < h; ++row) {
        const std::uint8_t* s = picture.row(row);
        auto* d = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int col = 0; col < w; ++col, s += 3) d[col] = qRgb(s[2], s[1], s[0]);
    }
    {
        QPainter painter(&image);
        const QFont q = toQFont(font);
        painter.setFont(q);
        painter.setPen(QColor(redOf(font.color), greenOf(font.color), blueOf(font.color)));
        painter.drawText(x, y + QFontMetrics(q).ascent(), QString::fromStdString(text));
    }
    for (int row = 0; row < h; ++row) {
        std::uint8_t* d = picture.row(row);
        const auto* s = reinterpret_cast<const QRgb*>(image.constScanLine(row));
        for (int col = 0; col < w; ++col, d += 3) {
            d[0] = std::uint8_t(qBlue(s[col]));
            d[1] = std::uint8_t(qGreen(s[col]));
            d[2] = std::uint8_t(qRed(s[col]));
        }
    }
}

std::unique_ptr<QGuiApplication> headlessTextApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    // the offscreen platform needs no display; fonts come from the same
    // font configuration as on the desktop
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's notes about the environment (no runtime folder and the like) are
    // not the command's business; real failures still show
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    static int argc = 1;
    static char name[] = "pelko-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace pelko
