#pragma once
// HelpWindow: the bundled HTML help (F1), a plain browser window over the
// pages of the data folder (installed, or the source tree's), or the copy
// compiled into the program when neither is there.

#include <QWidget>

class QTextBrowser;

namespace pelko {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // False when the help pages are missing from the program.
    bool loaded() const;
    QTextBrowser* browser() const { return browser_; }

private:
    QTextBrowser* browser_ = nullptr;
};

}  // namespace pelko
