#pragma once
// TAVIForm: the main window. It owns the open project.

#include <QMainWindow>

#include "engine/project/project.h"

namespace pelko {

class TAVIForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TAVIForm(QWidget* parent = nullptr);

    Project& project() { return project_; }

private:
    Project project_;
};

}  // namespace pelko
