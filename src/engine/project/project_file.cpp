#include "engine/project/project_file.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "engine/project/ini_file.h"
#include "engine/project/source_loader.h"

namespace pelko {
namespace {

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
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
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
        ini.setInt(kParameters, "Time", s.GifFrameTime);
    } else {
        ini.setInt(kParameters, "Time", s.AviFrameTime);
        ini.setInt(kParameters, "Sound", s.Sound);
        ini.setString(kParameters, "Wav_File", s.Wav_File);
    }

    ini.eraseSection(kFiles);
    int n = 0;
    for (const FrameRecord& f : project.frames) {
        ++n;
        ini.setString(kFiles, key("File_", n), f.File);
        if (s.Type == ProjectGif)
            ini.setInt(kFiles, key("Time_", n), f.Time);
        ini.setInt(kFiles, key("Flip_", n), f.Flip);
        ini.setInt(kFiles, key("Inverse_", n), f.Inverse);
        ini.setInt(kFiles, key("Gray_", n), f.Gray);
        ini.setInt(kFiles, key("Frame_", n), f.Frame);
        ini.setInt(kFiles, key("ColorDither_", n), f.Gif.ColorDither);
        ini.setInt(kFiles, key("ColorReduction_", n), f.Gif.ColorReduction);
        ini.setInt(kFiles, key("ReductionBit_", n), f.Gif.ReductionBit);
        ini.setInt(kFiles, key("GIFCompression_", n), f.Gif.GIFCompression);
        ini.setInt(kFiles, key("GIFTransparent_", n), f.Gif.GIFTransparent);
        ini.setInt(kFiles, key("DisposalMethod_", n), f.Gif.DisposalMethod);
        ini.setInt(kFiles, key("TransparentColor_", n), std::int32_t(f.Gif.TransparentColor));
        ini.setInt(kFiles, key("TransparentColorIndex_", n), f.Gif.TransparentColorIndex);
        ini.setInt(kFiles, key("Stretch_", n), f.Stretch);
        ini.setInt(kFiles, key("Left_", n), f.Left);
        ini.setInt(kFiles, key("Top_", n), f.Top);
        ini.setInt(kFiles, key("Width_", n), f.Width);
        ini.setInt(kFiles, key("Height_", n), f.Height);
    }
    ini.save(path);  // throws "Unable to write to " + path; the project stays changed
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

    s.Width = ini.getInt(kParameters, "Width", -1);
    if (s.Width == -1) {
        s.Width = defaults.width;
        project.log.add("Error reading of frame's width: have been set " + std::to_string(s.Width));
    }
    s.Height = ini.getInt(kParameters, "Height", -1);
    if (s.Height == -1) {
        s.Height = defaults.height;
        project.log.add("Error reading of frame's height: have been set " + std::to_string(s.Height));
    }
    s.Stretch = ini.getInt(kParameters, "Stretch", 0) != 0;
    s.Type = ini.getInt(kParameters, "Type", -1);
    if (s.Type != ProjectAvi && s.Type != ProjectGif) {
        s.Type = ProjectAvi;
        project.log.add("Error reading of file's extension: have been set AVI");
    }
    if (s.Type == ProjectAvi) {
        s.Sound = ini.getInt(kParameters, "Sound", 0) != 0;
        s.AviFrameTime = ini.getInt(kParameters, "Time", 1000);
        if (s.Sound) {
            s.Wav_File = ini.getString(kParameters, "Wav_File", "None");
            if (!fileExists(s.Wav_File)) {
                project.log.add("Not found the following sound file: " + s.Wav_File);
                s.Wav_File.clear();
                s.Sound = false;
            }
        }
    } else {
        s.GifFrameTime = std::uint16_t(ini.getInt(kParameters, "Time", 500));
        s.Crop = ini.getInt(kParameters, "Crop", 0) != 0;
        s.Merge = ini.getInt(kParameters, "Merge", 0) != 0;
        s.Optimize = ini.getInt(kParameters, "Optimize", 0) != 0;
        s.Interlaced = ini.getInt(kParameters, "Interlaced", 0) != 0;
    }

    SourceLoader loader(reader, SourceCommand::Open);
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
        if (!f.File.empty() && f.File.front() != '/')
            f.File = (std::filesystem::path(path).parent_path() / f.File).lexically_normal().string();
        if (!fileExists(f.File)) {
            project.log.add("Not found file: " + f.File);
            changed = true;
            continue;
        }
        f.Time = s.Type == ProjectGif ? std::uint16_t(ini.getInt(kFiles, key("Time_", n), s.GifFrameTime))
                                      : std::uint16_t(s.AviFrameTime);
        f.Flip = ini.getInt(kFiles, key("Flip_", n), 0);
        f.Inverse = ini.getInt(kFiles, key("Inverse_", n), 0) != 0;
        f.Gray = ini.getInt(kFiles, key("Gray_", n), 0) != 0;
        f.Frame = ini.getInt(kFiles, key("Frame_", n), 0);
        f.Gif.ColorDither = std::uint8_t(ini.getInt(kFiles, key("ColorDither_", n), 0));
        f.Gif.ColorReduction = std::uint8_t(ini.getInt(kFiles, key("ColorReduction_", n), 7));
        f.Gif.ReductionBit = ini.getInt(kFiles, key("ReductionBit_", n), 8);
        f.Gif.GIFCompression = std::uint8_t(ini.getInt(kFiles, key("GIFCompression_", n), 0));
        f.Gif.GIFTransparent = ini.getInt(kFiles, key("GIFTransparent_", n), 0) != 0;
        f.Gif.DisposalMethod = std::uint8_t(ini.getInt(kFiles, key("DisposalMethod_", n), 0));
        f.Gif.TransparentColor = Color(ini.getInt(kFiles, key("TransparentColor_", n), 16777215));
        f.Gif.TransparentColorIndex = std::uint8_t(ini.getInt(kFiles, key("TransparentColorIndex_", n), 0));
        f.Stretch = ini.getInt(kFiles, key("Stretch_", n), 0) != 0;
        f.Left = ini.getInt(kFiles, key("Left_", n), 0);
        f.Top = ini.getInt(kFiles, key("Top_", n), 0);
        f.Width = ini.getInt(kFiles, key("Width_", n), s.Width);
        f.Height = ini.getInt(kFiles, key("Height_", n), s.Height);

        const RenderOutcome r = loader.render(f, n, s);
        if (r.status == SourceStatus::EmptyFrame)
            continue;  // an empty sub-image is left out without a word
        if (!r.ok()) {
            project.log.add(r.logLine);
            changed = true;
            continue;
        }
        f.thumbnail = makeThumbnail(r.source);
        project.frames.append(std::move(f));
    }
    result.errors = loader.errors();
    if (!project.frames.empty())
        project.selection.selectOnly(0);
    project.changed = changed;
    return result;
}

}  // namespace pelko
