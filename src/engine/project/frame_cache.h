#pragma once
// FrameCache: the pixels of a project's frames. A frame record holds no
// pictures; its frame image and its thumbnail are asked of the project's
// cache, which renders them from the source when it does not hold them (in
// the fixed order: compose, mirror, grey, negative) and keeps what it made,
// together with the sources read, within a memory budget, dropping what was
// used least recently once the budget is passed.
//
// Entries are keyed by what decides their pixels: the source file (and the
// file's modification time and size, so a file changed on disk is read
// again), the sub-image, and for a frame image its size, stretch, canvas
// size (stretched frames only), mirror, grey and negative. Placement on the
// canvas (Left, Top) and the time are not part of it: dragging or timing a
// frame renders nothing, an edit that changes the pixels changes the key, and
// a clone shares its original's entries.
//
// A GIF source is decoded once into its compact form (indices and colour
// maps), which the cache keeps like any other entry; a sub-image becomes a
// 24-bit picture only while a frame is rendered from it.
//
// A file that has gone keeps what the cache holds of it: those entries are
// pinned (never dropped for the budget) until the file is back, so its
// frames go on showing the pixels they had.
//
// Every member may be called from any thread; a picture handed out stays
// valid for as long as its holder keeps it, whatever the cache drops.
// Problems met while rendering on demand are collected as log lines, each
// once, for the window or the command line to take (takeProblems).

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/project/project.h"
#include "engine/project/source_reader.h"

namespace pelko {

inline constexpr std::size_t kDefaultFrameCacheBytes = std::size_t(256) << 20;

// The budget a new cache starts with: kDefaultFrameCacheBytes unless the
// program set another (pelko-cli --cache-mb). Any thread may ask.
std::size_t defaultFrameCacheBudget();
void setDefaultFrameCacheBudget(std::size_t bytes);

using PicturePtr = std::shared_ptr<const Picture>;

// What the cache hands out: a picture, or why there is none.
struct FramePicture {
    PicturePtr picture;
    SourceStatus status = SourceStatus::Ok;

    bool ok() const { return picture != nullptr; }
    // The picture, or an empty picture when there is none; valid while this
    // FramePicture lives.
    const Picture& get() const;
};

struct FrameCacheStats {
    int stillReads = 0;  // still pictures decoded
    int gifReads = 0;    // GIF files decoded
    int images = 0;      // frame images rendered
    int thumbnails = 0;  // thumbnails made
    int evictions = 0;   // entries dropped for the budget
    std::size_t bytes = 0;
    std::size_t entries = 0;
};

class FrameCache {
public:
    // reader: the reader of sources rendered on demand; null gives the
    // engine's own (makeFileSourceReader).
    explicit FrameCache(std::shared_ptr<SourceReader> reader = nullptr,
                        std::size_t budgetBytes = defaultFrameCacheBudget());
    FrameCache(const FrameCache&) = delete;
    FrameCache& operator=(const FrameCache&) = delete;

    void setReader(std::shared_ptr<SourceReader> reader);
    // Drops what passes a smaller budget at once.
    void setBudget(std::size_t bytes);
    std::size_t budget() const;

    // The frame image of frame in a project with settings, rendered when not
    // held. number is the frame's number as the user sees it (index + 1),
    // for the log line of a frame that cannot be rendered. With keep false a
    // frame image rendered here is handed out without being kept (its source
    // is kept): for work that passes over every frame once, such as writing
    // an output, which would otherwise push out what is being shown.
    FramePicture image(const FrameRecord& frame, const ProjectSettings& settings, int number,
                       bool keep = true);
    // The 168 x 108 thumbnail: the source picture as read, fitted.
    FramePicture thumbnail(const FrameRecord& frame, int number);
    // The frame image fitted into boxWidth x boxHeight (the strip's sharper
    // thumbnails on high-density screens).
    FramePicture fittedImage(const FrameRecord& frame, const ProjectSettings& settings, int boxWidth,
                             int boxHeight, int number);

    // Keeps picture as the frame image of frame under settings, pinned: for a
    // frame whose pixels can no longer be rendered from its source.
    void pin(const FrameRecord& frame, const ProjectSettings& settings, Picture picture);

    // The sources, for the commands that read them. The file is asked again
    // (a missing one pins what is held of it, and gives false or null); a
    // source not held is read with reader and kept. error receives the
    // reader's text when it refuses the file.
    bool fileExists(const std::string& file);
    std::shared_ptr<const GifSource> gif(const std::string& file, SourceReader& reader, std::string& error);
    PicturePtr still(const std::string& file, SourceReader& reader, std::string& error);

    // Drops everything held of file, pinned or not, so it is read again.
    void forget(const std::string& file);
    // Drops everything, the problems noted and what is known of files.
    void clear();

