#include "gui/app/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace pelko {

namespace {

// Everything is drawn on a 16 x 16 grid and rendered at 32 x 32.
constexpr int kScale = 2;

const QColor kInk(40, 48, 64);
const QColor kPaper(250, 250, 246);
const QColor kBlue(52, 110, 190);
const QColor kGreen(46, 150, 72);
const QColor kRed(200, 56, 48);
const QColor kAmber(226, 160, 40);

void page(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    QPolygonF poly{{r.left(), r.top()},
                   {r.right() - 3, r.top()},
                   {r.right(), r.top() + 3},
                   {r.right(), r.bottom()},
                   {r.left(), r.bottom()}};
    p.drawPolygon(poly);
}

void floppy(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(kBlue);
    p.drawRect(r);
    p.setBrush(kPaper);
    p.drawRect(QRectF(r.left() + 3, r.top(), r.width() - 6, r.height() * 0.4));
    p.setBrush(QColor(200, 210, 225));
    p.drawRect(QRectF(r.left() + 2.5, r.bottom() - r.height() * 0.4, r.width() - 5, r.height() * 0.4));
}

void arrow(QPainter& p, QPointF from, QPointF to, QColor c)
{
    p.setPen(QPen(c, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);
    QLineF l(to, from);
    QLineF a = l;
    a.setLength(4);
    a.setAngle(l.angle() + 35);
    QLineF b = l;
    b.setLength(4);
    b.setAngle(l.angle() - 35);
    p.drawLine(a);
    p.drawLine(b);
}

void picture(QPainter& p, QRectF r)
{
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(170, 210, 240));
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    p.drawPolygon(QPolygonF{{r.left() + 0.5, r.bottom()},
                            {r.left() + r.width() * 0.4, r.top() + r.height() * 0.45},
                            {r.right() - 0.5, r.bottom()}});
    p.setBrush(kAmber);
    p.drawEllipse(QPointF(r.right() - 3, r.top() + 3), 1.6, 1.6);
}

void draw(QPainter& p, IconKind kind)
{
    switch (kind) {
        case IconKind::New:
            page(p, {3, 1.5, 10, 13});
            p.setPen(QPen(kAmber, 1.5));
            p.drawLine(QPointF(11, 9), QPointF(11, 15));
            p.drawLine(QPointF(8, 12), QPointF(14, 12));
            break;
        case IconKind::Open:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kAmber);
            p.drawRect(QRectF(1.5, 4.5, 12, 9));
            p.setBrush(QColor(248, 210, 110));
            p.drawPolygon(QPolygonF{{3.5, 7.5}, {15, 7.5}, {13.5, 13.5}, {1.5, 13.5}});
            break;
        case IconKind::ProjectOptions:
            page(p, {2.5, 1.5, 11, 13});
            p.setPen(QPen(kBlue, 1.2));
            for (int y : {5, 8, 11}) {
                p.drawLine(QPointF(5, y), QPointF(11, y));
            }
            break;
        case IconKind::Save:
            floppy(p, {2.5, 2.5, 11, 11});
            break;
        case IconKind::SaveAs:
            floppy(p, {1.5, 2.5, 10, 10});
            p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(9, 14), QPointF(14.5, 8.5));
            break;
        case IconKind::Generate: {
            p.setPen(QPen(kInk, 1));
            p.setBrush(QColor(60, 60, 70));
            p.drawRect(QRectF(1.5, 3.5, 13, 9));
            p.setBrush(kPaper);
            for (int x = 3; x < 14; x += 3) {
                p.drawRect(QRectF(x, 4.5, 1.2, 1.2));
                p.drawRect(QRectF(x, 10.3, 1.2, 1.2));
            }
            p.setPen(Qt::NoPen);
            p.setBrush(kAmber);
            p.drawPolygon(QPolygonF{{6, 6.5}, {10.5, 8}, {6, 9.5}});
            break;
        }
        case IconKind::Run:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF{{4, 2.5}, {13.5, 8}, {4, 13.5}});
            break;
        case IconKind::Pause:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawRect(QRectF(3.5, 2.5, 3, 11));
            p.drawRect(QRectF(9.5, 2.5, 3, 11));
            break;
        case IconKind::Stop:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kRed);
            p.drawRect(QRectF(3.5, 3.5, 9, 9));
            break;
        case IconKind::Add:
            picture(p, {1.5, 3.5, 10, 9});
            p.setPen(QPen(kGreen.darker(130), 2));
            p.drawLine(QPointF(12.5, 8), QPointF(12.5, 15));
            p.drawLine(QPointF(9, 11.5), QPointF(16, 11.5));
            break;
        case IconKind::Insert:
            picture(p, {5.5, 3.5, 10, 9});
            arrow(p, {0.5, 8}, {5, 8}, kBlue);
            break;
        case IconKind::Delete:
            p.setPen(QPen(kRed, 2.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
            p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
            break;
        case IconKind::Up:
            arrow(p, {8, 14}, {8, 2.5}, kBlue);
            break;
        case IconKind::Down:
            arrow(p, {8, 2}, {8, 13.5}, kBlue);
            break;
        case IconKind::Refresh: {
            p.setPen(QPen(kGreen, 2, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 280 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(kGreen);
            p.drawPolygon(QPolygonF{{9, 0.5}, {14, 3.5}, {9.5, 6.5}});
            break;
        }
        case IconKind::FrameOptions:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setPen(QPen(kBlue, 1.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(8, 8), QPointF(8, 4));
            p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
            break;
        case IconKind::OptimizeColor: {
            const QColor dots[] = {kRed, kGreen, kBlue, kAmber};
            p.setPen(QPen(kInk, 1));
            for (int i = 0; i < 4; ++i) {
                p.setBrush(dots[i]);
                p.drawEllipse(QRectF(1.5 + (i % 2) * 7, 1.5 + (i / 2) * 7, 6, 6));
            }
            break;
        }
        case IconKind::Sound:
            p.setPen(QPen(kInk, 1.5));
            p.setBrush(kInk);
            p.drawEllipse(QRectF(2.5, 10.5, 4, 3.5));
            p.drawEllipse(QRectF(9.5, 9, 4, 3.5));
            p.drawLine(QPointF(6.3, 12), QPointF(6.3, 3));
            p.drawLine(QPointF(13.3, 10.5), QPointF(13.3, 1.5));
            p.drawLine(QPointF(6.3, 3), QPointF(13.3, 1.5));
            break;
        case IconKind::SelectAll:
            p.setPen(QPen(kInk, 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(1.5, 1.5, 13, 13));
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawRect(QRectF(4, 4, 3.5, 3.5));
            p.drawRect(QRectF(8.5, 4, 3.5, 3.5));
            p.drawRect(QRectF(4, 8.5, 3.5, 3.5));
            p.drawRect(QRectF(8.5, 8.5, 3.5, 3.5));
            break;
        case IconKind::Info:
            p.setPen(Qt::NoPen);
            p.setBrush(kBlue);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 4.8), 1.2, 1.2);
            p.drawRect(QRectF(7, 7, 2, 5.5));
            break;
        case IconKind::Clone:
            picture(p, {1.5, 1.5, 9, 8});
            picture(p, {5.5, 6.5, 9, 8});
            break;
        case IconKind::Text: {
            QFont f;
            f.setPixelSize(14);
            f.setBold(true);
            p.setFont(f);
            p.setPen(kInk);
            p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, "T");
            p.setPen(QPen(kRed, 1));
            p.drawLine(QPointF(1, 15), QPointF(15, 15));
            break;
        }
        case IconKind::Alpha: {
            QLinearGradient g(0, 0, 16, 0);
            g.setColorAt(0, kBlue);
            g.setColorAt(1, kAmber);
            p.setPen(QPen(kInk, 1));
            p.setBrush(g);
            p.drawRect(QRectF(1.5, 3.5, 13, 9));
            break;
        }
        case IconKind::Flip:
            p.setPen(QPen(kInk, 1, Qt::DashLine));
            p.drawLine(QPointF(8, 1), QPointF(8, 15));
            p.setPen(QPen(kInk, 1));
            p.setBrush(kBlue);
            p.drawPolygon(QPolygonF{{6.5, 3}, {6.5, 13}, {1.5, 13}});
            p.setBrush(kPaper);
            p.drawPolygon(QPolygonF{{9.5, 3}, {9.5, 13}, {14.5, 13}});
            break;
        case IconKind::Convert:
            p.setPen(QPen(kInk, 1));
            p.setBrush(kPaper);
            p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
            p.setBrush(kInk);
            p.drawPie(QRectF(1.5, 1.5, 13, 13), 90 * 16, 180 * 16);
            break;
        case IconKind::SaveFrame:
            picture(p, {1.5, 1.5, 10, 9});
            floppy(p, {8.5, 8.5, 7, 7});
            break;
        case IconKind::Copy:
            page(p, {1.5, 1.5, 8, 10});
            page(p, {6.5, 4.5, 8, 10});
            break;
    }
}

QPixmap render(IconKind kind, bool hot)
{
    QPixmap pm(16 * kScale, 16 * kScale);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kScale, kScale);
    if (hot) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 236, 160, 150));
        p.drawRoundedRect(QRectF(0, 0, 16, 16), 3, 3);
    }
    draw(p, kind);
    p.end();
    pm.setDevicePixelRatio(kScale);
    return pm;
}

}  // namespace

QIcon drawnIcon(IconKind kind)
{
    QIcon icon;
    icon.addPixmap(render(kind, false), QIcon::Normal);
    icon.addPixmap(render(kind, true), QIcon::Active);
    return icon;
}

}  // namespace pelko
