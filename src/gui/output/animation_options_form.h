#pragma once
// TAnimationOptionsForm: the options of the outputs beside the AVI and the
// animated GIF (animated WebP, APNG, MP4, WebM), with "Fit under ... MB" and
// the estimated size of every format. It only picks values: the estimate is
// asked of the command through a function.

#include <QDialog>
#include <functional>
#include <string>

#include "engine/output/animated_png.h"
#include "engine/output/animated_webp.h"
#include "engine/output/output_target.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace pelko {

struct AnimationOptionsValues {
    WebpOptions webp;
    ApngOptions apng;
    int h264Crf = 23;
    std::string preset = "medium";
    int vp9Crf = 32;
    double fitUnderMB = 0;  // 0: no budget

    std::int64_t maxBytes() const { return std::int64_t(fitUnderMB * 1000 * 1000); }
};

class TAnimationOptionsForm : public QDialog {
    Q_OBJECT
public:
    // estimate gives the line of every format's size ("GIF 4.5 MB · ...").
    TAnimationOptionsForm(const QString& fileName, OutputKind kind, const AnimationOptionsValues& values,
                          std::function<QString()> estimate, QWidget* parent = nullptr);

    AnimationOptionsValues values() const;
    OutputKind kind() const { return kind_; }

    QSpinBox* qualityField() const { return quality_; }
    QCheckBox* losslessBox() const { return lossless_; }
    QDoubleSpinBox* fitField() const { return fit_; }
    QPushButton* estimateButton() const { return estimateButton_; }
    QLabel* estimateLabel() const { return estimateLine_; }

private:
    OutputKind kind_;
    AnimationOptionsValues start_;
    std::function<QString()> estimate_;
    QSpinBox* quality_ = nullptr;    // WebP quality, APNG level or the video's CRF
    QCheckBox* lossless_ = nullptr;  // WebP
    QCheckBox* minimize_ = nullptr;  // WebP
    QSpinBox* keyFrames_ = nullptr;  // WebP
    QComboBox* preset_ = nullptr;    // MP4
    QDoubleSpinBox* fit_ = nullptr;
    QPushButton* estimateButton_ = nullptr;
    QLabel* estimateLine_ = nullptr;
};

}  // namespace pelko
