#include "gui/frames/delay_form.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/project/frame_cache.h"
#include "gui/app/dialog_provider.h"
#include "gui/app/picture_image.h"

namespace pelko {

namespace {
constexpr Color kWhite = 0xFFFFFF;
}

// The frame's rectangle on the preview panel: it shows the preview picture
// from its top-left corner and can be dragged with the left button.
class DelayRectangle : public QWidget {
public:
    DelayRectangle(TDelayForm& form, QWidget* parent) : QWidget(parent), form_(form)
    {
        setObjectName("frameRectangle");
        setCursor(Qt::SizeAllCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, form_.preview_);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        setCursor(Qt::ClosedHandCursor);
        grab_ = event->position().toPoint();
        dragging_ = true;
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!dragging_)
            return;
        const QPoint at = event->position().toPoint();
        form_.dragTo(x() + at.x() - grab_.x(), y() + at.y() - grab_.y());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton || !dragging_)
            return;
        setCursor(Qt::SizeAllCursor);
        dragging_ = false;
        form_.dragEnded();
    }

private:
    TDelayForm& form_;
    QPoint grab_;
    bool dragging_ = false;
};

// The lowered panel: the canvas with the frame before the anchor as backdrop.
class DelayPanel : public QFrame {
public:
    DelayPanel(const TDelayForm& form, QWidget* parent) : QFrame(parent), form_(form)
    {
        setObjectName("previewPanel");
        setFrameShape(QFrame::Panel);
        setFrameShadow(QFrame::Sunken);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QFrame::paintEvent(event);
        // the canvas, white, with the frame before the anchor cut at its edges
        QPainter painter(this);
        const int m = form_.m_;
        const QRect canvas(m, m, form_.canvasWidth_, form_.canvasHeight_);
        painter.fillRect(canvas, Qt::white);
        painter.setClipRect(canvas);
        painter.drawImage(canvas.topLeft() + form_.backdropAt_, form_.backdrop_);
    }

private:
    const TDelayForm& form_;
};

