#include "engine/project/project_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <type_traits>

#include "engine/gif/color_modes.h"
#include "engine/gif/gif_types.h"
#include "engine/project/ini_file.h"
#include "engine/project/project_options.h"
#include "engine/project/source_loader.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;

const char* const kMain = "Main";
const char* const kParameters = "Parameters";
const char* const kFiles = "Files";

std::string key(const char* name, int n)
{
    return name + std::to_string(n);
}

bool fileExists(const std::string& path)
{
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(path, ec);
}

// A number of the table below: a constant or one of the project's values
// (which the frame keys are read against once the project's are known).
struct Amount {
    enum From { Constant, CanvasWidth, CanvasHeight, GifFrameTime } from = Constant;
    std::int64_t value = 0;

    std::int64_t of(const ProjectSettings& s) const
    {
        switch (from) {
            case CanvasWidth:
                return s.Width;
            case CanvasHeight:
                return s.Height;
            case GifFrameTime:
                return s.GifFrameTime;
            case Constant:
                break;
        }
        return value;
    }
};

constexpr Amount number(std::int64_t v)
{
    return {Amount::Constant, v};
}
constexpr Amount kCanvasWidth{Amount::CanvasWidth};
constexpr Amount kCanvasHeight{Amount::CanvasHeight};
constexpr Amount kGifFrameTime{Amount::GifFrameTime};

// What reading does with a value outside the key's range.
enum class Check {
    None,     // every value is taken (flags: any value other than 0 is true)
    Clamp,    // the nearer end of the range
    Ordinal,  // an enumeration's ordinal: the key's default
};

// The field of a frame that a key stores, as a number.
struct Member {
    std::int64_t (*get)(const FrameRecord&);
    void (*set)(FrameRecord&, std::int64_t);
};

template <typename T>
std::int64_t stored(T v)
{
    if constexpr (std::is_same_v<T, Color>)
        return std::int32_t(v);  // a colour is written as a signed 32-bit number
    else
        return std::int64_t(v);
}

template <auto M>
constexpr Member frameField()
{
    return {
        [](const FrameRecord& f) { return stored(f.*M); },
        [](FrameRecord& f, std::int64_t v) { f.*M = static_cast<std::remove_cvref_t<decltype(f.*M)>>(v); }};
}

template <auto M>
constexpr Member gifField()
{
    return {[](const FrameRecord& f) { return stored(f.Gif.*M); },
            [](FrameRecord& f, std::int64_t v) {
                f.Gif.*M = static_cast<std::remove_cvref_t<decltype(f.Gif.*M)>>(v);
            }};
}

// The integer keys of a frame in "Files", in the order they are written;
// each is the name followed by the frame's number. `File_` comes first and is
// text. The ranges hold every value the program's own commands give a frame:
// the frame options dialog, the GIF settings dialog, and what Add takes from
// a GIF (delays up to the longest time a frame holds).
struct FrameKey {
    const char* name;
    bool gifOnly;
    Member member;
    Amount def;
    Check check;
    Amount lo, hi;
};

const FrameKey kFrameKeys[] = {
    {"Time_", true, frameField<&FrameRecord::Time>(), kGifFrameTime, Check::Clamp, number(0), number(65535)},
    {"Flip_", false, frameField<&FrameRecord::Flip>(), number(0), Check::Ordinal, number(FlipNormal),
     number(FlipBoth)},
    {"Inverse_", false, frameField<&FrameRecord::Inverse>(), number(0), Check::None, {}, {}},
    {"Gray_", false, frameField<&FrameRecord::Gray>(), number(0), Check::None, {}, {}},
    {"Frame_", false, frameField<&FrameRecord::Frame>(), number(0), Check::None, {}, {}},
    {"ColorDither_", false, gifField<&GifFrameSettings::ColorDither>(), number(dmNearest), Check::Ordinal,
     number(dmNearest), number(dmBurkes)},
    {"ColorReduction_", false, gifField<&GifFrameSettings::ColorReduction>(), number(rmQuantize),
     Check::Ordinal, number(rmNone), number(rmPalette)},
    {"ReductionBit_", false, gifField<&GifFrameSettings::ReductionBit>(), number(8), Check::Clamp, number(3),
     number(8)},
    {"GIFCompression_", false, gifField<&GifFrameSettings::GIFCompression>(), number(gcLZW), Check::Ordinal,
     number(gcLZW), number(gcRLE)},
    {"GIFTransparent_", false, gifField<&GifFrameSettings::GIFTransparent>(), number(0), Check::None, {}, {}},
    {"DisposalMethod_", false, gifField<&GifFrameSettings::DisposalMethod>(), number(dmNone), Check::Ordinal,
     number(dmNone), number(dmPrevious)},
    {"TransparentColor_",
     false,
     gifField<&GifFrameSettings::TransparentColor>(),
     number(0xFFFFFF),
     Check::None,
     {},
     {}},
    {"TransparentColorIndex_", false, gifField<&GifFrameSettings::TransparentColorIndex>(), number(0),
     Check::Clamp, number(0), number(255)},
    {"Stretch_", false, frameField<&FrameRecord::Stretch>(), number(0), Check::None, {}, {}},
    {"Left_", false, frameField<&FrameRecord::Left>(), number(0), Check::Clamp, number(0), kCanvasWidth},
    {"Top_", false, frameField<&FrameRecord::Top>(), number(0), Check::Clamp, number(0), kCanvasHeight},
    {"Width_", false, frameField<&FrameRecord::Width>(), kCanvasWidth, Check::Clamp, number(0), kCanvasWidth},
    {"Height_", false, frameField<&FrameRecord::Height>(), kCanvasHeight, Check::Clamp, number(0),
     kCanvasHeight},
};

