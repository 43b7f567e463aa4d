#include "gui/effects/text_form.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/app/dialog_provider.h"
#include "gui/app/picture_image.h"
#include "gui/app/spin_keys.h"
#include "gui/effects/text_preview.h"

namespace pelko {

namespace {

QColor qColor(Color c)
{
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

// A grid of captioned fields in a group box.
QGroupBox* fieldGroup(const QString& title, const std::vector<std::pair<QString, QWidget*>>& fields)
{
    auto* box = new QGroupBox(title);
    auto* grid = new QGridLayout(box);
    int row = 0;
    for (const auto& [caption, field] : fields) {
        grid->addWidget(new QLabel(caption), row, 0);
        grid->addWidget(field, row++, 1);
    }
    return box;
}

}  // namespace

TFormText::TFormText(const ProjectSettings& project, const CreepingLineSettings& stored,
                     const QImage& anchorImage, QPoint anchorPlace, TextDrawer& drawer,
                     DialogProvider& dialogs, QWidget* parent)
    : QDialog(parent),
      project_(project),
      settings_(checkedCreepingLine(stored, stored, project)),
      stored_(settings_),
      anchorImage_(anchorImage),
      anchorPlace_(anchorPlace),
      drawer_(drawer),
      dialogs_(dialogs)
{
    setWindowTitle("Adding of frames with text");
    add_ = new QPushButton("Add");
    add_->setDefault(true);
    cancel_ = new QPushButton("Cancel");
    keys_ = new SpinKeys(add_, cancel_, this);

    textEdit_ = new QLineEdit(QString::fromStdString(settings_.text));
    textEdit_->setObjectName("text");
    setText_ = new QPushButton("Set text");
    auto* textRow = new QHBoxLayout;
    textRow->addWidget(textEdit_, 1);
    textRow->addWidget(setText_);

    auto* direction = new QGroupBox("Direction from");
    auto* directionLayout = new QVBoxLayout(direction);
    const char* names[] = {"left to right", "right to left", "top to bottom", "bottom to top"};
    for (std::size_t i = 0; i < directions_.size(); ++i) {
        directions_[i] = new QRadioButton(names[i]);
        directionLayout->addWidget(directions_[i]);
        connect(directions_[i], &QRadioButton::clicked, this,
                [this, i] { directionClicked(CreepDirection(i)); });
    }

    startLeft_ = numberField(0, 0);
    startTop_ = numberField(0, 0);
    frameLeft_ = numberField(0, 0);
    frameTop_ = numberField(0, 0);
    width_ = numberField(0, std::max(0, project.Width));
    height_ = numberField(0, std::max(0, project.Height));
    auto* disposal = new QGroupBox("Disposal");
    auto* disposalLayout = new QHBoxLayout(disposal);
    disposalLayout->addWidget(fieldGroup("Text", {{"Start left", startLeft_}, {"Start top", startTop_}}));
    disposalLayout->addWidget(fieldGroup(
        "Frame", {{"Left", frameLeft_}, {"Top", frameTop_}, {"Width", width_}, {"Height", height_}}));

    count_ = numberField(0, kMaxCreepCount);
    duration_ = numberField(0, kMaxCreepDuration, 50);
    font_ = new QPushButton("Select font");
    color_ = new QPushButton("Background color");
    showBackground_ = new QCheckBox("Show background");
    auto* misc = new QGroupBox("Misc");
    auto* miscLayout = new QGridLayout(misc);
    miscLayout->addWidget(new QLabel("Frames number"), 0, 0);
    miscLayout->addWidget(count_, 0, 1);
    miscLayout->addWidget(new QLabel("Frame duration"), 1, 0);
    miscLayout->addWidget(duration_, 1, 1);
    miscLayout->addWidget(font_, 2, 0);
    miscLayout->addWidget(color_, 2, 1);
    miscLayout->addWidget(showBackground_, 3, 0, 1, 2);

    default_ = new QPushButton("Default");
    default_->setObjectName("byDefault");
    default_->setToolTip("by default");

    auto* scroll = new QScrollArea;
    scroll->setObjectName("previewScroll");
    canvas_ = new TextCanvas(project.Width, project.Height, scroll);
    scroll->setWidget(canvas_);
    scroll->setMinimumSize(std::min(canvas_->width() + 4, 640), std::min(canvas_->height() + 4, 400));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add_);
    buttons->addWidget(cancel_);
    buttons->addWidget(default_);
    buttons->addStretch();
    auto* controls = new QHBoxLayout;
    controls->addWidget(direction);
    controls->addWidget(disposal);
    controls->addWidget(misc);
    controls->addStretch();
    controls->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(textRow);
    layout->addWidget(scroll, 1);
    layout->addLayout(controls);

