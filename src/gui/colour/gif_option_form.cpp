#include "gui/colour/gif_option_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/gif/gif_types.h"
#include "engine/gif_options/gif_color_preview.h"
#include "engine/project/composition.h"
#include "engine/project/frame_cache.h"
#include "engine/project/frame_options.h"
#include "gui/app/icons.h"
#include "gui/app/picture_image.h"
#include "gui/colour/gif_palette_grid.h"
#include "gui/colour/gif_preview_box.h"
#include "gui/colour/latest_job_runner.h"

namespace pelko {

namespace {

// The panels behind the previews; transparent pixels of "After" show it.
constexpr Color kPanelSilver = 0xC0C0C0;
constexpr QRgb kUntouched = 0xE6E6E6;
constexpr QRgb kTouchedList = 0xFFFFFF;

QComboBox* listOf(const auto& items, QWidget* parent)
{
    auto* list = new QComboBox(parent);
    for (const char* item : items) list->addItem(QString::fromLatin1(item));
    return list;
}

QWidget* silverPanel(QWidget* parent)
{
    auto* panel = new QWidget(parent);
    QPalette p = panel->palette();
    p.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    panel->setPalette(p);
    panel->setAutoFillBackground(true);
    panel->setMinimumSize(200, 160);
    panel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return panel;
}

// One direction of a preview box in its panel: centred when the picture
// fits, otherwise 2 from the edge and 4 smaller than the panel.
std::pair<int, int> boxSpan(int picture, int panel)
{
    if (picture <= panel - 4)
        return {(panel - picture) / 2, picture};
    return {2, std::max(0, panel - 4)};
}

void selectQuietly(QComboBox* list, std::optional<int> item)
{
    if (!item)
        return;  // a value the list does not offer: the list keeps its item
    const QSignalBlocker block(list);
    list->setCurrentIndex(*item);
}

}  // namespace

TGifOptionForm::TGifOptionForm(const Project& project, QWidget* parent)
    : QDialog(parent), mode_(GifOptionMode::Frame), worker_(std::make_unique<LatestJobRunner>())
{
    const int anchor = project.selection.first();
    selectedCount_ = std::max(1, project.selection.count());
    if (anchor >= 0 && anchor < project.frames.count()) {
        const FrameRecord& frame = project.frames[std::size_t(anchor)];
        working_ = frame.Gif;
        const FramePicture image = frameImage(project, anchor);
        picture_ = std::make_shared<const Picture>(previewPicture(frame, image.get()));
    } else {
        picture_ = std::make_shared<const Picture>();
    }
    touched_ = initialGifOptionTouched(selectedCount_);
    build();
    setWindowTitle(QString::fromStdString(frameOptionsCaption(project.selection)));
    ok_->setText("OK");
    showAlways_->hide();
    disposal_->setEnabled(true);
    showValues();
    setTouchedLook();
}

TGifOptionForm::TGifOptionForm(const QString& caption, const Picture& picture,
                               const GifStillSettings& settings, QWidget* parent)
    : QDialog(parent), mode_(GifOptionMode::Still), worker_(std::make_unique<LatestJobRunner>())
{
    working_ = settings.gif;
    working_.DisposalMethod = kDefaultGifFrameSettings.DisposalMethod;
    startShowAlways_ = settings.showAlways;
    picture_ = std::make_shared<const Picture>(picture);
    touched_ = initialGifOptionTouched(1);
    build();
    setWindowTitle(caption);
    ok_->setText("Save");
    showAlways_->setChecked(startShowAlways_);
    disposal_->setEnabled(false);
    showValues();
}

// The worker goes first: a job still running finishes before the widgets
// go, and its result, queued to this object, goes with it.
TGifOptionForm::~TGifOptionForm()
{
    worker_.reset();
}

GifStillSettings TGifOptionForm::stillSettings() const
{
    return gifStillSettingsOf(working_, showAlways_->isChecked());
}

bool TGifOptionForm::previewWorkIdle() const
{
    return worker_->idle();
}

void TGifOptionForm::build()
{
    setModal(true);
    auto* top = new QHBoxLayout(this);

    auto* previews = new QHBoxLayout;
    auto* beforeGroup = new QGroupBox("Before", this);
    auto* afterGroup = new QGroupBox("After", this);
    beforePanel_ = silverPanel(beforeGroup);
    afterPanel_ = silverPanel(afterGroup);
    (new QVBoxLayout(beforeGroup))->addWidget(beforePanel_);
    (new QVBoxLayout(afterGroup))->addWidget(afterPanel_);
    beforeBox_ = new GifPreviewBox(beforePanel_);
    beforeBox_->setObjectName("ImageSrc");
    afterBox_ = new GifPreviewBox(afterPanel_);
    afterBox_->setObjectName("ImageGif");
    previews->addWidget(beforeGroup, 1);
    previews->addWidget(afterGroup, 1);
    top->addLayout(previews, 1);

    auto* side = new QVBoxLayout;
    auto* lists = new QGridLayout;
    reduction_ = listOf(kGifReductionItems, this);
    reduction_->setObjectName("ComboReduction");
    dither_ = listOf(kGifDitherItems, this);
    dither_->setObjectName("ComboDither");
    colors_ = listOf(kGifColorsItems, this);
    colors_->setObjectName("ComboColor");
    disposal_ = listOf(kGifDisposalItems, this);
    disposal_->setObjectName("ComboBox1");
    int row = 0;
    for (auto [caption, list] : {std::pair{"Reduction:", reduction_}, std::pair{"Dither:", dither_},
                                 std::pair{"Colors:", colors_}, std::pair{"Disposal:", disposal_}}) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(list);
        lists->addWidget(label, row, 0);
        lists->addWidget(list, row, 1);
        ++row;
    }
    side->addLayout(lists);