TDelayForm::TDelayForm(const Project& project, QWidget* parent)
    : QDialog(parent),
      project_(project),
      anchor_(project.frames[std::size_t(project.selection.first())]),
      canvasWidth_(project.settings.Width),
      canvasHeight_(project.settings.Height)
{
    setWindowTitle(QString::fromStdString(frameOptionsCaption(project.selection)));
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    m_ = std::max(1, int(2 * (screen ? screen->logicalDotsPerInch() : 96.0) / 96));

    time_ = numberField(32000, 100);
    left_ = numberField(canvasWidth_, 1);
    top_ = numberField(canvasHeight_, 1);
    width_ = numberField(canvasWidth_, 1);
    height_ = numberField(canvasHeight_, 1);
    center_ = new QPushButton("Center");
    fill_ = new QPushButton("Fill");
    scale_ = new QCheckBox("Scale frame to fit (without preview)");
    scale_->setAutoFillBackground(true);

    auto* timeGroup = new QGroupBox("Time (msec)");
    auto* timeBox = new QHBoxLayout(timeGroup);
    timeBox->addWidget(time_);
    timeBox->addStretch();

    auto* placeGroup = new QGroupBox("Disposal and size (in pixels)");
    auto* grid = new QGridLayout(placeGroup);
    grid->addWidget(new QLabel("Left"), 0, 0);
    grid->addWidget(left_, 0, 1);
    grid->addWidget(new QLabel("Top"), 0, 2);
    grid->addWidget(top_, 0, 3);
    grid->addWidget(center_, 0, 4);
    grid->addWidget(new QLabel("Width"), 1, 0);
    grid->addWidget(width_, 1, 1);
    grid->addWidget(new QLabel("Height"), 1, 2);
    grid->addWidget(height_, 1, 3);
    grid->addWidget(fill_, 1, 4);
    grid->addWidget(scale_, 2, 0, 1, 5);

    scroll_ = new QScrollArea;
    scroll_->setFixedSize(440, 300);
    auto* content = new QWidget;
    content->setAutoFillBackground(true);
    panel_ = new DelayPanel(*this, content);
    rect_ = new DelayRectangle(*this, panel_);
    scroll_->setWidget(content);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(timeGroup);
    layout->addWidget(placeGroup);
    layout->addWidget(scroll_);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    // Showing: the panel, the backdrop, the fields from the anchor.
    const int m = m_;
    content->resize(canvasWidth_ + 4 * m, canvasHeight_ + 4 * m);
    panel_->setGeometry(2 * m, 2 * m, canvasWidth_ + 2 * m, canvasHeight_ + 2 * m);
    const int anchor = project.selection.first();
    if (anchor > 0) {
        const FrameRecord& before = project.frames[std::size_t(anchor - 1)];
        backdrop_ = toImage(frameImage(project, anchor - 1).get());
        backdropAt_ = {before.Left, before.Top};
    }

    const FrameOptionsValues v = frameOptionsFromFrame(anchor_);
    setQuietly(time_, v.time);
    setPositionQuietly(v.left, v.top, v.width, v.height);
    anchorImage_ = frameImage(project, project.selection.first());
    preview_ = toImage(anchorImage_.get());
    scale_->setChecked(v.stretch);
    placeRectangle();
    enablePosition();
    FrameOptionsMarks marks = initialFrameOptionsMarks(project.selection);
    for (QWidget* control : std::initializer_list<QWidget*>{time_, left_, top_, width_, height_, scale_})
        setMark(control, markOf(marks, control));

    connect(time_, &QSpinBox::valueChanged, this, &TDelayForm::timeChanged);
    connect(left_, &QSpinBox::valueChanged, this, &TDelayForm::positionChanged);
    connect(top_, &QSpinBox::valueChanged, this, &TDelayForm::positionChanged);
    connect(width_, &QSpinBox::valueChanged, this, &TDelayForm::sizeChanged);
    connect(height_, &QSpinBox::valueChanged, this, &TDelayForm::sizeChanged);
    connect(center_, &QPushButton::clicked, this, &TDelayForm::centerClicked);
    connect(fill_, &QPushButton::clicked, this, &TDelayForm::fillClicked);
    connect(scale_, &QCheckBox::clicked, this, &TDelayForm::scaleClicked);
}

QWidget* TDelayForm::rectangle() const
{
    return rect_;
}

QSpinBox* TDelayForm::numberField(int maximum, int step)
{
    auto* field = new QSpinBox;
    field->setRange(0, std::max(0, maximum));
    field->setSingleStep(step);
    field->setAutoFillBackground(true);
    field->installEventFilter(this);
    return field;
}

