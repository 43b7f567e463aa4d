// The Generate command: the output file dialog, the options dialog of the
// kind the file's extension chooses, and the AVI or the animated GIF written
// on a worker thread behind a progress dialog that counts frames.

#include "gui/output/generate_command.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QScrollArea>
#include <QStatusBar>

#include "engine/avi/wav.h"
#include "engine/base/output_file.h"
#include "engine/output/generate_avi.h"
#include "engine/output/generate_gif.h"
#include "engine/output/output_target.h"
#include "engine/output/write_animated_gif.h"
#include "gui/app/main_window.h"
#include "gui/app/preview_canvas.h"
#include "gui/output/ani_gif_form.h"
#include "gui/output/animation_output.h"
#include "gui/output/avi_options_form.h"
#include "gui/output/codec_window.h"

namespace pelko {
namespace {

QString fromStd(const std::string& s)
{
    return QString::fromStdString(s);
}

// The share of the engine's progress that its frames take (where it does
// not count them itself): the AVI, the GIF stream, and the first pass of a
// stream with whole-animation steps.
constexpr int kAviFramesShare = 95;
constexpr int kGifStreamShare = 99;
constexpr int kGifFirstPassShare = 70;

// The generation of one output, with the window as its context.
class Generation {
public:
    Generation(TAVIForm& w, GenerateFeature& feature)
        : w(w), project_(w.project()), rail_(w.rail()), generate_(feature.state), feature_(feature)
    {
    }
    void run();

private:
    bool aviFile(const QString& path);
    bool gifFile(const QString& path);
    void writeAvi(const QString& path);
    void writeGif(const QString& path, const AnimatedGifOptions& options,
                  std::shared_ptr<const BuiltGif> built);
    std::shared_ptr<const BuiltGif> buildGif(QWidget* parent, const AnimatedGifOptions& options);
    // budget: how the file was fitted under a size budget, when it was.
    void announceWritten(const QString& path, const QString& budget = {});
    void showErrors(const std::vector<std::string>& errors) { rail_.showErrors(errors); }

