#pragma once
// The values Pelko keeps between runs in the desktop's settings store, and the
// rules for reading them at start and writing them when the main window closes.
// The store itself is an interface: the program uses a Qt implementation,
// tests an in-memory one.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/history/undo_history.h"
#include "engine/project/frame_cache.h"
#include "engine/project/project_settings.h"
#include "engine/rules/recent_projects.h"

namespace pelko {

// Value names in the store.
inline constexpr const char* kStartValue = "Start";
inline constexpr const char* kWidthValue = "Width";
inline constexpr const char* kHeightValue = "Height";
inline constexpr const char* kFrameWidthValue = "Frame width";
inline constexpr const char* kFrameHeightValue = "Frame height";
// The frame cache's memory budget in megabytes (frame_cache.h); read only, so
// a user who wants another budget writes it into the store by hand.
inline constexpr const char* kFrameCacheValue = "Frame cache MB";
inline constexpr std::int32_t kMaxFrameCacheMB = 1 << 20;
// The undo history's memory budget in megabytes (undo_history.h), read as the
// frame cache's is, within the same bounds.
inline constexpr const char* kUndoHistoryValue = "Undo history MB";
// "File1".."File5" for position 1..5.
std::string recentFileValue(int position);

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The store exists and can be read. A store that was never written cannot
    // be opened: nothing is read from it and the built-in defaults apply.
    virtual bool canOpen() const = 0;
    // The store can be written (it is created by the first write).
    virtual bool canWrite() const = 0;

    // A missing value, or one that is not a number, gives nothing.
    virtual std::optional<std::int32_t> readInt(const std::string& name) const = 0;
    virtual std::optional<std::string> readText(const std::string& name) const = 0;
    virtual void writeInt(const std::string& name, std::int32_t value) = 0;
    virtual void writeText(const std::string& name, const std::string& value) = 0;
    // Makes the writes durable; false when they could not be stored.
    virtual bool flush() = 0;
};

struct ScreenSize {
    int width = 0;
    int height = 0;
};

// The main window's size before the store is read, and its smallest size.
inline constexpr int kInitialWindowWidth = 650;
inline constexpr int kInitialWindowHeight = 456;
inline constexpr int kMinimumWindowWidth = 600;
inline constexpr int kMinimumWindowHeight = 250;

struct AppSettings {
    bool opened = false;     // the store could be read
    std::int32_t start = 0;  // runs that ended with a project open
    int windowWidth = kInitialWindowWidth;
    int windowHeight = kInitialWindowHeight;
    DefaultFrameSize frameSize;
    std::array<std::string, RecentProjects::kCapacity> files;
    std::size_t frameCacheBytes = kDefaultFrameCacheBytes;
    std::size_t undoHistoryBytes = UndoHistory::kDefaultBudget;
};

// Reads every value with its default and applies the screen-size rules. A
// frame cache or undo history budget below 1 MB or above kMaxFrameCacheMB
// gives its default.
AppSettings readAppSettings(const SettingsStore& store, ScreenSize screen);

// The window starts maximised when it is nearly as large as the screen.
bool startsMaximized(int windowWidth, int windowHeight, ScreenSize screen);

// At start, with no project named on the command line, the New command comes
// up by itself until a run has ended with a project open.
bool runsNewAtStart(std::int32_t start, bool projectArgument);

// What the window knows when it closes.
struct ClosingState {
    bool projectSetUp = false;  // a project was created or opened in this run
    std::int32_t start = 0;     // the start count read at start
    bool maximizedOrMinimized = false;
    int windowWidth = 0;
    int windowHeight = 0;
    std::array<std::string, RecentProjects::kCapacity> files;
};

enum class SettingsWrite { Skipped, Written, Failed };

// Writes the values kept at close: nothing unless a project was set up in
// this run and the store can be written; the window size only when the window
// is neither maximised nor minimised; all five recent entries always.
SettingsWrite writeAppSettings(SettingsStore& store, const ClosingState& state);

}  // namespace pelko