bool TDelayForm::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in a number field moves on to "OK" instead of closing at once.
    if (event->type() == QEvent::KeyPress && qobject_cast<QSpinBox*>(watched)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ok_->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

FrameOptionsValues TDelayForm::values() const
{
    return {time_->value(),  left_->value(),   top_->value(),
            width_->value(), height_->value(), scale_->isChecked()};
}

bool& TDelayForm::markOf(FrameOptionsMarks& marks, const QWidget* control) const
{
    return control == time_     ? marks.time
           : control == left_   ? marks.left
           : control == top_    ? marks.top
           : control == width_  ? marks.width
           : control == height_ ? marks.height
                                : marks.stretch;
}

void TDelayForm::setMark(QWidget* control, bool marked)
{
    markOf(marks_, control) = marked;
    QPalette p = control->palette();
    if (control == scale_)
        p.setColor(QPalette::Window, marked ? palette().color(QPalette::Button) : QColor(kUnmarkedField));
    else
        p.setColor(QPalette::Base, QColor(marked ? kMarkedField : kUnmarkedField));
    control->setPalette(p);
}

void TDelayForm::setQuietly(QSpinBox* field, int value)
{
    const QSignalBlocker block(field);
    field->setValue(value);
}

void TDelayForm::setPositionQuietly(int left, int top, int width, int height)
{
    setQuietly(left_, left);
    setQuietly(top_, top);
    setQuietly(width_, width);
    setQuietly(height_, height);
    curLeft_ = left;
    curTop_ = top;
    curWidth_ = width;
    curHeight_ = height;
}

void TDelayForm::setPosition(int left, int top, int width, int height)
{
    setPositionQuietly(left, top, width, height);
    for (QSpinBox* field : {left_, top_, width_, height_}) setMark(field, true);
    curLeft_ = left_->value();
    curTop_ = top_->value();
    curWidth_ = width_->value();
    curHeight_ = height_->value();
    drawPreview(curWidth_, curHeight_, {0, 0});
}

void TDelayForm::timeChanged()
{
    setMark(time_, true);
}

void TDelayForm::positionChanged()
{
    setMark(sender() == left_ ? left_ : top_, true);
    curLeft_ = left_->value();
    curTop_ = top_->value();
    placeRectangle();
}

void TDelayForm::sizeChanged()
{
    setMark(sender() == width_ ? width_ : height_, true);
    curWidth_ = width_->value();
    curHeight_ = height_->value();
    drawPreview(curWidth_, curHeight_, {0, 0});
}

void TDelayForm::centerClicked()
{
    const Point at = centredPlacement(canvasWidth_, canvasHeight_, curWidth_, curHeight_);
    left_->setValue(at.x);
    top_->setValue(at.y);
    // a value the field already shows runs no change handling
    setMark(left_, true);
    setMark(top_, true);
    curLeft_ = left_->value();
    curTop_ = top_->value();
    placeRectangle();
}

void TDelayForm::fillClicked()
{
    setPosition(0, 0, canvasWidth_, canvasHeight_);
}

void TDelayForm::scaleClicked()
{
    if (scale_->isChecked()) {
        setPositionQuietly(0, 0, canvasWidth_, canvasHeight_);
        // the image unscaled, centred where it is smaller than the canvas
        const Point c = centredPlacement(canvasWidth_, canvasHeight_, anchorImage_.get().width(),
                                         anchorImage_.get().height());
        drawPreview(canvasWidth_, canvasHeight_, {std::max(0, c.x), std::max(0, c.y)});
    } else {
        setPosition(anchor_.Left, anchor_.Top, anchor_.Width, anchor_.Height);
    }
    placeRectangle();
    enablePosition();
    setMark(scale_, true);
}

void TDelayForm::enablePosition()
{
    const bool on = !scale_->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{left_, top_, width_, height_, center_, fill_})
        w->setEnabled(on);
}

void TDelayForm::placeRectangle()
{
    rect_->setGeometry(curLeft_ + m_, curTop_ + m_, curWidth_, curHeight_);
    rect_->update();
}

void TDelayForm::drawPreview(int width, int height, QPoint at)
{
    // A canvas too large for a picture (from a hostile project file) shows
    // an empty rectangle rather than failing.
    if (!pictureSizeAllowed(width, height)) {
        preview_ = QImage();
    } else {
        Picture p(width, height);
        p.fill(kWhite);
        p.draw(anchorImage_.get(), at.x(), at.y());
        preview_ = toImage(p);
    }
    placeRectangle();
}

void TDelayForm::dragTo(int x, int y)
{
    const Point at = clampDrag(x - m_, y - m_, curWidth_, curHeight_, canvasWidth_, canvasHeight_);
    if (at.x + m_ == rect_->x() && at.y + m_ == rect_->y())
        return;
    rect_->move(at.x + m_, at.y + m_);
    setQuietly(left_, at.x);
    setQuietly(top_, at.y);
    // a drag is applied like typed values, also with several frames selected
    setMark(left_, true);
    setMark(top_, true);
}

void TDelayForm::dragEnded()
{
    curLeft_ = left_->value();
    curTop_ = top_->value();
}

}  // namespace pelko
