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

// A number of the tables below: a constant or one of the project's values
// (which the frame keys are read against once the project's are known), or
// the canvas size offered for a new project.
struct Amount {
    enum From { Constant, CanvasWidth, CanvasHeight, GifFrameTime, NewWidth, NewHeight } from = Constant;
    std::int64_t value = 0;

    std::int64_t of(const ProjectSettings& s, const DefaultFrameSize& d) const
    {
        switch (from) {
            case CanvasWidth:
                return s.Width;
            case CanvasHeight:
                return s.Height;
            case GifFrameTime:
                return s.GifFrameTime;
            case NewWidth:
                return d.width;
            case NewHeight:
                return d.height;
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
constexpr Amount kNewWidth{Amount::NewWidth};
constexpr Amount kNewHeight{Amount::NewHeight};

// The projects that store a key.
enum class In { Both, Avi, Gif };

bool storedIn(In in, const ProjectSettings& s)
{
    return in == In::Both || (in == In::Gif) == s.isGif();
}

// What reading does with a value outside the key's range.
enum class Check {
    None,     // every value is taken (flags: any value other than 0 is true)
    Clamp,    // the nearer end of the range
    Ordinal,  // an enumeration's ordinal: the key's default
};

// The field of a frame or of the project's settings that a key stores, as a
// number.
template <class Record>
struct Member {
    std::int64_t (*get)(const Record&);
    void (*set)(Record&, std::int64_t);
};

template <typename T>
std::int64_t stored(T v)
{
    if constexpr (std::is_same_v<T, Color>)
        return std::int32_t(v);  // a colour is written as a signed 32-bit number
    else
        return std::int64_t(v);
}

template <class>
struct MemberOf;
template <class Record, class T>
struct MemberOf<T Record::*> {
    using type = Record;
};

template <auto M>
constexpr Member<typename MemberOf<decltype(M)>::type> field()
{
    using Record = typename MemberOf<decltype(M)>::type;
    return {[](const Record& r) { return stored(r.*M); },
            [](Record& r, std::int64_t v) { r.*M = static_cast<std::remove_cvref_t<decltype(r.*M)>>(v); }};
}

template <auto M>
constexpr Member<FrameRecord> gifField()
{
    return {[](const FrameRecord& f) { return stored(f.Gif.*M); },
            [](FrameRecord& f, std::int64_t v) {
                f.Gif.*M = static_cast<std::remove_cvref_t<decltype(f.Gif.*M)>>(v);
            }};
}

// How a key the project cannot do without is logged when it is missing or
// unreadable (or -1, or an ordinal out of its range): the line, followed by
// the default taken, as `value` shows it.
struct Unread {
    const char* line = nullptr;  // none: the key is read like any other
    std::string (*value)(std::int64_t) = nullptr;
};

// An integer key of the project file that stores a field of Record.
template <class Record>
struct Key {
    const char* name;
    Member<Record> member;
    Amount def;
    Check check;
    Amount lo, hi;
    In in = In::Both;
    bool onlyWhenUsed = false;  // written only when above 0 (the smaller-file mode)
    Unread unread = {};
};

// The integer keys of a frame in "Files", in the order they are written;
// each is the name followed by the frame's number. `File_` comes first and is
// text. The ranges hold every value the program's own commands give a frame:
// the frame options dialog, the GIF settings dialog, and what Add takes from
// a GIF (delays up to the longest time a frame holds).
const Key<FrameRecord> kFrameKeys[] = {
    {"Time_", field<&FrameRecord::Time>(), kGifFrameTime, Check::Clamp, number(0), number(65535), In::Gif},
    {"Flip_", field<&FrameRecord::Flip>(), number(0), Check::Ordinal, number(FlipNormal), number(FlipBoth)},
    {"Inverse_", field<&FrameRecord::Inverse>(), number(0), Check::None, {}, {}},
    {"Gray_", field<&FrameRecord::Gray>(), number(0), Check::None, {}, {}},
    {"Frame_", field<&FrameRecord::Frame>(), number(0), Check::None, {}, {}},
    {"ColorDither_", gifField<&GifFrameSettings::ColorDither>(), number(dmNearest), Check::Ordinal,
     number(dmNearest), number(dmBurkes)},
    {"ColorReduction_", gifField<&GifFrameSettings::ColorReduction>(), number(rmQuantize), Check::Ordinal,
     number(rmNone), number(rmPalette)},
    {"ReductionBit_", gifField<&GifFrameSettings::ReductionBit>(), number(8), Check::Clamp, number(3),
     number(8)},
    {"GIFCompression_", gifField<&GifFrameSettings::GIFCompression>(), number(gcLZW), Check::Ordinal,
     number(gcLZW), number(gcRLE)},
    {"GIFTransparent_", gifField<&GifFrameSettings::GIFTransparent>(), number(0), Check::None, {}, {}},
    {"DisposalMethod_", gifField<&GifFrameSettings::DisposalMethod>(), number(dmNone), Check::Ordinal,
     number(dmNone), number(dmPrevious)},
    {"TransparentColor_",
     gifField<&GifFrameSettings::TransparentColor>(),
     number(0xFFFFFF),
     Check::None,
     {},
     {}},
    {"TransparentColorIndex_", gifField<&GifFrameSettings::TransparentColorIndex>(), number(0), Check::Clamp,
     number(0), number(255)},
    {"Stretch_", field<&FrameRecord::Stretch>(), number(0), Check::None, {}, {}},
    {"Left_", field<&FrameRecord::Left>(), number(0), Check::Clamp, number(0), kCanvasWidth},
    {"Top_", field<&FrameRecord::Top>(), number(0), Check::Clamp, number(0), kCanvasHeight},
    {"Width_", field<&FrameRecord::Width>(), kCanvasWidth, Check::Clamp, number(0), kCanvasWidth},
    {"Height_", field<&FrameRecord::Height>(), kCanvasHeight, Check::Clamp, number(0), kCanvasHeight},
};

// The canvas and the project's frame times: every value the project options
// dialog and the frame options dialog can store (the latter sets the AVI
// frame time from 0), and a canvas as large as any picture, which the first
// frame of a new project gives it.
constexpr std::int32_t kMinCanvas = 1;
constexpr std::int32_t kMaxCanvas = kMaxPictureSide;
constexpr std::int32_t kMaxProjectTime = kMaxGifFrameTime;
constexpr std::int32_t kMinGifProjectTime = kMinFrameTime;

std::string asNumber(std::int64_t v)
{
    return std::to_string(v);
}
std::string asType(std::int64_t v)
{
    return typeText(std::int32_t(v));
}

constexpr Unread kUnreadWidth{"Error reading of frame's width: have been set ", asNumber};
constexpr Unread kUnreadHeight{"Error reading of frame's height: have been set ", asNumber};
constexpr Unread kUnreadType{"Error reading of file's extension: have been set ", asType};

// The integer keys of "Parameters", in the order they are written. The text
// key `Wav_File` follows them in an AVI project. The ranges hold every value
// the program's own commands store.
const Key<ProjectSettings> kParameterKeys[] = {
    {"Width", field<&ProjectSettings::Width>(), kNewWidth, Check::Clamp, number(kMinCanvas),
     number(kMaxCanvas), In::Both, false, kUnreadWidth},
    {"Height", field<&ProjectSettings::Height>(), kNewHeight, Check::Clamp, number(kMinCanvas),
     number(kMaxCanvas), In::Both, false, kUnreadHeight},
    {"Stretch", field<&ProjectSettings::Stretch>(), number(0), Check::None, {}, {}},
    {"Type", field<&ProjectSettings::Type>(), number(ProjectAvi), Check::Ordinal, number(ProjectAvi),
     number(ProjectGif), In::Both, false, kUnreadType},
    {"Crop", field<&ProjectSettings::Crop>(), number(0), Check::None, {}, {}, In::Gif},
    {"Merge", field<&ProjectSettings::Merge>(), number(0), Check::None, {}, {}, In::Gif},
    {"Optimize", field<&ProjectSettings::Optimize>(), number(0), Check::None, {}, {}, In::Gif},
    {"Interlaced", field<&ProjectSettings::Interlaced>(), number(0), Check::None, {}, {}, In::Gif},
    {"Lossy", field<&ProjectSettings::Lossy>(), number(0), Check::Clamp, number(0), number(100), In::Gif,
     true},
    {"Palette", field<&ProjectSettings::BestPalette>(), number(0), Check::Ordinal, number(0), number(1),
     In::Gif, true},
    {"Time", field<&ProjectSettings::GifFrameTime>(), number(500), Check::Clamp, number(kMinGifProjectTime),
     number(kMaxProjectTime), In::Gif},
    {"Time", field<&ProjectSettings::AviFrameTime>(), number(1000), Check::Clamp, number(0),
     number(kMaxProjectTime), In::Avi},
    {"Sound", field<&ProjectSettings::Sound>(), number(0), Check::None, {}, {}, In::Avi},
};

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

// Reads key k (named `name`) into record, against the project's values read
// so far, from get(def): the key's value as an integer, def when it is
// missing or no number. A value out of range is brought into it; a key the
// project cannot do without takes its default with its own line when it is
// not there.
template <class Record, class Get>
void readKey(Get get, const std::string& name, const Key<Record>& k, Record& record, const ProjectSettings& s,
             const DefaultFrameSize& d, MessageLog& log)
{
    const std::int64_t def = k.def.of(s, d), lo = k.lo.of(s, d), hi = k.hi.of(s, d);
    if (k.unread.line) {
        constexpr std::int32_t kUnreadable = -1;
        const std::int32_t value = get(kUnreadable);
        if (value == kUnreadable || (k.check == Check::Ordinal && (value < lo || value > hi))) {
            k.member.set(record, def);
            log.add(k.unread.line + k.unread.value(def));
            return;
        }
    }
    const std::int64_t value = get(std::int32_t(def));
    k.member.set(record, inRange(value, name, lo, hi, def, k.check, log));
}

// The values of "Files" taken in one pass: frame n's value of each key
// ("Left_3" is frame 3's "Left_"), the first of a key counting as it does
// when looked up by name. A project of 100 000 frames has two million of
// them, and a lookup each took most of its opening.
class FrameValues {
public:
    static constexpr std::size_t kFile = std::size(kFrameKeys);  // "File_", after the frame keys

    // frames: how many frames can be read (the "File_" keys).
    FrameValues(const IniFile& ini, int frames) : frames_(frames), values_(std::size_t(frames) * kKeys)
    {
        ini.forEachKey(kFiles, [this](std::string_view key, std::string_view value) {
            const std::size_t cut = key.rfind('_');
            if (cut == std::string_view::npos)
                return;
            const int n = frameNumber(key.substr(cut + 1));
            const std::optional<std::size_t> k = keyIndex(key.substr(0, cut + 1));
            if (n < 1 || !k)
                return;
            std::string_view& slot = values_[std::size_t(n - 1) * kKeys + *k];
            if (!slot.data())
                slot = value.data() ? value : std::string_view("", 0);
        });
    }

    bool has(int n, std::size_t k) const { return n >= 1 && n <= frames_ && at(n, k).data(); }
    std::string text(int n, std::size_t k) const
    {
        return has(n, k) ? std::string(at(n, k).substr(0, IniFile::kMaxValueLength)) : std::string();
    }
    std::int32_t number(int n, std::size_t k, std::int32_t def) const
    {
        return has(n, k) ? parseIniInt(text(n, k)).value_or(def) : def;
    }

private:
    static constexpr std::size_t kKeys = kFile + 1;
    int frames_;
    std::vector<std::string_view> values_;  // no data: no such key

    std::string_view at(int n, std::size_t k) const { return values_[std::size_t(n - 1) * kKeys + k]; }

    // The number a key is written with ("12", not "012" or "+12"), within
    // the frames; 0 otherwise.
    int frameNumber(std::string_view digits) const
    {
        if (digits.empty() || digits.size() > 9 || digits[0] == '0')
            return 0;
        int n = 0;
        for (const char c : digits) {
            if (c < '0' || c > '9')
                return 0;
            n = n * 10 + (c - '0');
        }
        return n <= frames_ ? n : 0;
    }
    static std::optional<std::size_t> keyIndex(std::string_view name)
    {
        const auto same = [](std::string_view a, std::string_view b) {
            return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
                       return std::tolower(static_cast<unsigned char>(x)) ==
                              std::tolower(static_cast<unsigned char>(y));
                   });
        };
        if (same(name, "File_"))
            return kFile;
        for (std::size_t i = 0; i < kFile; ++i)
            if (same(name, kFrameKeys[i].name))
                return i;
        return std::nullopt;
    }
};

// Writes key k of record (named `name` in section) when the project stores it.
template <class Record>
void writeKey(IniFile& ini, const char* section, const std::string& name, const Key<Record>& k,
              const Record& record, const ProjectSettings& s)
{
    const std::int64_t value = k.member.get(record);
    if (storedIn(k.in, s) && (!k.onlyWhenUsed || value > 0))
        ini.setInt(section, name, value);
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
    for (const auto& k : kParameterKeys) writeKey(ini, kParameters, k.name, k, s, s);
    if (!s.isGif())
        ini.setString(kParameters, "Wav_File", s.Wav_File);

    ini.eraseSection(kFiles);
    std::error_code ec;
    const fs::path folder = fs::absolute(path, ec).parent_path().lexically_normal();
    int n = 0;
    std::string lastFile, lastStored;
    for (const FrameRecord& f : project.frames) {
        ++n;
        if (n == 1 || f.File != lastFile) {  // frames of one GIF name it again and again
            lastFile = f.File;
            lastStored = storedFileName(f.File, folder);
        }
        ini.setString(kFiles, key("File_", n), lastStored);
        for (const auto& k : kFrameKeys) writeKey(ini, kFiles, key(k.name, n), k, f, s);
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
    for (const auto& k : kParameterKeys)
        if (storedIn(k.in, s))  // the type is read before the keys of one type
            readKey([&](std::int32_t def) { return ini.getInt(kParameters, k.name, def); }, k.name, k, s, s,
                    defaults, log);
    if (!s.isGif() && s.Sound) {
        s.Wav_File = ini.getString(kParameters, "Wav_File", "None");
        if (!fileExists(s.Wav_File)) {
            log.add("Not found the following sound file: " + s.Wav_File);
            s.Wav_File.clear();
            s.Sound = false;
        }
    }

    // Opening renders nothing: it looks for every file, reads each GIF once
    // (its compact form stays in the cache) to find the sub-images, and checks
    // every frame's size. The pictures are made when they are shown.
    SourceLoader loader(*project.cache, reader, SourceCommand::Open);
    const int entries = int(std::min<std::size_t>(ini.countKeys(kFiles, "File_"), 1 << 30));
    const FrameValues values(ini, entries);
    std::string lastStored, lastFile;
    for (int n = 1; values.has(n, FrameValues::kFile); ++n) {
        if (progress.cancelled())
            break;
        progress.progress(std::min(100, n * 100 / std::max(1, entries)));
        FrameRecord f;
        std::string stored = values.text(n, FrameValues::kFile);
        if (stored == lastStored) {
            f.File = lastFile;  // frames of one GIF name it again and again
        } else {
            f.File = stored;
            // A relative name is taken from the project's own folder, so a
            // project can travel together with its pictures.
            if (!f.File.empty() && fs::path(f.File).is_relative())
                f.File = (fs::path(path).parent_path() / f.File).lexically_normal().string();
            lastStored = std::move(stored);
            lastFile = f.File;
        }
        if (!fileExists(f.File)) {
            log.add("Not found file: " + f.File);
            changed = true;
            continue;
        }
        for (std::size_t i = 0; i < std::size(kFrameKeys); ++i)
            if (const auto& k = kFrameKeys[i]; storedIn(k.in, s))
                readKey([&](std::int32_t def) { return values.number(n, i, def); }, key(k.name, n), k, f, s,
                        defaults, log);
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
