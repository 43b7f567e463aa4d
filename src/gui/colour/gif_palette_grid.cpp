#include "gui/colour/gif_palette_grid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

#include "engine/gif_options/gif_color_options.h"

namespace pelko {

GifPaletteGrid::GifPaletteGrid(QWidget* parent) : QWidget(parent)
{
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::ClickFocus);
}

QSize GifPaletteGrid::sizeHint() const
{
    return {kMaxColumns * kCell, kMaxColumns * kCell};
}

void GifPaletteGrid::setColors(const std::vector<Color>& colors)
{
    colors_ = colors;
    columns_ = gifPaletteColumns(int(colors_.size()));
    rows_ = gifPaletteRows(int(colors_.size()));
    if (focused_ >= int(colors_.size()))
        focused_ = -1;
    update();
}

QRect GifPaletteGrid::cellRect(int cell) const
{
    if (columns_ <= 0 || cell < 0)
        return {};
    return {(cell % columns_) * kCell, (cell / columns_) * kCell, kCell, kCell};
}

int GifPaletteGrid::cellAt(QPoint pos) const
{
    if (columns_ <= 0 || pos.x() < 0 || pos.y() < 0)
        return -1;
    const int column = pos.x() / kCell;
    const int row = pos.y() / kCell;
    if (column >= columns_ || row >= rows_)
        return -1;
    const int cell = row * columns_ + column;
    return cell < int(colors_.size()) ? cell : -1;
}

void GifPaletteGrid::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    for (int i = 0; i < int(colors_.size()); ++i) {
        const Color c = colors_[std::size_t(i)];
        painter.fillRect(cellRect(i), QColor(redOf(c), greenOf(c), blueOf(c)));
    }
    if (focused_ >= 0) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = cellRect(focused_);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void GifPaletteGrid::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const int cell = cellAt(event->position().toPoint());
    if (cell < 0)
        return;
    focused_ = cell;
    update();
    emit cellClicked(cell);
}

}  // namespace pelko
