#pragma once
// Small helpers of the main window tests: dialogs that answer at once,
// picture files on disk, and mouse events sent straight to a widget.

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/effects/text_drawer.h"
#include "engine/image/png_picture.h"
#include "engine/image/ppm.h"
#include "gui/app/dialog_provider.h"
#include "gui/app/main_window.h"
#include "gui/capture/capture_command.h"
#include "gui/colour/colour_dialogs.h"
#include "gui/effects/alpha_form.h"
#include "gui/effects/effects_commands.h"
#include "gui/effects/text_form.h"
#include "gui/export/export_commands.h"
#include "gui/features.h"
#include "gui/frames/delay_form.h"
#include "gui/output/generate_command.h"
#include "gui/playback/playback_controller.h"
#include "platform/qt_settings_store.h"

namespace pelko::test {

// Answers every dialog from its members and records what was asked.
struct FakeDialogs : DialogProvider {
    QStringList pictures;
    QString openPath;
    QString savePath;
    std::optional<ProjectOptions> options;  // unset: the options dialog is cancelled
    QMessageBox::StandardButton answer = QMessageBox::No;
    int optionsAsked = 0;
    int questionsAsked = 0;
    QStringList errors;

    QStringList pictureFiles(QWidget*) override { return pictures; }
    QString openProjectFile(QWidget*) override { return openPath; }
    QString saveProjectFile(QWidget*, const QString&) override { return savePath; }
    bool projectOptions(QWidget*, ProjectOptions& o, ShowFlags&, bool, DefaultFrameSize) override
    {
        ++optionsAsked;
        if (!options)
            return false;
        o = *options;
        return true;
    }
    QMessageBox::StandardButton askSaveChanges(QWidget*) override
    {
        ++questionsAsked;
        return answer;
    }
    void error(QWidget*, const QString& text, bool) override { errors << text; }
    std::optional<FrameInfo> shownInfo;
    void showFrameInfo(QWidget*, const FrameInfo& info) override { shownInfo = info; }
    // Works the real frame options dialog and says whether it ends with "OK";
    // unset: the dialog is cancelled.
    std::function<bool(TDelayForm&)> frameOptionsScript;
    int frameOptionsAsked = 0;
    // Work the real generating dialogs and say whether they end with "Add";
    // unset: cancelled.
    std::function<bool(TFormAlpha&)> alphaScript;
    std::function<bool(TFormText&)> textScript;
    bool runForm(QWidget*, QDialog& form) override
    {
        if (auto* options = dynamic_cast<TDelayForm*>(&form)) {
            ++frameOptionsAsked;
            return frameOptionsScript && frameOptionsScript(*options);
        }
        if (auto* alpha = dynamic_cast<TFormAlpha*>(&form))
            return alphaScript && alphaScript(*alpha);
        if (auto* text = dynamic_cast<TFormText*>(&form))
            return textScript && textScript(*text);
        qFatal("a dialog the tests do not answer: %s", form.metaObject()->className());
    }
    // The colour and font dialogs' answers; unset: cancelled.
    std::optional<Color> colour;
    std::optional<TextFont> font;
    bool chooseColor(QWidget*, Color& c) override
    {
        if (colour)
            c = *colour;
        return colour.has_value();
    }
    bool chooseFont(QWidget*, TextFont& f) override
    {
        if (font)
            f = *font;
        return font.has_value();
    }
};

// The window's action of that object name ("ActionNew", "ActionFlip1",
// "ReopenItem2", ...); fails the test when there is none.
inline QAction* act(const TAVIForm& form, const QString& name)
{
    QAction* a = form.action(name);
    if (!a)
        qFatal("no action named %s", qPrintable(name));
    return a;
}

// What a test window starts with: its settings in settingsPath, a 1280 x
// 1024 screen, the dialogs given.
inline StartOptions testStartOptions(const QString& settingsPath, std::shared_ptr<DialogProvider> dialogs,
                                     QString projectArgument = {})
{
    StartOptions o;
    o.store = std::make_shared<QtSettingsStore>(settingsPath);
    o.screen = ScreenSize{1280, 1024};
    o.projectArgument = std::move(projectArgument);
    o.dialogs = std::move(dialogs);
    o.install = installFeatures;
    return o;
}

// A shown main window on a 1280 x 1024 screen with its settings in
// settingsPath, past the first-run New (cancelled: dialogs must not have
// options yet) and then New with canvas.
inline std::unique_ptr<TAVIForm> newProjectWindow(const QString& settingsPath,
                                                  std::shared_ptr<FakeDialogs> dialogs,
                                                  const ProjectOptions& canvas)
{
    auto form = std::make_unique<TAVIForm>(testStartOptions(settingsPath, dialogs));
    form->show();
    QCoreApplication::processEvents();  // the first-run New, cancelled
    dialogs->options = canvas;
    act(*form, "ActionNew")->trigger();
    return form;
}

// A w x h PNG of one colour.
inline QString writePng(const QString& path, int w, int h, Color c)
{
    Picture p(w, h);
    p.fill(c);
    writeFile(path.toStdString(), encodePngPicture(p));
    return path;
}

inline QString writeBmp(const QString& path, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(Qt::blue);
    image.save(path, "BMP");
    return path;
}

// A GIF of a 100 x 100 screen with frames sub-images of 4 x 4, written byte by
// byte; the image data restarts the code table before every pixel, so every
// code is 3 bits wide.
inline QString writeGif(const QString& path, int frames)
{
    std::vector<std::uint8_t> b = {'G',  'I', 'F', '8', '9', 'a', 100, 0,   100, 0,
                                   0x80, 0,   0,   0,   0,   0,   255, 255, 255};
    for (int f = 0; f < frames; ++f) {
        b.insert(b.end(), {0x21, 0xF9, 4, 0, 10, 0, 0, 0});
        b.insert(b.end(), {0x2C, std::uint8_t(f * 4), 0, 0, 0, 4, 0, 4, 0, 0});
        std::vector<int> codes;
        for (int i = 0; i < 16; ++i) codes.insert(codes.end(), {4, i % 2});
        codes.push_back(5);
        std::vector<std::uint8_t> data;
        unsigned acc = 0, bits = 0;
        for (int c : codes) {
            acc |= unsigned(c) << bits;
            for (bits += 3; bits >= 8; bits -= 8, acc >>= 8) data.push_back(std::uint8_t(acc & 0xFF));
        }
        if (bits)
            data.push_back(std::uint8_t(acc));
        b.push_back(2);
        b.push_back(std::uint8_t(data.size()));
        b.insert(b.end(), data.begin(), data.end());
        b.push_back(0);
    }
    b.push_back(0x3B);
    writeFile(path.toStdString(), b);
    return path;
}

inline void sendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, modifiers);
    QApplication::sendEvent(w, &event);
}

}  // namespace pelko::test
