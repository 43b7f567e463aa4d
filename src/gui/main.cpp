#include <QApplication>

#include "gui/app/avi_form.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("Pelko");
    pelko::TAVIForm window;
    window.show();
    return app.exec();
}