// The canvas and the project's frame times: every value the project options
// dialog and the frame options dialog can store (the latter sets the AVI
// frame time from 0), and a canvas as large as any picture, which the first
// frame of a new project gives it.
constexpr std::int32_t kMinCanvas = 1;
constexpr std::int32_t kMaxCanvas = kMaxPictureSide;
constexpr std::int32_t kMaxProjectTime = kMaxGifFrameTime;
constexpr std::int32_t kMinGifProjectTime = kMinFrameTime;

// The value of key brought into [lo, hi]: out-of-range values take the nearer
// end (or def for an ordinal), with a log line naming the key and both values.
std::int64_t inRange(std::int64_t value, const std::string& name, std::int64_t lo, std::int64_t hi,
                     std::int64_t def, Check check, MessageLog& log)
{
    if (check == Check::None || (value >= lo && value <= hi))
        return value;
    const std::int64_t used = check == Check::Ordinal ? def : std::clamp(value, lo, hi);
    log.add(name + "=" + std::to_string(value) + " is out of range; " + std::to_string(used) + " is used.");
    return used;
}

std::int32_t readParameter(const IniFile& ini, const char* name, std::int32_t def, std::int32_t lo,
                           std::int32_t hi, MessageLog& log)
{
    return std::int32_t(inRange(ini.getInt(kParameters, name, def), name, lo, hi, def, Check::Clamp, log));
}

// The name a frame's file is saved under: relative to the project's folder
// when the file lies in that folder or below it, so the folder can be moved
// or shared as a whole; absolute otherwise.
std::string storedFileName(const std::string& file, const fs::path& folder)
{
    if (file.empty())
        return file;
    std::error_code ec;
    const fs::path full = fs::absolute(file, ec).lexically_normal();
    if (ec)
        return file;
    const fs::path relative = full.lexically_relative(folder);
    if (relative.empty() || relative == "." || *relative.begin() == "..")
        return full.string();
    return relative.string();
}

}  // namespace

void saveProjectFile(Project& project, const std::string& path)
{
    IniFile ini;
    try {
        ini = IniFile::load(path);
    } catch (const std::exception&) {
        throw std::runtime_error("Unable to write to " + path);
    }
    const ProjectSettings& s = project.settings;
    ini.setString(kMain, "Version", kProjectVersion);

    ini.eraseSection(kParameters);
    ini.setInt(kParameters, "Width", s.Width);
    ini.setInt(kParameters, "Height", s.Height);
    ini.setInt(kParameters, "Stretch", s.Stretch);
    ini.setInt(kParameters, "Type", s.Type);
    if (s.Type == ProjectGif) {
        ini.setInt(kParameters, "Crop", s.Crop);
        ini.setInt(kParameters, "Merge", s.Merge);
        ini.setInt(kParameters, "Optimize", s.Optimize);
        ini.setInt(kParameters, "Interlaced", s.Interlaced);
        if (s.Lossy > 0)
            ini.setInt(kParameters, "Lossy", s.Lossy);
        if (s.BestPalette)
            ini.setInt(kParameters, "Palette", 1);
        ini.setInt(kParameters, "Time", s.GifFrameTime);
    } else {
        ini.setInt(kParameters, "Time", s.AviFrameTime);
        ini.setInt(kParameters, "Sound", s.Sound);
        ini.setString(kParameters, "Wav_File", s.Wav_File);
    }

    ini.eraseSection(kFiles);
    std::error_code ec;
    const fs::path folder = fs::absolute(path, ec).parent_path().lexically_normal();
    int n = 0;
    for (const FrameRecord& f : project.frames) {
        ++n;
        ini.setString(kFiles, key("File_", n), storedFileName(f.File, folder));
        for (const FrameKey& k : kFrameKeys)
            if (!k.gifOnly || s.Type == ProjectGif)
                ini.setInt(kFiles, key(k.name, n), k.member.get(f));
    }
    ini.save(path);  // throws "Unable to write to PATH: reason"; the project stays changed
    project.path = path;
    project.changed = false;
}