    timer_ = new QTimer(this);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &TFormText::showNextFrame);
    connect(setText_, &QPushButton::clicked, this, &TFormText::setTextClicked);
    connect(font_, &QPushButton::clicked, this, &TFormText::fontClicked);
    connect(color_, &QPushButton::clicked, this, &TFormText::colorClicked);
    connect(default_, &QPushButton::clicked, this, &TFormText::defaultClicked);
    connect(showBackground_, &QCheckBox::toggled, this, [this](bool on) {
        settings_.showBackground = on;
        showCanvasBackground();
    });
    connect(canvas_->area(), &TextArea::moved, this, &TFormText::areaMoved);
    connect(canvas_, &TextCanvas::colourChosen, this, [this](QColor c) {
        setBackgroundColour(rgb(std::uint8_t(c.red()), std::uint8_t(c.green()), std::uint8_t(c.blue())));
    });
    connect(add_, &QPushButton::clicked, this, [this] {
        timer_->stop();
        accept();
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        timer_->stop();
        reject();
    });

    showSettings();
    showCanvasBackground();
    restartPreview();
}

QSpinBox* TFormText::numberField(int minimum, int maximum, int step)
{
    auto* field = new QSpinBox;
    field->setRange(minimum, maximum);
    field->setSingleStep(step);
    keys_->watch(field);
    connect(field, &QSpinBox::valueChanged, this, &TFormText::fieldsChanged);
    return field;
}

void TFormText::showSettings()
{
    showing_ = true;
    const CreepingLineSettings& s = settings_;
    auto set = [](QSpinBox* field, int value, int maximum) {
        const QSignalBlocker block(field);
        field->setMaximum(std::max(0, maximum));
        field->setValue(value);
    };
    set(width_, s.width, project_.Width);
    set(height_, s.height, project_.Height);
    set(startLeft_, s.startLeft, s.width);
    set(startTop_, s.startTop, s.height);
    set(frameLeft_, s.frameLeft, project_.Width - s.width);
    set(frameTop_, s.frameTop, project_.Height - s.height);
    set(count_, s.count, kMaxCreepCount);
    set(duration_, s.duration, kMaxCreepDuration);
    directions_[std::size_t(s.direction)]->setChecked(true);
    {
        const QSignalBlocker block(showBackground_);
        showBackground_->setChecked(s.showBackground);
    }
    showing_ = false;
}

void TFormText::fieldsChanged()
{
    if (showing_)
        return;
    CreepingLineSettings typed = settings_;
    typed.startLeft = startLeft_->value();
    typed.startTop = startTop_->value();
    typed.frameLeft = frameLeft_->value();
    typed.frameTop = frameTop_->value();
    typed.width = width_->value();
    typed.height = height_->value();
    typed.count = count_->value();
    typed.duration = duration_->value();
    settings_ = checkedCreepingLine(typed, stored_, project_);
    showSettings();
    restartPreview();
}

void TFormText::setTextClicked()
{
    settings_.text = textEdit_->text().toStdString();
    restartPreview();
}

void TFormText::directionClicked(CreepDirection d)
{
    settings_ = withDirection(settings_, d);
    showSettings();
    restartPreview();
}

void TFormText::fontClicked()
{
    timer_->stop();
    TextFont font = settings_.font;
    if (dialogs_.chooseFont(this, font))
        settings_.font = font;
    restartPreview();
}

void TFormText::colorClicked()
{
    timer_->stop();
    Color c = settings_.background;
    if (dialogs_.chooseColor(this, c))
        setBackgroundColour(c);
    else
        restartPreview();
}

void TFormText::setBackgroundColour(Color c)
{
    settings_.background = c;
    showCanvasBackground();
    restartPreview();
}

void TFormText::defaultClicked()
{
    settings_ = resetCreepingLine(settings_, project_);
    textEdit_->setText(QString::fromStdString(settings_.text));
    showSettings();
    showCanvasBackground();
    restartPreview();
}

void TFormText::areaMoved(QPoint place)
{
    settings_.frameLeft = place.x();
    settings_.frameTop = place.y();
    showSettings();
    restartPreview();
}

void TFormText::showCanvasBackground()
{
    canvas_->setBackground(qColor(settings_.background), anchorImage_, anchorPlace_,
                           settings_.showBackground);
}

void TFormText::restartPreview()
{
    timer_->stop();
    plan_ = planCreepingLine(settings_, drawer_, project_.Height);
    next_ = 0;
    canvas_->area()->setGeometry(settings_.frameLeft, settings_.frameTop, settings_.width, settings_.height);
    timer_->setInterval(settings_.duration);
    showNextFrame();  // frame 0 at once, the rest on the ticks
    timer_->start();
}

void TFormText::showNextFrame()
{
    if (settings_.count <= 0)
        return;
    const int k = next_ % settings_.count;
    canvas_->area()->setFrame(toImage(creepingLineFrame(settings_, plan_, k, drawer_)));
    next_ = (k + 1) % settings_.count;
}

}  // namespace pelko
