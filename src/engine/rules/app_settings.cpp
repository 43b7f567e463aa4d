#include "engine/rules/app_settings.h"

#include <limits>

namespace pelko {

std::string recentFileValue(int position)
{
    return "File" + std::to_string(position);
}

namespace {

std::int32_t readOr(const SettingsStore& store, const char* name, std::int32_t fallback)
{
    return store.readInt(name).value_or(fallback);
}

// A window side as large as the screen's is brought 100 pixels inside it.
int windowSide(std::int32_t stored, int screenSide)
{
    return stored >= screenSide ? screenSide - 100 : stored;
}

// A default frame side as large as the screen's, or one that is no size at
// all, falls back to 100.
std::int32_t frameSide(std::int32_t stored, int screenSide)
{
    return (stored >= screenSide || stored < 1) ? 100 : stored;
}

// A memory budget stored in megabytes; one outside 1..kMaxFrameCacheMB, or
// none, gives fallback.
std::size_t megabytesOr(const SettingsStore& store, const char* name, std::size_t fallback)
{
    const std::int32_t mb = readOr(store, name, 0);
    return mb >= 1 && mb <= kMaxFrameCacheMB ? std::size_t(mb) << 20 : fallback;
}

}  // namespace

AppSettings readAppSettings(const SettingsStore& store, ScreenSize screen)
{
    AppSettings s;
    if (!store.canOpen())
        return s;
    s.opened = true;
    s.start = readOr(store, kStartValue, 0);
    if (s.start < 0)
        s.start = 0;
    s.windowWidth = windowSide(readOr(store, kWidthValue, 680), screen.width);
    s.windowHeight = windowSide(readOr(store, kHeightValue, 400), screen.height);
    s.frameSize.width = frameSide(readOr(store, kFrameWidthValue, 100), screen.width);
    s.frameSize.height = frameSide(readOr(store, kFrameHeightValue, 100), screen.height);
    for (int i = 0; i < int(s.files.size()); ++i)
        s.files[std::size_t(i)] = store.readText(recentFileValue(i + 1)).value_or(std::string());
    s.frameCacheBytes = megabytesOr(store, kFrameCacheValue, s.frameCacheBytes);
    s.undoHistoryBytes = megabytesOr(store, kUndoHistoryValue, s.undoHistoryBytes);
    return s;
}

bool startsMaximized(int windowWidth, int windowHeight, ScreenSize screen)
{
    return windowWidth >= screen.width - 40 || windowHeight >= screen.height - 40;
}

bool runsNewAtStart(std::int32_t start, bool projectArgument)
{
    return !projectArgument && start < 1;
}

SettingsWrite writeAppSettings(SettingsStore& store, const ClosingState& state)
{
    if (!state.projectSetUp || !store.canWrite())
        return SettingsWrite::Skipped;
    // The count stops at its largest value instead of wrapping to a negative
    // number, which would read back as a first run.
    const std::int32_t start =
        state.start < std::numeric_limits<std::int32_t>::max() ? state.start + 1 : state.start;
    store.writeInt(kStartValue, start);
    if (!state.maximizedOrMinimized) {
        store.writeInt(kWidthValue, state.windowWidth);
        store.writeInt(kHeightValue, state.windowHeight);
    }
    for (int i = 0; i < int(state.files.size()); ++i)
        store.writeText(recentFileValue(i + 1), state.files[std::size_t(i)]);
    return store.flush() ? SettingsWrite::Written : SettingsWrite::Failed;
}

}  // namespace pelko
