#pragma once
// TAniGIFForm: the animated GIF options dialog shown before a GIF is
// written: merging the colour maps, replacing similarities with
// transparency, removing unused areas, interlacing, "Smaller file" with its
// strength, the loops, and "Show always", beside a preview of the animation built with them. It only picks
// values; the building is the command's (BuildPreview), and the command
// stores the values (engine/output/output_dialog_values.h) after "Save".

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/output/output_dialog_values.h"

class QCheckBox;
class QPushButton;
class QScrollArea;
class QSlider;
class QSpinBox;
class QToolButton;

namespace pelko {

class GifPreview;
class TGIFImage;

// The preview's animation: the bytes the GIF writer made, and the image read
// back from them for the player. Saving writes the bytes as they are.
struct BuiltGif {
    std::vector<std::uint8_t> bytes;
    std::shared_ptr<TGIFImage> image;
};

class TAniGIFForm : public QDialog {
    Q_OBJECT
public:
    // Builds the animation with the options, with parent over its progress;
    // none when the build was cancelled or failed.
    using BuildPreview =
        std::function<std::shared_ptr<const BuiltGif>(QWidget* parent, const AnimatedGifOptions& options)>;

    // outputName: the caption; width x height: the project's canvas.
    TAniGIFForm(const QString& outputName, const GifOptionsValues& values, int width, int height,
                BuildPreview build, QWidget* parent = nullptr);

    GifOptionsValues values() const;
    void setValues(const GifOptionsValues& values);

    // Builds the animation from the boxes and shows it.
    void refreshPreview();
    // The animation the preview shows and what it was built with.
    const std::shared_ptr<TGIFImage>& previewImage() const;
    const std::optional<AnimatedGifOptions>& previewOptions() const { return builtWith_; }
    const std::shared_ptr<const BuiltGif>& previewBuild() const { return built_; }

    QCheckBox* optimizeBox() const { return optimize_; }
    QCheckBox* mergeBox() const { return merge_; }
    QCheckBox* cropBox() const { return crop_; }
    QCheckBox* interlacedBox() const { return interlaced_; }
    QCheckBox* infiniteBox() const { return infinite_; }
    QSpinBox* loopsField() const { return loops_; }
    QCheckBox* showAlwaysBox() const { return showAlways_; }
    QCheckBox* smallerFileBox() const { return smaller_; }
    QSlider* strengthSlider() const { return strength_; }
    QToolButton* defaultButton() const { return byDefault_; }
    QPushButton* saveButton() const { return save_; }
    QPushButton* cancelButton() const { return cancel_; }
    GifPreview* preview() const { return preview_; }
    QScrollArea* previewArea() const { return scroll_; }
    QToolButton* actualSizeButton() const { return actualSize_; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void restoreDefaults();

    BuildPreview build_;
    std::optional<AnimatedGifOptions> builtWith_;
    std::shared_ptr<const BuiltGif> built_;
    bool refreshQueued_ = false;
    QCheckBox* optimize_ = nullptr;
    QCheckBox* merge_ = nullptr;
    QCheckBox* crop_ = nullptr;
    QCheckBox* interlaced_ = nullptr;
    QCheckBox* infinite_ = nullptr;
    QSpinBox* loops_ = nullptr;
    QCheckBox* showAlways_ = nullptr;
    QCheckBox* smaller_ = nullptr;
    QSlider* strength_ = nullptr;
    QToolButton* byDefault_ = nullptr;
    QPushButton* save_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QToolButton* actualSize_ = nullptr;
    GifPreview* preview_ = nullptr;
};

}  // namespace pelko
