#pragma once
// The status bar's five panels: 1 the project name, 2 the type, 3 the size,
// 4 the playback time, 5 the frame count; beside them, the hint of what the
// mouse points at, which never covers them.

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
    // The status tip of what the mouse points at; empty clears it.
    void showHint(const QString& hint);
    QString hint() const;

private:
    std::array<QLabel*, 5> panels_{};
    QLabel* hint_ = nullptr;
};

}  // namespace pelko
