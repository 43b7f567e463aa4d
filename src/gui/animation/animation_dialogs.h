#pragma once
// AnimationDialogs: the values the Animation menu's tools ask for, and the
// message some of them leave. The commands ask through this interface so
// that tests can answer in the dialogs' place.

#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace pelko {

class TAVIForm;

// One number a tool asks for, with its range and starting value.
struct ToolNumber {
    QString label;
    int minimum = 0;
    int maximum = 0;
    int value = 0;
};

class AnimationDialogs {
public:
    virtual ~AnimationDialogs() = default;
    // Asks for the fields' values in a dialog captioned title, with text
    // above the fields; false when cancelled.
    virtual bool numbers(QWidget* parent, const QString& title, const QString& text,
                         std::vector<ToolNumber>& fields) = 0;
    // A message box captioned "Information".
    virtual void information(QWidget* parent, const QString& text) = 0;
};

// The real dialogs, modal (numbers_form.h).
class WidgetAnimationDialogs : public AnimationDialogs {
public:
    bool numbers(QWidget* parent, const QString& title, const QString& text,
                 std::vector<ToolNumber>& fields) override;
    void information(QWidget* parent, const QString& text) override;
};

// The Animation menu: trim, remove duplicates (drop identical frames in an
// AVI project), speed, frame time, drop every Nth frame, select and delete
// frames by number, reverse, yo-yo, crop canvas, resize animation.
void installAnimationCommands(TAVIForm& window);
// The dialogs the commands ask through (tests answer).
void setAnimationDialogs(TAVIForm& window, std::shared_ptr<AnimationDialogs> dialogs);

}  // namespace pelko