    compress_ = new QGroupBox("Compress", this);
    compress_->setObjectName("CompressGroup");
    compress_->setAutoFillBackground(true);
    lzw_ = new QRadioButton("LZW", compress_);
    rle_ = new QRadioButton("RLE", compress_);
    auto* compressColumns = new QHBoxLayout(compress_);
    compressColumns->addWidget(lzw_);
    compressColumns->addWidget(rle_);
    side->addWidget(compress_);

    auto* transparentRow = new QHBoxLayout;
    transparent_ = new QCheckBox("Transparent", this);
    transparent_->setObjectName("CheckBox1");
    transparent_->setAutoFillBackground(true);
    colorPanel_ = new QFrame(this);
    colorPanel_->setObjectName("Panel3");
    colorPanel_->setFrameShape(QFrame::Panel);
    colorPanel_->setFrameShadow(QFrame::Sunken);
    colorPanel_->setFixedSize(24, 18);
    colorPanel_->setAutoFillBackground(true);
    transparentRow->addWidget(transparent_);
    transparentRow->addWidget(colorPanel_);
    transparentRow->addStretch();
    side->addLayout(transparentRow);

    grid_ = new GifPaletteGrid(this);
    grid_->setObjectName("DrawGrid1");
    side->addWidget(grid_, 0, Qt::AlignHCenter);
    count_ = new QLabel(this);
    count_->setObjectName("Panel5");
    count_->setAlignment(Qt::AlignCenter);
    side->addWidget(count_);

