#pragma once
// PelkoApplication: the application object. An error that escapes a command
// is caught where the event loop delivers the event, shown in a message box
// with the caption "Error", and the program goes on.

#include <QApplication>
#include <functional>

namespace pelko {

class PelkoApplication : public QApplication {
    Q_OBJECT
public:
    PelkoApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows an escaped error. Replaceable so tests need no modal box.
    std::function<void(const QString&)> showError;
};

// The message box every escaped error goes to.
void showErrorBox(const QString& text);

}  // namespace pelko
