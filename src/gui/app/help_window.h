#pragma once
// HelpWindow: the bundled HTML help (F1), a plain browser window over the
// pages of the data folder (installed, or the source tree's), or the copy
// compiled into the program when neither is there.

#include <QPointer>
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

// "Content" (F1): the help window of parent, made on first use and kept in
// window; a message when the pages are missing.
void showHelp(QWidget* parent, QPointer<HelpWindow>& window);
// "About": the program's name, build and Qt version.
void showAbout(QWidget* parent);

}  // namespace pelko
