#pragma once
// WaitGuard: for the length of a long command, shows the wait cursor and holds
// back the drawing of one widget (the frame strip or the preview). Both are
// restored when the guard goes out of scope, also when an exception ends the
// command.

#include <QPointer>
#include <QWidget>

namespace pelko {

class WaitGuard {
public:
    explicit WaitGuard(QWidget* held = nullptr);
    ~WaitGuard();

    WaitGuard(const WaitGuard&) = delete;
    WaitGuard& operator=(const WaitGuard&) = delete;

private:
    QPointer<QWidget> held_;
    bool heldWasEnabled_ = true;
};

}  // namespace pelko
