#include "gui/app/help_window.h"

#include <QMessageBox>

#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/data_folder.h"

// The help pages are compiled into the static GUI library; register them
// before the first use, as a static library's resources are not registered
// on their own.
static void registerHelpResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace pelko {

namespace {
const char* const kHelpIndex = "qrc:/help/index.html";
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    registerHelpResources();
    setWindowTitle("Pelko Help");
    resize(640, 520);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(true);

    auto* back = new QPushButton("Back", this);
    auto* home = new QPushButton("Contents", this);
    back->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(home);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    // the installed pages (or the source tree's), else the copy compiled in
    const QString folder = dataFolder();
    if (!folder.isEmpty())
        browser_->setSource(QUrl::fromLocalFile(folder + "/help/index.html"));
    else if (QFile::exists(":/help/index.html"))
        browser_->setSource(QUrl(kHelpIndex));
}

bool HelpWindow::loaded() const
{
    return !browser_->source().isEmpty();
}

void showHelp(QWidget* parent, QPointer<HelpWindow>& window)
{
    if (!window)
        window = new HelpWindow(parent);
    if (!window->loaded()) {
        QMessageBox::information(parent, "Information",
                                 "The help pages are missing from this build of Pelko.");
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void showAbout(QWidget* parent)
{
    QMessageBox box(parent);
    box.setWindowTitle("About");
    box.setIconPixmap(parent->windowIcon().pixmap(48, 48));
    box.setText("<b>Pelko v.2.2</b>");
    box.setInformativeText(
        QString("GIF and AVI animator.<br>Build %1, Qt %2.").arg(PELKO_VERSION, qVersion()));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

}  // namespace pelko
