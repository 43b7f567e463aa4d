#pragma once
// ColourDialogs: runs the GIF frame options dialog for "Optimize frame's
// color". The window asks through it so that tests can answer in the
// dialog's place; the command makes the form and only runs it here.

#include <memory>

namespace pelko {

class TAVIForm;
class TGifOptionForm;

class ColourDialogs {
public:
    virtual ~ColourDialogs() = default;
    // Runs the form; true when it closes with "OK".
    virtual bool gifOptions(TGifOptionForm& form) = 0;
};

// The real dialog, modal.
class WidgetColourDialogs : public ColourDialogs {
public:
    bool gifOptions(TGifOptionForm& form) override;
};

// "Optimize frame's color" and the colour pictures of the cards.
void installColourCommands(TAVIForm& window);
// The dialogs the command runs its form through (tests answer).
void setColourDialogs(TAVIForm& window, std::shared_ptr<ColourDialogs> dialogs);

}  // namespace pelko
