#include "gui/app/avi_form.h"

namespace pelko {

TAVIForm::TAVIForm(QWidget* parent) : QMainWindow(parent)
{
    setWindowTitle("Pelko");
    resize(650, 456);
    setMinimumSize(600, 250);
}

}  // namespace pelko
