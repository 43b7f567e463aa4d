#include "gui/app/pelko_application.h"

#include <QMessageBox>
#include <exception>

#include "gui/app/command_rail.h"

namespace pelko {

void showErrorBox(const QString& text)
{
    QMessageBox::critical(QApplication::activeWindow(), "Error", text);
}

PelkoApplication::PelkoApplication(int& argc, char** argv) : QApplication(argc, argv), showError(showErrorBox)
{
    setApplicationName("Pelko");
    setApplicationDisplayName("Pelko");
    setOrganizationName("Pelko");
    setApplicationVersion(PELKO_VERSION);
    // the launcher's name, by which the desktop finds the window's icon
    setDesktopFileName("org.pelko.Pelko");
}

bool PelkoApplication::notify(QObject* receiver, QEvent* event)
{
    QString message;
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = kUnknownError;
    }
    // shown outside the handler, so a box that itself throws cannot loop here
    if (showError)
        showError(message);
    return false;
}

}  // namespace pelko
