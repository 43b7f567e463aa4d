#pragma once
// CodecWindow: the choice of the AVI's video codec before the first frame.
// It lists the codecs this build can write (uncompressed frames first), with
// a quality slider for the codecs that have one and the key-frame interval
// for the codecs with key frames. "OK" hands back the choice; "Cancel" stops
// the generation.

#include <QDialog>
#include <vector>

#include "engine/avi/video_codecs.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace pelko {

class CodecWindow : public QDialog {
    Q_OBJECT
public:
    // Starts at start's codec (the first one when it is not offered).
    CodecWindow(const std::vector<VideoCodecInfo>& codecs, const CompressOptions& start,
                QWidget* parent = nullptr);

    CompressOptions choice() const;

    QComboBox* codecList() const { return list_; }
    QSlider* qualitySlider() const { return quality_; }
    QSpinBox* keyFrameField() const { return keyFrames_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

    // Selects the codec of that four-character code; false when not offered.
    bool selectCodec(const std::string& fourcc);

private:
    void codecChosen();
    const VideoCodecInfo* current() const;

    std::vector<VideoCodecInfo> codecs_;
    std::vector<int> qualities_;  // per codec: the quality last set for it here
    QComboBox* list_ = nullptr;
    QSlider* quality_ = nullptr;
    QLabel* qualityValue_ = nullptr;
    QSpinBox* keyFrames_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    int shown_ = -1;  // the codec whose quality the slider shows
};

}  // namespace pelko
