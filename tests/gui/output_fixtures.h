#pragma once
// The Generate command's dialogs answered by a test: the output file, and
// scripts that work the real options forms and codec window.

#include <QStringList>
#include <functional>

#include "gui/output/ani_gif_form.h"
#include "gui/output/animation_options_form.h"
#include "gui/output/avi_options_form.h"
#include "gui/output/codec_window.h"
#include "gui/output/output_dialogs.h"

namespace pelko::test {

struct FakeOutputDialogs : OutputDialogs {
    QString file;  // what the output file dialog gives; empty: cancelled
    int filesAsked = 0;
    int filterIndex = 0;
    QString defaultSuffix;
    QString folder;
    // Each works its form and says whether it ends with "Save" ("OK");
    // unset: Save (OK) untouched.
    std::function<bool(TAviOptionsForm&)> aviScript;
    std::function<bool(TAniGIFForm&)> gifScript;
    std::function<bool(CodecWindow&)> codecScript;
    std::function<bool(TAnimationOptionsForm&)> animationScript;
    int animationAsked = 0;
    int aviAsked = 0;
    int gifAsked = 0;
    int codecAsked = 0;
    // Answers to "Try again?", in turn; No once they run out.
    QList<bool> tryAgain;
    QStringList tryAgainAsked;
    QStringList messages;  // "caption: text"

    QString outputFile(QWidget*, int index, const QString& suffix, const QString& start) override
    {
        ++filesAsked;
        folder = start;
        filterIndex = index;
        defaultSuffix = suffix;
        return file;
    }
    bool aviOptions(TAviOptionsForm& form) override
    {
        ++aviAsked;
        return !aviScript || aviScript(form);
    }
    bool gifOptions(TAniGIFForm& form) override
    {
        ++gifAsked;
        return !gifScript || gifScript(form);
    }
    bool animationOptions(TAnimationOptionsForm& form) override
    {
        ++animationAsked;
        return !animationScript || animationScript(form);
    }
    bool codecWindow(CodecWindow& window) override
    {
        ++codecAsked;
        return !codecScript || codecScript(window);
    }
    bool askTryAgain(QWidget*, const QString& failure) override
    {
        tryAgainAsked << failure;
        return !tryAgain.isEmpty() && tryAgain.takeFirst();
    }
    void message(QWidget*, const QString& caption, const QString& text) override
    {
        messages << caption + ": " + text;
    }
};

}  // namespace pelko::test
