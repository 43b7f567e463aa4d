#pragma once
// GifPaletteGrid: the colours of a palette in cells of 10 x 10 pixels, at
// most 16 to a row; cell (column, row) shows colour row x columns + column.
// A click on a cell that holds a colour reports the cell's number.

#include <QWidget>
#include <vector>

#include "engine/image/picture.h"

namespace pelko {

class GifPaletteGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCell = 10;
    static constexpr int kMaxColumns = 16;

    explicit GifPaletteGrid(QWidget* parent = nullptr);

    void setColors(const std::vector<Color>& colors);
    const std::vector<Color>& colors() const { return colors_; }
    int columns() const { return columns_; }
    int rows() const { return rows_; }
    // The cell under a position, or -1 (outside, or a cell without colour).
    int cellAt(QPoint pos) const;
    QRect cellRect(int cell) const;
    int focusedCell() const { return focused_; }

    QSize sizeHint() const override;

signals:
    void cellClicked(int cell);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::vector<Color> colors_;
    int columns_ = 0;
    int rows_ = 0;
    int focused_ = -1;
};

}  // namespace pelko
