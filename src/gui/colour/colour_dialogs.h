#pragma once
// ColourDialogs: runs the GIF frame options dialog for "Optimize frame's
// color". The window asks through it so that tests can answer in the
// dialog's place; the command makes the form and only runs it here.

namespace pelko {

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

}  // namespace pelko