    auto* defaultsRow = new QHBoxLayout;
    byDefault_ = new QToolButton(this);
    byDefault_->setObjectName("SpeedButton1");
    byDefault_->setIcon(drawnIcon(IconKind::Refresh));
    byDefault_->setToolTip("by default");
    showAlways_ = new QCheckBox("Show always", this);
    showAlways_->setObjectName("CheckBox2");
    defaultsRow->addWidget(byDefault_);
    defaultsRow->addWidget(showAlways_);
    defaultsRow->addStretch();
    side->addLayout(defaultsRow);
    side->addStretch();

    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("Button1");
    ok_->setDefault(true);
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("Button2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    side->addLayout(buttons);
    top->addLayout(side);

    connect(reduction_, &QComboBox::currentIndexChanged, this, &TGifOptionForm::reductionChosen);
    connect(dither_, &QComboBox::currentIndexChanged, this, &TGifOptionForm::ditherChosen);
    connect(colors_, &QComboBox::currentIndexChanged, this, &TGifOptionForm::colorsChosen);
    connect(disposal_, &QComboBox::currentIndexChanged, this, &TGifOptionForm::disposalChosen);
    connect(lzw_, &QRadioButton::clicked, this, &TGifOptionForm::compressionClicked);
    connect(rle_, &QRadioButton::clicked, this, &TGifOptionForm::compressionClicked);
    connect(transparent_, &QCheckBox::clicked, this, &TGifOptionForm::transparentClicked);
    connect(grid_, &GifPaletteGrid::cellClicked, this, &TGifOptionForm::paletteCellClicked);
    connect(byDefault_, &QToolButton::clicked, this, &TGifOptionForm::restoreDefaults);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
    // large enough for the whole picture twice where the screen allows
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    resize(std::clamp(2 * picture_->width() + 440, 860, std::max(860, room.width() * 9 / 10)),
           std::clamp(picture_->height() + 120, 480, std::max(480, room.height() * 9 / 10)));
}

void TGifOptionForm::showValues()
{
    {
        const QSignalBlocker block(transparent_);
        transparent_->setChecked(working_.GIFTransparent);
    }
    selectQuietly(colors_, gifColorsItem(working_.ReductionBit));
    (working_.GIFCompression == gcRLE ? rle_ : lzw_)->setChecked(true);
    selectQuietly(dither_, gifDitherItem(working_.ColorDither));
    selectQuietly(reduction_, gifReductionItem(working_.ColorReduction));
    if (mode_ == GifOptionMode::Frame)
        selectQuietly(disposal_, gifDisposalItem(working_.DisposalMethod));
    setGifCodecDefaults(working_);
    showTransparentColor();
}

void TGifOptionForm::setTouchedLook()
{
    if (mode_ != GifOptionMode::Frame)
        return;
    const auto look = [this](QWidget* control, bool touched, bool list) {
        QPalette p = control->palette();
        const QColor colour = !touched ? QColor(kUntouched)
                              : list   ? QColor(kTouchedList)
                                       : palette().color(QPalette::Button);
        if (list) {
            p.setColor(QPalette::Base, colour);
            p.setColor(QPalette::Button, colour);
        } else {
            p.setColor(QPalette::Window, colour);
        }
        control->setPalette(p);
    };
    look(reduction_, touched_.reduction, true);
    look(dither_, touched_.dither, true);
    look(colors_, touched_.colors, true);
    look(disposal_, touched_.disposal, true);
    look(compress_, touched_.compression, false);
    look(transparent_, touched_.transparent, false);
}

void TGifOptionForm::reductionChosen(int item)
{
    if (item < 0)
        return;
    working_.ColorReduction = std::uint8_t(kGifReductionValues[std::size_t(item)]);
    touched_.reduction = true;
    setGifCodecDefaults(working_);
    requestAfter(true);
    setTouchedLook();
}

void TGifOptionForm::ditherChosen(int item)
{
    if (item < 0)
        return;
    working_.ColorDither = std::uint8_t(kGifDitherValues[std::size_t(item)]);
    touched_.dither = true;
    setGifCodecDefaults(working_);
    requestAfter(true);
    setTouchedLook();
}

void TGifOptionForm::colorsChosen(int item)
{
    if (item < 0)
        return;
    working_.ReductionBit = item + 3;
    touched_.colors = true;
    setGifCodecDefaults(working_);
    requestAfter(true);
    setTouchedLook();
}

void TGifOptionForm::disposalChosen(int item)
{
    if (item < 0)
        return;
    working_.DisposalMethod = std::uint8_t(item);
    touched_.disposal = true;
    setTouchedLook();
}

void TGifOptionForm::compressionClicked()
{
    working_.GIFCompression = std::uint8_t(rle_->isChecked() ? gcRLE : gcLZW);
    setGifCodecDefaults(working_);
    touched_.compression = true;
    setTouchedLook();
}

void TGifOptionForm::transparentClicked()
{
    working_.GIFTransparent = transparent_->isChecked();
    touched_.transparent = true;
    requestAfter(true);
    setTouchedLook();
}

void TGifOptionForm::paletteCellClicked(int cell)
{
    if (!transparent_->isChecked() || !pickTransparentColor(working_, palette_, cell))
        return;
    touched_.transparent = true;
    showTransparentColor();
    requestAfter(false);
    setTouchedLook();
}

void TGifOptionForm::restoreDefaults()
{
    working_ = gifOptionDefaults(working_);
    touched_ = touchedByDefaults(touched_);
    showValues();
    showAlways_->setChecked(true);
    requestAfter(true);
    setTouchedLook();
}

void TGifOptionForm::showTransparentColor()
{
    const Color c = working_.TransparentColor;
    QPalette p = colorPanel_->palette();
    p.setColor(QPalette::Window, QColor(redOf(c), greenOf(c), blueOf(c)));
    colorPanel_->setPalette(p);
    colorPanel_->setToolTip(QString("RGB: %1 %2 %3").arg(redOf(c)).arg(greenOf(c)).arg(blueOf(c)));
}

void TGifOptionForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    placePreviews();
}

void TGifOptionForm::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (isVisible())
        placePreviews();
}

void TGifOptionForm::placePreviews()
{
    const auto [x, width] = boxSpan(picture_->width(), beforePanel_->width());
    const auto [y, height] = boxSpan(picture_->height(), beforePanel_->height());
    const bool sameSize =
        beforePicture_ && beforePicture_->width() == width && beforePicture_->height() == height;
    beforeBox_->setGeometry(x, y, width, height);
    afterBox_->setGeometry(x, y, width, height);
    if (sameSize)
        return;
    beforePicture_ = std::make_shared<const Picture>(gifColorBefore(*picture_, width, height));
    before_ = toImage(*beforePicture_);
    beforeBox_->setImage(before_);
    requestAfter(true);
}

void TGifOptionForm::requestAfter(bool optimize)
{
    lastOptimize_ = optimize;
    if (!beforePicture_)
        return;  // not shown yet: showing asks for it
    const std::uint64_t request = ++requested_;
    auto before = beforePicture_;
    const GifFrameSettings working = working_;
    worker_->post([this, request, before, working, optimize] {
        GifColorPreview preview = buildGifColorPreview(*before, working, optimize, kPanelSilver);
        QImage after = toImage(preview.after);
        QMetaObject::invokeMethod(
            this,
            [this, request, after, palette = std::move(preview.palette),
             error = QString::fromStdString(preview.error)] { afterArrived(request, after, palette, error); },
            Qt::QueuedConnection);
    });
}

void TGifOptionForm::afterArrived(std::uint64_t request, const QImage& after,
                                  const std::vector<Color>& palette, const QString& error)
{
    if (request != requested_)
        return;  // a newer request is on its way
    shown_ = request;
    after_ = after;
    afterBox_->setImage(after_);
    afterBox_->setToolTip(error);
    palette_ = palette;
    grid_->setColors(palette_);
    count_->setText(QString("%1 colors").arg(palette_.size()));
    showTransparentColor();
}

}  // namespace pelko
