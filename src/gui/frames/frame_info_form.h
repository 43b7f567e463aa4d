#pragma once
// TFormProperties: where a frame comes from and which effects it carries.
// It only shows the texts the engine made (engine/project/frame_info.h).

#include <QDialog>

#include "engine/project/frame_info.h"

class QLabel;

namespace pelko {

class TFormProperties : public QDialog {
    Q_OBJECT
public:
    explicit TFormProperties(const FrameInfo& info, QWidget* parent = nullptr);
    QLabel* fileTestLabel() const { return fileTest_; }

private:
    QLabel* fileTest_ = nullptr;
};

}  // namespace pelko