    // The log lines of problems met while rendering on demand since the last
    // call, each line once in the cache's life (until clear()).
    std::vector<std::string> takeProblems();
    // A line a command logged itself, which rendering on demand then does
    // not repeat.
    void noteReported(const std::string& line);

    FrameCacheStats stats() const;
    // Counts the calls of forget() and clear(): pictures copied out of the
    // cache before the count changed may show what is no longer so.
    std::uint64_t generation() const { return generation_.load(); }

    // Texts that tell the pictures of frames apart: frames with equal texts
    // have equal thumbnails (thumbnailIdentity) or frame images
    // (imageIdentity). The file's state on disk is not part of them.
    static std::string thumbnailIdentity(const FrameRecord& frame);
    static std::string imageIdentity(const FrameRecord& frame, const ProjectSettings& settings);

private:
    struct FileStamp {
        std::int64_t mtime = 0;  // nanoseconds
        std::int64_t size = 0;
        friend bool operator==(const FileStamp&, const FileStamp&) = default;
    };
    struct FileState {
        FileStamp stamp;
        bool exists = false;
    };
    enum class Kind : std::uint8_t { Still, Gif, Image, Thumbnail, Fitted };
    struct Key {
        Kind kind = Kind::Still;
        std::string file;
        FileStamp stamp;
        std::int32_t frame = 0;
        bool stretch = false, grey = false, inverse = false;
        std::int32_t width = 0, height = 0, canvasWidth = 0, canvasHeight = 0, flip = 0;
        std::int32_t boxWidth = 0, boxHeight = 0;
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    struct Value {
        PicturePtr picture;
        std::shared_ptr<const GifSource> gif;
        SourceStatus status = SourceStatus::Ok;
        std::string error;  // the reader's text
        bool ok() const { return picture || gif; }
        std::size_t bytes() const;
    };
    struct Entry {
        Key key;
        Value value;
        std::size_t bytes = 0;
        bool pinned = false;
    };
    struct Pending {
        bool done = false;
        Value value;
        std::exception_ptr error;
    };
    struct FileRecord {
        FileStamp stamp;
        bool missing = false;
    };

    FileState fileState(const std::string& file);
    Value getOrCompute(const Key& key, const std::function<Value()>& compute, bool keepFailure,
                       bool keep = true);
    bool lookup(const Key& key, Value& value);
    // A whole source file's entry: read when missing, or what is held of a
    // file that has gone.
    Value fileValue(Kind kind, const std::string& file, const FileState& state,
                    const std::function<Value()>& read);
    Value gifValue(const std::string& file, const FileState& state, SourceReader& reader);
    Value stillValue(const std::string& file, const FileState& state, SourceReader& reader);
    // The source picture of (file, frame): a still, or a sub-image made from
    // the GIF's compact form.
    Value sourcePicture(const std::string& file, int frame, const FileState& state, SourceReader& reader);
    Key imageKey(const FrameRecord& frame, const ProjectSettings& settings, const FileStamp& stamp) const;
    FramePicture problem(const FrameRecord& frame, const ProjectSettings& settings, int number,
                         SourceStatus status);
    FramePicture onDemand(const FrameRecord& frame, const ProjectSettings& settings, int number,
                          const std::function<Value()>& get);
    std::shared_ptr<SourceReader> currentReader() const;

    void insertLocked(const Key& key, Value value, bool pinned);
    void evictLocked();
    void eraseLocked(std::list<Entry>::iterator it);
    void dropFileLocked(const std::string& file);
    void pinFileLocked(const std::string& file, bool pinned);
    void noteLocked(const std::string& line);

    mutable std::mutex mutex_;
    std::condition_variable done_;
    std::shared_ptr<SourceReader> reader_;
    std::size_t budget_;
    std::size_t used_ = 0;
    std::list<Entry> lru_;  // most recently used first
    std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index_;
    std::unordered_map<Key, std::shared_ptr<Pending>, KeyHash> pending_;
    std::unordered_map<std::string, FileRecord> files_;
    std::vector<std::string> problems_;
    std::unordered_set<std::string> reported_;

    std::atomic<std::uint64_t> generation_{0};
    std::atomic<int> stillReads_{0}, gifReads_{0}, images_{0}, thumbnails_{0}, evictions_{0};
};

// The frame image and the thumbnail of frame index, through the project's
// cache (keep: as FrameCache::image).
FramePicture frameImage(const Project& project, int index, bool keep = true);
FramePicture frameThumbnail(const Project& project, int index);

// Why frame index of the project has no picture, as the log says it ("Not
// found file: ..." and so on).
std::string frameFailureLine(const Project& project, int index, SourceStatus status);

}  // namespace pelko
