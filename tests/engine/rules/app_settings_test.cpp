#include <gtest/gtest.h>

#include <map>

#include "engine/rules/app_settings.h"

using namespace pelko;

namespace {

// In-memory store; `exists` says whether the store can be opened.
class MemoryStore : public SettingsStore {
public:
    bool exists = true;
    bool writable = true;
    std::map<std::string, std::string> values;

    bool canOpen() const override { return exists; }
    bool canWrite() const override { return writable; }
    std::optional<std::int32_t> readInt(const std::string& name) const override
    {
        auto it = values.find(name);
        if (it == values.end())
            return std::nullopt;
        try {
            std::size_t used = 0;
            int v = std::stoi(it->second, &used);
            return used == it->second.size() ? std::optional<std::int32_t>(v) : std::nullopt;
        } catch (...) {
            return std::nullopt;
        }
    }
    std::optional<std::string> readText(const std::string& name) const override
    {
        auto it = values.find(name);
        return it == values.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
    void writeInt(const std::string& name, std::int32_t v) override { values[name] = std::to_string(v); }
    void writeText(const std::string& name, const std::string& v) override { values[name] = v; }
    bool flush() override
    {
        exists = true;
        return true;
    }
};

constexpr ScreenSize kScreen{1024, 768};

}  // namespace

TEST(AppSettings, StoreThatCannotBeOpenedGivesInitialWindowAndDefaults)
{
    MemoryStore store;
    store.exists = false;
    store.values = {{"Width", "900"}, {"Start", "4"}, {"File1", "/p/a.mcp"}};
    AppSettings s = readAppSettings(store, kScreen);
    EXPECT_FALSE(s.opened);
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.windowWidth, 650);
    EXPECT_EQ(s.windowHeight, 456);
    EXPECT_EQ(s.frameSize.width, 100);
    EXPECT_EQ(s.frameSize.height, 100);
    EXPECT_EQ(s.files[0], "");
}

TEST(AppSettings, EmptyStoreGivesValueDefaults)
{
    MemoryStore store;
    AppSettings s = readAppSettings(store, kScreen);
    EXPECT_TRUE(s.opened);
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.windowWidth, 680);
    EXPECT_EQ(s.windowHeight, 400);
    EXPECT_EQ(s.frameSize.width, 100);
    EXPECT_EQ(s.frameSize.height, 100);
}

TEST(AppSettings, ScreenSizeRules)
{
    struct Case {
        const char* width;
        const char* height;
        const char* frameWidth;
        const char* frameHeight;
        int windowWidth, windowHeight, frameW, frameH;
    } cases[] = {
        {"800", "600", "320", "240", 800, 600, 320, 240},      // all within the screen
        {"1024", "768", "1024", "768", 924, 668, 100, 100},    // equal to the screen
        {"5000", "4000", "5000", "4000", 924, 668, 100, 100},  // larger
        {"1023", "767", "1023", "767", 1023, 767, 1023, 767},  // one pixel less
        {"abc", "", "0", "-5", 680, 400, 100, 100},            // not numbers, no size
    };
    for (const Case& c : cases) {
        MemoryStore store;
        store.values = {{"Width", c.width},
                        {"Height", c.height},
                        {"Frame width", c.frameWidth},
                        {"Frame height", c.frameHeight}};
        AppSettings s = readAppSettings(store, kScreen);
        SCOPED_TRACE(std::string(c.width) + " x " + c.height);
        EXPECT_EQ(s.windowWidth, c.windowWidth);
        EXPECT_EQ(s.windowHeight, c.windowHeight);
        EXPECT_EQ(s.frameSize.width, c.frameW);
        EXPECT_EQ(s.frameSize.height, c.frameH);
    }
}

