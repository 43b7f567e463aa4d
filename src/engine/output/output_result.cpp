#include "engine/output/output_result.h"

namespace pelko {
namespace {

// The window shows the fixed text with the reason on a line of its own; the
// terminal shows the reason, or the fixed text after the file's name when
// there is none.
void add(OutputResult& result, const std::string& text, const std::string& path, const std::string& reason)
{
    result.ok = false;
    result.messages.push_back(text.empty() ? reason : reason.empty() ? text : text + "\n" + reason);
    result.failure = reason.empty() ? path + ": " + text : reason;
}

}  // namespace

void addFailure(OutputResult& result, OutputFailure failure, const std::string& path,
                const std::string& reason)
{
    switch (failure) {
        case OutputFailure::NameTaken:
            return add(result, "Select another name for saving file.", path, reason);
        case OutputFailure::CannotCreate:
            return add(result, "It is impossible to create file " + path, path, reason);
        case OutputFailure::NoBitmap:
            return add(result, "It is impossible to get the Bitmap.", path, reason);
        case OutputFailure::GifMemory:
            return add(result, "", path, path + ": not enough memory to build the animated GIF");
        case OutputFailure::FrameMemory:
            return add(result, "", path, path + ": not enough memory to save the frame");
        case OutputFailure::OverBudget: {
            const BudgetReport b = result.budget.value_or(BudgetReport{});
            std::string text = path + ": does not fit in " + decimalSizeText(b.maxBytes) +
                               ": the smallest file reached is " + decimalSizeText(std::int64_t(b.bytes));
            if (!b.setting.empty())
                text += " (" + b.setting + ")";
            return add(result, "", path, text + "; nothing written");
        }
        case OutputFailure::Stated:
            break;
    }
    add(result, "", path, reason);
}

void addFailure(OutputResult& result, AviResult code, const std::string& path, const std::string& reason)
{
    add(result, AviResultText(code), path, reason);
}

void markCancelled(OutputResult& result, const std::string& path)
{
    result.ok = false;
    result.cancelled = true;
    result.failure = path + ": cancelled";
}

}  // namespace pelko
