#include "bars/ToolbarIcons.h"

#include <QIconEngine>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>
#include <cstring>
#include <iterator>

namespace {

enum class Glyph
{
    New,
    Back,
    Forward,
    Stop,
    Refresh,
    Home,
    Search,
    Favorites,
    SideBar,
    Mail,
    Font,
    Print,
    Source,
    Images,
    FullScreen,
};

struct Named
{
    const char* name;
    Glyph glyph;
};

constexpr Named Glyphs[] = {
    {"tbNew", Glyph::New},           {"tbBack", Glyph::Back},
    {"tbForward", Glyph::Forward},   {"tbStop", Glyph::Stop},
    {"tbRefresh", Glyph::Refresh},   {"tbHome", Glyph::Home},
    {"tbSearch", Glyph::Search},     {"tbFavorites", Glyph::Favorites},
    {"tbVarloBar", Glyph::SideBar},  {"tbReadMail", Glyph::Mail},
    {"tbFont", Glyph::Font},         {"tbPrint", Glyph::Print},
    {"tbViewSource", Glyph::Source}, {"tbLoadImages", Glyph::Images},
    {"tbFullScreen", Glyph::FullScreen},
};

const QColor Outline(0x30, 0x30, 0x30);
const QColor Paper(0xfc, 0xfc, 0xf8);

// A page with a folded corner, in a 24 by 24 box.
void page(QPainter& p)
{
    QPainterPath sheet;
    sheet.moveTo(5, 2.5);
    sheet.lineTo(14.5, 2.5);
    sheet.lineTo(19, 7);
    sheet.lineTo(19, 21.5);
    sheet.lineTo(5, 21.5);
    sheet.closeSubpath();
    p.setBrush(Paper);
    p.drawPath(sheet);
    p.drawPolyline(QPolygonF({{14.5, 2.5}, {14.5, 7}, {19, 7}}));
}

void arrow(QPainter& p, bool left)
{
    p.setBrush(QColor(0x3c, 0x8d, 0x2f));
    p.drawEllipse(QRectF(2.5, 2.5, 19, 19));
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const double dir = left ? 1 : -1;
    p.drawLine(QPointF(12 + 5 * dir, 12), QPointF(12 - 5 * dir, 12));
    p.drawPolyline(QPolygonF({{12 - 0.5 * dir, 7}, {12 - 5 * dir, 12}, {12 - 0.5 * dir, 17}}));
}

void draw(QPainter& p, Glyph glyph)
{
    p.setPen(QPen(Outline, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (glyph) {
    case Glyph::New:
        page(p);
        p.setPen(QPen(QColor(0x2a, 0x7a, 0xd0), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 10), QPointF(12, 18));
        p.drawLine(QPointF(8, 14), QPointF(16, 14));
        break;
    case Glyph::Back:
        arrow(p, true);
        break;
    case Glyph::Forward:
        arrow(p, false);
        break;
    case Glyph::Stop: {
        QPolygonF octagon;
        for (int i = 0; i < 8; ++i) {
            const double angle = M_PI / 8 + i * M_PI / 4;
            octagon << QPointF(12 + 10 * std::cos(angle), 12 + 10 * std::sin(angle));
        }
        p.setBrush(QColor(0xc8, 0x28, 0x28));
        p.drawPolygon(octagon);
        p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8.5, 8.5), QPointF(15.5, 15.5));
        p.drawLine(QPointF(15.5, 8.5), QPointF(8.5, 15.5));
        break;
    }
    case Glyph::Refresh:
        p.setPen(QPen(QColor(0x2a, 0x7a, 0xd0), 2.8, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(4.5, 4.5, 15, 15), 100 * 16, 290 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2a, 0x7a, 0xd0));
        p.drawPolygon(QPolygonF({{9.5, 1}, {15.5, 4.5}, {9.5, 8.5}}));
        break;
    case Glyph::Home:
        p.setBrush(QColor(0xc8, 0x50, 0x30));
        p.drawPolygon(QPolygonF({{12, 2.5}, {22, 11.5}, {2, 11.5}}));
        p.setBrush(Paper);
        p.drawRect(QRectF(5, 11.5, 14, 10));
        p.setBrush(QColor(0x8a, 0x5a, 0x30));
        p.drawRect(QRectF(10, 14.5, 4, 7));
        break;
    case Glyph::Search:
        p.setPen(QPen(Outline, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(14.5, 14.5), QPointF(21, 21));
        p.setPen(QPen(Outline, 1.6));
        p.setBrush(QColor(0xd8, 0xea, 0xff));
        p.drawEllipse(QRectF(2.5, 2.5, 13, 13));
        break;
    case Glyph::Favorites: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 ? 4.2 : 10;
            const double angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(12 + r * std::cos(angle), 12.8 + r * std::sin(angle));
        }
        p.setBrush(QColor(0xf2, 0xc0, 0x1e));
        p.drawPolygon(star);
        break;
    }
    case Glyph::SideBar:
        p.setBrush(Paper);
        p.drawRect(QRectF(2.5, 4.5, 19, 15));
        p.setBrush(QColor(0x2a, 0x7a, 0xd0));
        p.drawRect(QRectF(2.5, 4.5, 7, 15));
        break;
    case Glyph::Mail:
        p.setBrush(Paper);
        p.drawRect(QRectF(2.5, 5.5, 19, 13));
        p.drawPolyline(QPolygonF({{2.5, 5.5}, {12, 13}, {21.5, 5.5}}));
        break;
    case Glyph::Font: {
        QFont font = p.font();
        font.setPixelSize(18);
        font.setBold(true);
        p.setFont(font);
        p.setPen(Outline);
        p.drawText(QRectF(1, 1, 14, 22), Qt::AlignCenter, QStringLiteral("A"));
        font.setPixelSize(11);
        p.setFont(font);
        p.drawText(QRectF(13, 8, 10, 15), Qt::AlignCenter, QStringLiteral("A"));
        break;
    }
    case Glyph::Print:
        p.setBrush(Paper);
        p.drawRect(QRectF(6.5, 2.5, 11, 8));
        p.setBrush(QColor(0x90, 0x90, 0x98));
        p.drawRoundedRect(QRectF(2.5, 9.5, 19, 9), 1.5, 1.5);
        p.setBrush(Paper);
        p.drawRect(QRectF(6.5, 15.5, 11, 6));
        break;
    case Glyph::Source:
        page(p);
        p.setPen(QPen(QColor(0x2a, 0x7a, 0xd0), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{10, 11}, {7.5, 14}, {10, 17}}));
        p.drawPolyline(QPolygonF({{14, 11}, {16.5, 14}, {14, 17}}));
        break;
    case Glyph::Images:
        p.setBrush(QColor(0xd8, 0xea, 0xff));
        p.drawRect(QRectF(2.5, 4.5, 19, 15));
        p.setBrush(QColor(0x3c, 0x8d, 0x2f));
        p.drawPolygon(QPolygonF({{3, 19}, {9.5, 10.5}, {14, 16}, {16.5, 13}, {21, 19}}));
        p.setBrush(QColor(0xf2, 0xc0, 0x1e));
        p.drawEllipse(QRectF(14.5, 6.5, 4, 4));
        break;
    case Glyph::FullScreen:
        p.setBrush(Paper);
        p.drawRect(QRectF(2.5, 4.5, 19, 15));
        p.setPen(QPen(Outline, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        for (const auto& [cx, cy] : {std::pair{6.0, 8.0}, {18.0, 8.0}, {6.0, 16.0}, {18.0, 16.0}}) {
            const double dx = cx < 12 ? 3 : -3;
            const double dy = cy < 12 ? 2.5 : -2.5;
            p.drawPolyline(QPolygonF({{cx, cy + dy}, {cx, cy}, {cx + dx, cy}}));
        }
        break;
    }
}

class GlyphEngine final : public QIconEngine
{
public:
    explicit GlyphEngine(Glyph glyph)
        : m_glyph(glyph)
    {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, render(rect.size() * ratio, mode));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        return render(size, mode);
    }
    QIconEngine* clone() const override { return new GlyphEngine(m_glyph); }
    QString key() const override { return QStringLiteral("PelvaneToolbarGlyph"); }

private:
    QPixmap render(const QSize& size, QIcon::Mode mode) const
    {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            const qreal side = std::min(size.width(), size.height());
            p.translate((size.width() - side) / 2, (size.height() - side) / 2);
            p.scale(side / 24.0, side / 24.0);
            draw(p, m_glyph);
        }
        if (mode == QIcon::Disabled) {
            // Grey and faint, as disabled buttons are.
            for (int y = 0; y < image.height(); ++y) {
                auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const QRgb c = line[x];
                    const int alpha = qAlpha(c) / 2;
                    const int grey = qGray(c) * alpha / std::max(1, qAlpha(c));
                    line[x] = qRgba(grey, grey, grey, alpha);
                }
            }
        }
        return QPixmap::fromImage(image);
    }

    Glyph m_glyph;
};

} // namespace

QIcon ToolbarIcons::drawn(const char* buttonName)
{
    for (const Named& named : Glyphs) {
        if (std::strcmp(named.name, buttonName) == 0)
            return QIcon(new GlyphEngine(named.glyph));
    }
    return {};
}
