// "Optimize frame's color": the GIF frame options of the selected frames.
// The dialog picks the values; storing them in the frames is the engine's.

#include <QAction>

#include "engine/gif_options/gif_color_options.h"
#include "gui/app/frame_strip.h"
#include "gui/app/main_window.h"
#include "gui/colour/colour_dialogs.h"
#include "gui/colour/gif_option_form.h"

namespace pelko {

namespace {

// Keeps the dialogs the command runs its form through.
class ColourFeature : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::shared_ptr<ColourDialogs> dialogs = std::make_shared<WidgetColourDialogs>();
};

void optimizeColorCommand(TAVIForm& w, ColourDialogs& dialogs)
{
    w.rail().run([&] {
        Project& project = w.project();
        const int anchor = project.selection.first();
        if (anchor < 0 || anchor >= project.frames.count() || !project.settings.isGif())
            return;
        TGifOptionForm form(project, &w);
        if (dialogs.gifOptions(form) && storeGifOptions(project, form.values(), form.touched()))
            w.applyEnabling();  // "Save project"
    });
}

}  // namespace

bool WidgetColourDialogs::gifOptions(TGifOptionForm& form)
{
    return form.exec() == QDialog::Accepted;
}

void setColourDialogs(TAVIForm& window, std::shared_ptr<ColourDialogs> dialogs)
{
    window.feature<ColourFeature>()->dialogs = std::move(dialogs);
}

void installColourCommands(TAVIForm& window)
{
    auto* feature = new ColourFeature(&window);
    QAction* optimize = window.commands().add(
        {.id = "ActionOptimizeColor",
         .caption = "Optimize frame's color",
         .keys = keys("Ctrl+Alt+C"),
         .icon = IconKind::OptimizeColor,
         .enabled = [](const CommandEnabling& e) { return e.optimizeColor; },
         .execute = [feature](TAVIForm& w, bool) { optimizeColorCommand(w, *feature->dialogs); },
         .undoName = "Colors of %n"});
    // the colour picture of a card: that frame alone, then the command
    QObject::connect(window.frameCards(), &FrameStrip::colorClicked, feature, [&window, optimize](int index) {
        Project& project = window.project();
        if (index < 0 || index >= project.frames.count() || !project.settings.isGif())
            return;
        project.selection.selectOnly(index);
        window.mirrorProject(index);
        optimize->trigger();
    });
}

}  // namespace pelko

#include "colour_command.moc"