OpenResult openProjectFile(Project& project, const std::string& path, SourceReader& reader,
                           const DefaultFrameSize& defaults, ProgressSink& progress)
{
    OpenResult result;
    project.clear();
    project.path = path;
    ProjectSettings& s = project.settings;
    s.FixAtFirstFrame = false;  // the canvas size comes from the file
    bool changed = false;

    IniFile ini;
    try {
        ini = IniFile::load(path);
    } catch (const std::exception&) {
        // an unreadable file opens like an empty one: every value takes its default
    }

    MessageLog& log = project.log;
    s.Width = ini.getInt(kParameters, "Width", -1);
    if (s.Width == -1) {
        s.Width = defaults.width;
        log.add("Error reading of frame's width: have been set " + std::to_string(s.Width));
    } else {
        s.Width = std::int32_t(inRange(s.Width, "Width", kMinCanvas, kMaxCanvas, 0, Check::Clamp, log));
    }
    s.Height = ini.getInt(kParameters, "Height", -1);
    if (s.Height == -1) {
        s.Height = defaults.height;
        log.add("Error reading of frame's height: have been set " + std::to_string(s.Height));
    } else {
        s.Height = std::int32_t(inRange(s.Height, "Height", kMinCanvas, kMaxCanvas, 0, Check::Clamp, log));
    }
    s.Stretch = ini.getInt(kParameters, "Stretch", 0) != 0;
    s.Type = ini.getInt(kParameters, "Type", -1);
    if (s.Type != ProjectAvi && s.Type != ProjectGif) {
        s.Type = ProjectAvi;
        log.add("Error reading of file's extension: have been set AVI");
    }
    if (s.Type == ProjectAvi) {
        s.Sound = ini.getInt(kParameters, "Sound", 0) != 0;
        s.AviFrameTime = readParameter(ini, "Time", 1000, 0, kMaxProjectTime, log);
        if (s.Sound) {
            s.Wav_File = ini.getString(kParameters, "Wav_File", "None");
            if (!fileExists(s.Wav_File)) {
                log.add("Not found the following sound file: " + s.Wav_File);
                s.Wav_File.clear();
                s.Sound = false;
            }
        }
    } else {
        s.GifFrameTime =
            std::uint16_t(readParameter(ini, "Time", 500, kMinGifProjectTime, kMaxProjectTime, log));
        s.Crop = ini.getInt(kParameters, "Crop", 0) != 0;
        s.Merge = ini.getInt(kParameters, "Merge", 0) != 0;
        s.Optimize = ini.getInt(kParameters, "Optimize", 0) != 0;
        s.Interlaced = ini.getInt(kParameters, "Interlaced", 0) != 0;
        s.Lossy = std::clamp(ini.getInt(kParameters, "Lossy", 0), 0, 100);
        s.BestPalette = ini.getInt(kParameters, "Palette", 0) == 1;
    }

    // Opening renders nothing: it looks for every file, reads each GIF once
    // (its compact form stays in the cache) to find the sub-images, and checks
    // every frame's size. The pictures are made when they are shown.
    SourceLoader loader(*project.cache, reader, SourceCommand::Open);
    int entries = 0;  // frames named in the file, for the progress figure
    for (const std::string& k : ini.keys(kFiles))
        entries += k.size() > 5 && (k.compare(0, 5, "File_") == 0 || k.compare(0, 5, "file_") == 0);
    for (int n = 1; ini.hasKey(kFiles, key("File_", n)); ++n) {
        if (progress.cancelled())
            break;
        progress.progress(std::min(100, n * 100 / std::max(1, entries)));
        FrameRecord f;
        f.File = ini.getString(kFiles, key("File_", n), "");
        // A relative name is taken from the project's own folder, so a project
        // can travel together with its pictures.
        if (!f.File.empty() && fs::path(f.File).is_relative())
            f.File = (fs::path(path).parent_path() / f.File).lexically_normal().string();
        if (!fileExists(f.File)) {
            log.add("Not found file: " + f.File);
            changed = true;
            continue;
        }
        for (const FrameKey& k : kFrameKeys) {
            if (k.gifOnly && s.Type != ProjectGif)
                continue;
            const std::int64_t def = k.def.of(s);
            const std::int64_t value = ini.getInt(kFiles, key(k.name, n), std::int32_t(def));
            k.member.set(f, inRange(value, key(k.name, n), k.lo.of(s), k.hi.of(s), def, k.check, log));
        }
        if (s.Type != ProjectGif)
            f.Time = std::uint16_t(s.AviFrameTime);

        const RenderOutcome r = loader.check(f, n, s);
        if (r.status == SourceStatus::EmptyFrame)
            continue;  // an empty sub-image is left out without a word
        if (!r.ok()) {
            log.add(r.logLine);
            changed = true;
            continue;
        }
        project.frames.append(std::move(f));
    }
    result.errors = loader.errors();
    if (!project.frames.empty())
        project.selection.selectOnly(0);
    project.changed = changed;
    return result;
}

}  // namespace pelko
