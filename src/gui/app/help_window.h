#pragma once
// HelpWindow: the bundled HTML help (F1), a plain browser window over the
// pages compiled into the program.

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
