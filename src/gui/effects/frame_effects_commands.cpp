// The Effects menu's frame commands: clone, flip and convert, each through
// its engine operation, and the check marks of the first selected frame.

#include <QActionGroup>
#include <QMenu>
#include <QScrollArea>

#include "engine/effects/clone.h"
#include "engine/effects/flip_convert.h"
#include "engine/project/frame_info.h"
#include "gui/app/main_window.h"
#include "gui/effects/effects_commands.h"

namespace pelko {

namespace {

constexpr const char* kFlips[] = {"Normal", "Horizontal", "Vertical", "Horizontal+Vertical"};
constexpr const char* kConverts[] = {"Normal", "Inverse", "GreyScale"};
constexpr ConvertMode kConvertModes[] = {ConvertMode::Normal, ConvertMode::Inverse, ConvertMode::GreyScale};

// An effect on the selected frames, then the frames shown again.
template <class Apply>
void effectCommand(TAVIForm& w, const char* title, Apply apply)
{
    w.rail().run([&] {
        const EffectResult result = w.rail().work({w.frameStrip(), title}, [&](ProgressSink& progress) {
            return apply(w.project(), w.reader(), progress);
        });
        w.mirrorProject(w.project().selection.first());
        w.showErrors(result.errors);
    });
}

// The marks from the first selected frame; with nothing selected they stay
// as they were.
void setEffectMarks(TAVIForm& w)
{
    const int i = w.project().selection.first();
    if (i < 0 || i >= w.project().frames.count())
        return;
    const EffectMarks m = effectMarks(w.project().frames[std::size_t(i)]);
    for (int k = 0; k < 4; ++k) w.action(QString("ActionFlip%1").arg(k))->setChecked(k == m.flip);
    w.action("ActionConvert0")->setChecked(m.normal);
    w.action("ActionConvert1")->setChecked(m.inverse);
    w.action("ActionConvert2")->setChecked(m.grey);
}

}  // namespace

void installFrameEffectCommands(TAVIForm& window)
{
    CommandRegistry& c = window.commands();
    // Clone frame takes the shortcut its menu item shows, so that Ctrl+Alt+C
    // stays with "Optimize frame's color" alone.
    c.add({.id = "ActionClone",
           .caption = "Clone frame",
           .keys = keys("Ctrl+Alt+F"),
           .icon = IconKind::Clone,
           .enabled = enabled::selected,
           .execute =
               [](TAVIForm& w, bool) {
                   w.rail().run([&w] {
                       w.rail().work({w.frameStrip()}, [&w](ProgressSink&) { cloneSelected(w.project()); });
                       w.mirrorProject(w.project().selection.first());
                   });
               },
           .undoName = "Clone %n"});
    auto* flips = new QActionGroup(&window);
    for (int mode = 0; mode < 4; ++mode)
        flips->addAction(c.add({.id = QString("ActionFlip%1").arg(mode),
                                .caption = kFlips[mode],
                                .checkable = true,
                                .enabled = enabled::selected,
                                .execute =
                                    [mode](TAVIForm& w, bool) {
                                        effectCommand(w, "Flip frame",
                                                      [mode](Project& p, SourceReader& r, ProgressSink& s) {
                                                          return flipSelected(p, mode, r, s);
                                                      });
                                    },
                                .undoName = "Flip %n"}));
    auto* converts = new QActionGroup(&window);
    converts->setExclusive(false);  // Inverse and GreyScale may both carry a mark
    for (int mode = 0; mode < 3; ++mode)
        converts->addAction(c.add({.id = QString("ActionConvert%1").arg(mode),
                                   .caption = kConverts[mode],
                                   .checkable = true,
                                   .enabled = enabled::selected,
                                   .execute =
                                       [mode](TAVIForm& w, bool) {
                                           effectCommand(
                                               w, "Convert frame to",
                                               [mode](Project& p, SourceReader& r, ProgressSink& s) {
                                                   return convertSelected(p, kConvertModes[mode], r, s);
                                               });
                                       },
                                   .undoName = "Convert %n"}));
    for (const char* name : {"effectsMenu", "flipMenu", "convertMenu", "flipDropDown"})
        QObject::connect(c.menu(name), &QMenu::aboutToShow, &window, [&window] { setEffectMarks(window); });
}

}  // namespace pelko
