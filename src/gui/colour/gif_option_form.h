#pragma once
// TGifOptionForm: how a picture becomes GIF (colour reduction, dithering,
// number of colours, compression, disposal, transparency) with a "Before"
// and an "After" preview and the palette of the result, whose cells pick
// the transparent colour.
//
// Frame mode ("Optimize frame's color") edits the GIF settings of the
// project's selected frames; the command stores them after "OK"
// (storeGifOptions with values() and touched()). Still mode ("Save frame"
// as GIF) edits the GIF still settings; the caller keeps stillSettings()
// after "Save".
//
// The "After" preview is made on a worker thread: a newer request
// supersedes an older one, whose result is dropped when it arrives.

#include <QDialog>
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gif_options/gif_color_options.h"
#include "engine/image/picture.h"
#include "engine/project/project.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QToolButton;

namespace pelko {

class GifPaletteGrid;
class GifPreviewBox;
class LatestJobRunner;

enum class GifOptionMode { Frame, Still };

class TGifOptionForm : public QDialog {
    Q_OBJECT
public:
    // Frame mode: project must hold a selection; the first selected frame's
    // picture (through the frame cache) and values are shown.
    explicit TGifOptionForm(const Project& project, QWidget* parent = nullptr);
    // Still mode: the entry of "Save frame" as GIF. caption: the name of the
    // last saved file; picture: the frame picture to be saved.
    TGifOptionForm(const QString& caption, const Picture& picture, const GifStillSettings& settings,
                   QWidget* parent = nullptr);
    ~TGifOptionForm() override;

    GifOptionMode mode() const { return mode_; }
    // The working values (in still mode the disposal stays at its default).
    const GifFrameSettings& values() const { return working_; }
    // Frame mode: the controls that count as changed by the user.
    const GifOptionTouched& touched() const { return touched_; }
    // Still mode: what "Save" keeps (the working values and "Show always").
    GifStillSettings stillSettings() const;

    // The previews and the palette as shown now.
    const QImage& beforeImage() const { return before_; }
    const QImage& afterImage() const { return after_; }
    const std::vector<Color>& paletteColors() const { return palette_; }
    // Requests made for the "After" and the one it shows (0: none yet).
    std::uint64_t requestedPreview() const { return requested_; }
    std::uint64_t shownPreview() const { return shown_; }
    // What the last preview request was made with.
    bool lastRequestOptimized() const { return lastOptimize_; }
    // No preview being made or waiting on the worker (its result may still
    // be on its way to this dialog).
    bool previewWorkIdle() const;

    QComboBox* reductionList() const { return reduction_; }
    QComboBox* ditherList() const { return dither_; }
    QComboBox* colorsList() const { return colors_; }
    QComboBox* disposalList() const { return disposal_; }
    QGroupBox* compressGroup() const { return compress_; }
    QRadioButton* lzwButton() const { return lzw_; }
    QRadioButton* rleButton() const { return rle_; }
    QCheckBox* transparentBox() const { return transparent_; }
    QCheckBox* showAlwaysBox() const { return showAlways_; }
    QToolButton* defaultButton() const { return byDefault_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }
    GifPaletteGrid* paletteGrid() const { return grid_; }
    QFrame* colorPanel() const { return colorPanel_; }  // the transparent colour
    QLabel* countPanel() const { return count_; }       // "N colors"
    GifPreviewBox* beforeBox() const { return beforeBox_; }
    GifPreviewBox* afterBox() const { return afterBox_; }

    // A click on palette cell `cell` (row x columns + column), as the grid
    // reports it.
    void paletteCellClicked(int cell);

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void showValues();
    void setTouchedLook();
    void markList(QComboBox* list);
    void markButtonFace(QWidget* control);
    void reductionChosen(int item);
    void ditherChosen(int item);
    void colorsChosen(int item);
    void disposalChosen(int item);
    void compressionClicked();
    void transparentClicked();
    void restoreDefaults();
    void showTransparentColor();
    // The "Before" from the picture at the preview boxes' size, then "After".
    void placePreviews();
    // Asks the worker for the "After" of the working values.
    void requestAfter(bool optimize);
    void afterArrived(std::uint64_t request, const QImage& after, const std::vector<Color>& palette,
                      const QString& error);

    GifOptionMode mode_;
    int selectedCount_ = 1;
    std::shared_ptr<const Picture> picture_;  // the frame's picture
    std::shared_ptr<const Picture> beforePicture_;
    GifFrameSettings working_;
    GifOptionTouched touched_;
    bool startShowAlways_ = true;
    QImage before_;
    QImage after_;
    std::vector<Color> palette_;
    std::uint64_t requested_ = 0;
    std::uint64_t shown_ = 0;
    bool lastOptimize_ = true;
    std::unique_ptr<LatestJobRunner> worker_;

    QComboBox* reduction_ = nullptr;
    QComboBox* dither_ = nullptr;
    QComboBox* colors_ = nullptr;
    QComboBox* disposal_ = nullptr;
    QGroupBox* compress_ = nullptr;
    QRadioButton* lzw_ = nullptr;
    QRadioButton* rle_ = nullptr;
    QCheckBox* transparent_ = nullptr;
    QCheckBox* showAlways_ = nullptr;
    QToolButton* byDefault_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    GifPaletteGrid* grid_ = nullptr;
    QFrame* colorPanel_ = nullptr;
    QLabel* count_ = nullptr;
    GifPreviewBox* beforeBox_ = nullptr;
    GifPreviewBox* afterBox_ = nullptr;
    QWidget* beforePanel_ = nullptr;
    QWidget* afterPanel_ = nullptr;
};

}  // namespace pelko