    TAVIForm& w;
    Project& project_;
    CommandRail& rail_;
    GenerateState& generate_;
    GenerateFeature& feature_;
};

}  // namespace

void Generation::run()
{
    if (project_.frames.empty())
        return;
    OutputState& out = generate_.output;
    ShowFlags flags = w.showFlags();
    out.ShowAviOptions = flags.avi;
    out.ShowGifOptions = flags.animatedGif;
    const bool saveWasEnabled = project_.changed;
    // the dialog starts beside the project, once it has a file
    const QString folder =
        project_.path.empty() ? QString() : QFileInfo(fromStd(project_.path)).absolutePath();
    const QString path =
        generate_.dialogs->outputFile(&w, feature_.filterIndex, feature_.defaultExtension, folder);
    w.repaint();
    if (path.isEmpty())
        return;
    out.OutputName = QFileInfo(path).fileName().toStdString();
    bool ran = true;  // false: an options dialog was cancelled
    switch (outputKindOf(path.toStdString())) {
        case OutputKind::Avi:
            ran = aviFile(path);
            break;
        case OutputKind::Gif:
            ran = gifFile(path);
            break;
        case OutputKind::WebP:
        case OutputKind::Apng:
        case OutputKind::Mp4:
        case OutputKind::WebM: {
            const AnimationWritten written =
                writeAnimationOutput(w, generate_, path, outputKindOf(path.toStdString(), true));
            ran = written.asked;
            if (written.ok)
                announceWritten(path, written.budget);
            break;
        }
        case OutputKind::None:
            break;  // nothing is written
    }
    flags.avi = out.ShowAviOptions;
    flags.animatedGif = out.ShowGifOptions;
    w.setShowFlags(flags);
    if (ran)
        project_.changed = saveWasEnabled || out.OptionsChanged;
    out.OptionsChanged = false;
    w.showFrameStatus();  // the AVI frame time may have changed
    w.repaint();
    w.previewCanvas()->update();
}

bool Generation::aviFile(const QString& path)
{
    OutputState& out = generate_.output;
    if (out.ShowAviOptions) {
        out.OptionsChanged = false;
        TAviOptionsForm form(
            fromStd(out.OutputName), aviOptionsForDialog(project_.settings, out), WavDurationMs,
            [this](const QString& caption, const QString& text) {
                generate_.dialogs->message(&w, caption, text);
            },
            &w);
        if (!generate_.dialogs->aviOptions(form))
            return false;
        confirmAviOptions(form.values(), project_.settings, out);
    }
    w.repaint();
    writeAvi(path);
    // AVI settings changed from a GIF project are no change of the project
    if (project_.settings.isGif())
        out.OptionsChanged = false;
    return true;
}

void Generation::writeAvi(const QString& path)
{
    const std::string file = path.toStdString();
    QString lastFailure;
    for (;;) {
        AviGenerateOptions options;
        options.showCodecWindow = false;  // the window comes first, here
        if (generate_.output.ShowCodecWindow) {
            CodecWindow window(availableVideoCodecs(), generate_.codec, &w);
            if (!generate_.dialogs->codecWindow(window)) {
                rail_.showError(fromStd(AviResultText(AVIERR_USERABORT)));
                return;
            }
            generate_.codec = window.choice();
            options.compress = generate_.codec;
        }
        const OutputResult result =
            rail_.work({w.frameStrip(), "Generate AVI", true, project_.frames.count(), kAviFramesShare},
                       [&](ProgressSink& sink) { return generateAviFile(project_, file, options, sink); });
        if (!result.soundDropped.empty())
            project_.log.add(generate_.output.OutputName + ": written without sound (" + result.soundDropped +
                             ")");
        if (!result.canRetry) {
            showErrors(result.messages);
            if (result.ok)
                announceWritten(path);
            return;
        }
        // A codec or write failure: the AVI is made again from the start.
        // Without the codec window the same failure would come back again
        // and again; the second time the user decides.
        QStringList texts;
        for (const std::string& m : result.messages) texts << fromStd(m);
        const QString failure = texts.join("\n\n");
        if (!generate_.output.ShowCodecWindow && failure == lastFailure) {
            if (!generate_.dialogs->askTryAgain(&w, failure))
                return;
        } else {
            showErrors(result.messages);
        }
        lastFailure = failure;
    }
}

bool Generation::gifFile(const QString& path)
{
    OutputState& out = generate_.output;
    out.OptionsChanged = false;
    AnimatedGifOptions options;
    std::shared_ptr<const BuiltGif> built;  // the preview's animation, when it is the one to write
    if (out.ShowGifOptions) {
        TAniGIFForm form(
            fromStd(out.OutputName), gifOptionsForDialog(project_.settings, out), project_.settings.Width,
            project_.settings.Height,
            [this](QWidget* parent, const AnimatedGifOptions& o) { return buildGif(parent, o); }, &w);
        if (!generate_.dialogs->gifOptions(form))
            return false;
        confirmGifOptions(form.values(), project_.settings, out);
        options = gifBuildOptionsOf(form.values());
        // reused only when every option that shapes the bytes is the same
        if (form.previewOptions() && *form.previewOptions() == options)
            built = form.previewBuild();
    } else {
        options = gifOptionsOf(project_.settings, out.GifLoops);
    }
    writeGif(path, options, std::move(built));
    // GIF settings changed from an AVI project are no change of the project
    if (!project_.settings.isGif())
        out.OptionsChanged = false;
    return true;
}

std::shared_ptr<const BuiltGif> Generation::buildGif(QWidget* parent, const AnimatedGifOptions& options)
{
    const bool wholeAnimation = options.mergeColorMaps || options.crop || options.mergeSimilarities;
    auto built = std::make_shared<BuiltGif>();
    // The preview runs inside its dialog: an error ends here, not in the
    // dialog's event loop.
    try {
        std::optional<std::vector<std::uint8_t>> bytes =
            rail_.work({nullptr, "Animated GIF", true, project_.frames.count(),
                        wholeAnimation ? kGifFirstPassShare : kGifStreamShare, parent},
                       [&](ProgressSink& sink) { return buildAnimatedGifBytes(project_, options, sink); });
        if (!bytes)
            return nullptr;  // cancelled
        built->bytes = std::move(*bytes);
        built->image = std::make_shared<TGIFImage>();
        built->image->LoadFromBytes(built->bytes.data(), built->bytes.size());
    } catch (const std::bad_alloc&) {
        rail_.showError("Not enough memory to build the animated GIF.");
        return nullptr;
    } catch (const std::exception& e) {
        rail_.showError(QString::fromUtf8(e.what()));
        return nullptr;
    }
    generate_.generatedGif = built->image;
    return built;
}

// The preview's bytes are saved as they are; otherwise the GIF is written
// as a stream, holding only the frames being worked on.
void Generation::writeGif(const QString& path, const AnimatedGifOptions& options,
                          std::shared_ptr<const BuiltGif> built)
{
    const std::string file = path.toStdString();
    const bool wholeAnimation = options.mergeColorMaps || options.crop || options.mergeSimilarities;
    const int share = built ? 100 : wholeAnimation ? kGifFirstPassShare : kGifStreamShare;
    const OutputResult result = rail_.work(
        {w.frameStrip(), "Generate animated GIF", true, project_.frames.count(), share},
        [&](ProgressSink& sink) {
            return built ? saveGifFile(built->bytes, file) : generateGifFile(project_, options, file, sink);
        });
    showErrors(result.messages);
    if (!result.ok)
        return;  // cancelled, or nothing written
    if (built)
        generate_.generatedGif = built->image;
    announceWritten(path);
}

void Generation::announceWritten(const QString& path, const QString& budget)
{
    const QFileInfo written(path);
    QString text = "Generated " +
                   fromStd(writtenFileText(written.fileName().toStdString(), std::uintmax_t(written.size())));
    if (!budget.isEmpty())
        text += " · " + budget;
    generate_.writtenPanel->setText(text);
    generate_.writtenPanel->setToolTip(written.absoluteFilePath());
    generate_.writtenJustNow = true;
}

GenerateFeature& generateFeature(TAVIForm& window)
{
    return *window.feature<GenerateFeature>();
}

GenerateState& generateState(TAVIForm& window)
{
    return generateFeature(window).state;
}

QString writtenText(TAVIForm& window)
{
    return generateState(window).writtenPanel->text();
}

void installGenerateCommands(TAVIForm& window)
{
    auto* feature = new GenerateFeature(&window);
    QAction* generate = window.commands().add(
        {.id = "ActionGenerate",
         .caption = "Generate",
         .hint = "Create & Save",
         .keys = keys("Ctrl+G"),
         .icon = IconKind::Generate,
         .iconText = "Create && Save",
         .enabled = enabled::listNotEmpty,
         .execute = [feature](TAVIForm& w, bool) { w.rail().run([&] { Generation(w, *feature).run(); }); }});
    QLabel* written = feature->state.writtenPanel = new QLabel;
    written->setObjectName("writtenPanel");
    // the panels keep their room; this one takes what is left
    written->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    window.statusBar()->addPermanentWidget(written, 1);
    QObject::connect(&window, &TAVIForm::enablingApplied, feature, [&window, feature] {
        GenerateState& s = feature->state;
        const unsigned changes = window.history().changes();
        if (s.writtenJustNow) {
            s.writtenJustNow = false;
            s.writtenAt = changes;
        } else if (changes != s.writtenAt) {
            s.writtenPanel->clear();
            s.writtenPanel->setToolTip({});
        }
    });
    QObject::connect(&window, &TAVIForm::typeShown, feature, [&window, feature, generate] {
        const bool gif = window.project().settings.isGif();
        const QString caption = gif ? "Generate animated GIF" : "Generate AVI";
        generate->setIconText(caption);
        generate->setToolTip(caption);
        feature->filterIndex = gif ? 2 : 1;
        feature->defaultExtension = gif ? "gif" : "avi";
    });
}

}  // namespace pelko
