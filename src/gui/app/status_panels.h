#pragma once
// The status bar's five panels: 1 the project name, 2 the type, 3 the size,
// 4 the playback time, 5 the frame count.

#include <QString>
#include <array>

class QLabel;
class QStatusBar;

namespace pelko {

class StatusPanels {
public:
    void addTo(QStatusBar& bar);
    QString text(int index) const;  // index counts from 0
    void setText(int index, const QString& text);

private:
    std::array<QLabel*, 5> panels_{};
};

}  // namespace pelko