TEST(AppSettings, StartCountAndRecentFiles)
{
    MemoryStore store;
    store.values = {{"Start", "-3"}, {"File1", "/p/a.mcp"}, {"File2", "/p/b.mcp"}};
    AppSettings s = readAppSettings(store, kScreen);
    EXPECT_EQ(s.start, 0);
    EXPECT_EQ(s.files[0], "/p/a.mcp");
    EXPECT_EQ(s.files[1], "/p/b.mcp");
    EXPECT_EQ(s.files[2], "");

    EXPECT_TRUE(runsNewAtStart(0, false));
    EXPECT_FALSE(runsNewAtStart(0, true));
    EXPECT_FALSE(runsNewAtStart(1, false));
}

TEST(AppSettings, MaximisedRule)
{
    EXPECT_FALSE(startsMaximized(983, 727, kScreen));
    EXPECT_TRUE(startsMaximized(984, 400, kScreen));
    EXPECT_TRUE(startsMaximized(680, 728, kScreen));
    EXPECT_TRUE(startsMaximized(650, 456, ScreenSize{640, 480}));
}

TEST(AppSettings, NothingWrittenWithoutAProjectOrWithoutAWritableStore)
{
    ClosingState state;
    state.windowWidth = 700;
    state.windowHeight = 500;
    MemoryStore store;
    store.exists = false;
    EXPECT_EQ(writeAppSettings(store, state), SettingsWrite::Skipped);
    EXPECT_TRUE(store.values.empty());

    state.projectSetUp = true;
    store.writable = false;
    EXPECT_EQ(writeAppSettings(store, state), SettingsWrite::Skipped);
    EXPECT_TRUE(store.values.empty());
}

TEST(AppSettings, WrittenValuesReadBack)
{
    ClosingState state;
    state.projectSetUp = true;
    state.start = 2;
    state.windowWidth = 700;
    state.windowHeight = 500;
    state.files = {"/p/a.mcp", "/p/b.mcp", "", "", ""};
    MemoryStore store;
    store.exists = false;
    ASSERT_EQ(writeAppSettings(store, state), SettingsWrite::Written);
    EXPECT_EQ(store.values.count("File5"), 1u);  // all five, empty ones too

    AppSettings s = readAppSettings(store, kScreen);
    EXPECT_TRUE(s.opened);
    EXPECT_EQ(s.start, 3);
    EXPECT_EQ(s.windowWidth, 700);
    EXPECT_EQ(s.windowHeight, 500);
    EXPECT_EQ(s.files, state.files);
}

TEST(AppSettings, MaximisedWindowKeepsStoredSizeAndCountDoesNotWrap)
{
    MemoryStore store;
    store.values = {{"Width", "720"}, {"Height", "480"}};
    ClosingState state;
    state.projectSetUp = true;
    state.start = std::numeric_limits<std::int32_t>::max();
    state.maximizedOrMinimized = true;
    state.windowWidth = 1024;
    state.windowHeight = 768;
    ASSERT_EQ(writeAppSettings(store, state), SettingsWrite::Written);
    EXPECT_EQ(store.values["Width"], "720");
    EXPECT_EQ(store.values["Height"], "480");
    EXPECT_EQ(store.values["Start"], std::to_string(std::numeric_limits<std::int32_t>::max()));
}

TEST(AppSettings, MemoryBudgetsInMegabytes)
{
    const struct {
        const char* stored;  // nullptr: no such value
        std::size_t bytes;   // 0: the budget's default
    } cases[] = {{nullptr, 0},
                 {"64", std::size_t(64) << 20},
                 {"1048576", std::size_t(1) << 40},
                 {"0", 0},
                 {"-5", 0},
                 {"1048577", 0},
                 {"lots", 0}};
    for (const auto& c : cases) {
        MemoryStore store;
        if (c.stored) {
            store.values[kFrameCacheValue] = c.stored;
            store.values[kUndoHistoryValue] = c.stored;
        }
        const AppSettings s = readAppSettings(store, kScreen);
        EXPECT_EQ(s.frameCacheBytes, c.bytes ? c.bytes : kDefaultFrameCacheBytes)
            << (c.stored ? c.stored : "none");
        EXPECT_EQ(s.undoHistoryBytes, c.bytes ? c.bytes : UndoHistory::kDefaultBudget)
            << (c.stored ? c.stored : "none");
    }
}
