#include "engine/project/frame_cache.h"

#include <new>
#include <stdexcept>

#include <sys/stat.h>

#include "engine/image/file_kind.h"
#include "engine/image/resample.h"
#include "engine/project/frame_render.h"
#include "engine/project/source_loader.h"

namespace pelko {
namespace {

std::atomic<std::size_t> defaultBudget{kDefaultFrameCacheBytes};

// What an entry costs beyond its pixels: the entry, its key and its index.
constexpr std::size_t kEntryOverhead = 256;

void mix(std::size_t& seed, std::size_t v)
{
    seed ^= v + 0x9e3779b97f4a7c15ull + (seed << 6) + (seed >> 2);
}

}  // namespace

std::size_t defaultFrameCacheBudget()
{
    return defaultBudget.load();
}

void setDefaultFrameCacheBudget(std::size_t bytes)
{
    defaultBudget.store(bytes);
}

std::shared_ptr<FrameCache> newFrameCache()
{
    return std::make_shared<FrameCache>();
}

const Picture& FramePicture::get() const
{
    static const Picture kNone;
    return picture ? *picture : kNone;
}

std::size_t FrameCache::KeyHash::operator()(const Key& k) const
{
    std::size_t seed = std::hash<std::string>()(k.file);
    mix(seed, std::size_t(k.kind));
    mix(seed, std::size_t(k.stamp.mtime));
    mix(seed, std::size_t(k.stamp.size));
    mix(seed, std::size_t(k.frame));
    mix(seed, std::size_t(k.stretch) | std::size_t(k.grey) << 1 | std::size_t(k.inverse) << 2);
    for (std::int32_t v : {k.width, k.height, k.canvasWidth, k.canvasHeight, k.flip, k.boxWidth, k.boxHeight})
        mix(seed, std::size_t(std::uint32_t(v)));
    return seed;
}

std::size_t FrameCache::Value::bytes() const
{
    std::size_t n = kEntryOverhead + error.size();
    if (picture)
        n += sizeof(Picture) + picture->byteSize();
    if (gif)
        n += gif->byteSize();
    return n;
}

FrameCache::FrameCache(std::shared_ptr<SourceReader> reader, std::size_t budgetBytes)
    : reader_(reader ? std::move(reader) : std::shared_ptr<SourceReader>(makeFileSourceReader())),
      budget_(budgetBytes)
{
}

void FrameCache::setReader(std::shared_ptr<SourceReader> reader)
{
    std::lock_guard lock(mutex_);
    reader_ = reader ? std::move(reader) : std::shared_ptr<SourceReader>(makeFileSourceReader());
}

std::shared_ptr<SourceReader> FrameCache::currentReader() const
{
    std::lock_guard lock(mutex_);
    return reader_;
}

void FrameCache::setBudget(std::size_t bytes)
{
    std::lock_guard lock(mutex_);
    budget_ = bytes;
    evictLocked();
}

std::size_t FrameCache::budget() const
{
    std::lock_guard lock(mutex_);
    return budget_;
}

FrameCacheStats FrameCache::stats() const
{
    std::lock_guard lock(mutex_);
    FrameCacheStats s;
    s.stillReads = stillReads_;
    s.gifReads = gifReads_;
    s.images = images_;
    s.thumbnails = thumbnails_;
    s.evictions = evictions_;
    s.bytes = used_;
    s.entries = lru_.size();
    return s;
}

// ---- the entries ----

void FrameCache::eraseLocked(std::list<Entry>::iterator it)
{
    used_ -= it->bytes;
    index_.erase(it->key);
    lru_.erase(it);
}

void FrameCache::insertLocked(const Key& key, Value value, bool pinned)
{
    if (auto found = index_.find(key); found != index_.end())
        eraseLocked(found->second);
    Entry e;
    e.key = key;
    e.bytes = value.bytes();
    e.value = std::move(value);
    e.pinned = pinned;
    used_ += e.bytes;
    lru_.push_front(std::move(e));
    index_.emplace(key, lru_.begin());
    evictLocked();
}

void FrameCache::evictLocked()
{
    // Least recently used first; pinned entries stay whatever they cost. An
    // entry whose file has gone since it was last asked for cannot be made
    // again: it and everything else held of that file are pinned instead.
    std::unordered_map<std::string, bool> gone;  // asked once per file and pass
    auto it = lru_.end();
    while (used_ > budget_ && it != lru_.begin()) {
        --it;
        if (it->pinned)
            continue;
        const std::string& file = it->key.file;
        auto [known, first] = gone.try_emplace(file, false);
        if (first) {
            struct stat st {};
            known->second = !file.empty() && ::stat(file.c_str(), &st) != 0;
        }
        if (known->second) {
            auto [record, fresh] = files_.try_emplace(file);
            if (fresh)
                record->second.stamp = it->key.stamp;
            record->second.missing = true;
            pinFileLocked(file, true);
            continue;
        }
        auto doomed = it++;
        eraseLocked(doomed);
        ++evictions_;
    }
}

void FrameCache::dropFileLocked(const std::string& file)
{
    for (auto it = lru_.begin(); it != lru_.end();) {
        auto next = std::next(it);
        if (it->key.file == file)
            eraseLocked(it);
        it = next;
    }
}

void FrameCache::pinFileLocked(const std::string& file, bool pinned)
{
    for (Entry& e : lru_)
        if (e.key.file == file)
            e.pinned = pinned;
    if (!pinned)
        evictLocked();
}

bool FrameCache::lookup(const Key& key, Value& value)
{
    std::lock_guard lock(mutex_);
    auto it = index_.find(key);
    if (it == index_.end())
        return false;
    lru_.splice(lru_.begin(), lru_, it->second);
    value = it->second->value;
    return true;
}

FrameCache::Value FrameCache::getOrCompute(const Key& key, const std::function<Value()>& compute,
                                           bool keepFailure, bool keep)
{
    std::unique_lock lock(mutex_);
    if (auto it = index_.find(key); it != index_.end()) {
        lru_.splice(lru_.begin(), lru_, it->second);
        return it->second->value;
    }
    // Another thread at work on the same key: its result is ours.
    if (auto it = pending_.find(key); it != pending_.end()) {
        const std::shared_ptr<Pending> other = it->second;
        done_.wait(lock, [&] { return other->done; });
        if (other->error)
            std::rethrow_exception(other->error);
        return other->value;
    }
    auto mine = std::make_shared<Pending>();
    pending_.emplace(key, mine);
    lock.unlock();
    Value value;
    std::exception_ptr error;
    try {
        value = compute();
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    if (auto it = pending_.find(key); it != pending_.end() && it->second == mine)
        pending_.erase(it);
    mine->done = true;
    mine->value = value;
    mine->error = error;
    if (!error && keep && (value.ok() || keepFailure))
        insertLocked(key, value, false);
    done_.notify_all();
    lock.unlock();
    if (error)
        std::rethrow_exception(error);
    return value;
}

// ---- files ----

FrameCache::FileState FrameCache::fileState(const std::string& file)
{
    struct stat st {};
    FileState state;
    state.exists = !file.empty() && ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    if (state.exists)
        state.stamp = {std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                       std::int64_t(st.st_size)};
    std::lock_guard lock(mutex_);
    auto [it, first] = files_.try_emplace(file);
    FileRecord& record = it->second;
    if (state.exists) {
        if (!first && !(record.stamp == state.stamp))
            dropFileLocked(file);  // changed on disk: what was made of it is stale
        else if (record.missing)
            pinFileLocked(file, false);  // back as it was
        record.stamp = state.stamp;
        record.missing = false;
        return state;
    }
    // Gone: what is held of it stays, as its frames cannot be rendered again.
    if (!record.missing) {
        record.missing = true;
        pinFileLocked(file, true);
    }
    state.stamp = record.stamp;
    return state;
}

bool FrameCache::fileExists(const std::string& file)
{
    return fileState(file).exists;
}

void FrameCache::forget(const std::string& file)
{
    std::lock_guard lock(mutex_);
    dropFileLocked(file);
    files_.erase(file);
    ++generation_;
}

void FrameCache::clear()
{
    std::lock_guard lock(mutex_);
    lru_.clear();
    index_.clear();
    used_ = 0;
    files_.clear();
    problems_.clear();
    reported_.clear();
    ++generation_;
}

// ---- sources ----

FrameCache::Value FrameCache::fileValue(Kind kind, const std::string& file, const FileState& state,
                                        const std::function<Value()>& read)
{
    Key key;
    key.kind = kind;
    key.file = file;
    key.stamp = state.stamp;
    Value value;
    if (!state.exists) {
        // a file that has gone keeps what is held of it
        if (!lookup(key, value))
            value.status = SourceStatus::MissingFile;
        return value;
    }
    return getOrCompute(key, read, true);
}

FrameCache::Value FrameCache::gifValue(const std::string& file, const FileState& state, SourceReader& reader)
{
    return fileValue(Kind::Gif, file, state, [&] {
        Value v;
        ++gifReads_;
        std::optional<GifSource> gif = reader.readGif(file, v.error);
        if (gif)
            v.gif = std::make_shared<const GifSource>(std::move(*gif));
        else
            v.status = SourceStatus::Unreadable;
        return v;
    });
}

FrameCache::Value FrameCache::stillValue(const std::string& file, const FileState& state,
                                         SourceReader& reader)
{
    return fileValue(Kind::Still, file, state, [&] {
        Value v;
        ++stillReads_;
        std::optional<Picture> picture = reader.readStill(file, v.error);
        if (picture)
            v.picture = std::make_shared<const Picture>(std::move(*picture));
        else
            v.status = SourceStatus::Unreadable;
        return v;
    });
}

FrameCache::Value FrameCache::sourcePicture(const std::string& file, int frame, const FileState& state,
                                            SourceReader& reader)
{
    if (!hasExtension(file, ".gif"))
        return stillValue(file, state, reader);
    Value gif = gifValue(file, state, reader);
    Value out;
    out.status = gif.status;
    out.error = gif.error;
    if (!gif.gif)
        return out;
    if (frame < 0 || std::size_t(frame) >= gif.gif->frames.size()) {
        out.status = SourceStatus::MissingFrame;
        return out;
    }
    const GifSourceFrame& sub = gif.gif->frames[std::size_t(frame)];
    if (sub.empty) {
        out.status = SourceStatus::EmptyFrame;
        return out;
    }
    out.picture = std::make_shared<const Picture>(sub.toPicture());
    return out;
}

std::shared_ptr<const GifSource> FrameCache::gif(const std::string& file, SourceReader& reader,
                                                 std::string& error)
{
    const FileState state = fileState(file);
    if (!state.exists)
        return nullptr;
    Value v = gifValue(file, state, reader);
    error = v.error;
    return v.gif;
}

PicturePtr FrameCache::still(const std::string& file, SourceReader& reader, std::string& error)
{
    const FileState state = fileState(file);
    if (!state.exists)
        return nullptr;
    Value v = stillValue(file, state, reader);
    error = v.error;
    return v.picture;
}

// ---- frame images and thumbnails ----

FrameCache::Key FrameCache::imageKey(const FrameRecord& f, const ProjectSettings& s,
                                     const FileStamp& stamp) const
{
    Key key;
    key.kind = Kind::Image;
    key.file = f.File;
    key.stamp = stamp;
    key.frame = hasExtension(f.File, ".gif") ? f.Frame : 0;  // a still has no sub-images
    key.stretch = f.Stretch;
    key.width = f.Width;
    key.height = f.Height;
    if (f.Stretch) {
        key.canvasWidth = s.Width;
        key.canvasHeight = s.Height;
    }
    key.flip = f.Flip;
    key.grey = f.Gray;
    key.inverse = f.Inverse;
    return key;
}

void FrameCache::noteLocked(const std::string& line)
{
    if (!line.empty() && reported_.insert(line).second)
        problems_.push_back(line);
}

void FrameCache::noteReported(const std::string& line)
{
    std::lock_guard lock(mutex_);
    reported_.insert(line);
}

std::vector<std::string> FrameCache::takeProblems()
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> out;
    out.swap(problems_);
    return out;
}

FramePicture FrameCache::problem(const FrameRecord& frame, const ProjectSettings& settings, int number,
                                 SourceStatus status)
{
    const std::string line = failureLine(SourceCommand::Show, status, frame, number, settings);
    std::lock_guard lock(mutex_);
    noteLocked(line);
    return {nullptr, status};
}

// Rendering on demand never throws: whatever stops it (a reader that fails
// in a way of its own, no memory for the picture) is a problem of the frame.
FramePicture FrameCache::onDemand(const FrameRecord& f, const ProjectSettings& s, int number,
                                  const std::function<Value()>& get)
{
    Value v;
    try {
        v = get();
    } catch (const std::length_error&) {
        v.status = SourceStatus::TooLarge;
    } catch (const std::bad_alloc&) {
        v.status = SourceStatus::TooLarge;  // within the limits, but more than memory holds
    } catch (...) {
        v.status = SourceStatus::Unreadable;
    }
    if (!v.picture)
        return problem(f, s, number, v.status == SourceStatus::Ok ? SourceStatus::Unreadable : v.status);
    return {v.picture, SourceStatus::Ok};
}

FramePicture FrameCache::image(const FrameRecord& f, const ProjectSettings& s, int number, bool keep)
{
    const FrameSize size = frameImageSize(f, s);
    if (!pictureSizeAllowed(size.width, size.height))
        return problem(f, s, number, SourceStatus::TooLarge);
    return onDemand(f, s, number, [&] {
        const FileState state = fileState(f.File);
        const std::shared_ptr<SourceReader> reader = currentReader();
        return getOrCompute(
            imageKey(f, s, state.stamp),
            [&] {
                const Value source = sourcePicture(f.File, f.Frame, state, *reader);
                if (!source.picture)
                    return source;
                Value out;
                out.picture = std::make_shared<const Picture>(renderedImage(f, *source.picture, s));
                ++images_;
                return out;
            },
            false, keep);
    });
}

FramePicture FrameCache::thumbnail(const FrameRecord& f, int number)
{
    return onDemand(f, ProjectSettings{}, number, [&] {
        const FileState state = fileState(f.File);
        const std::shared_ptr<SourceReader> reader = currentReader();
        Key key;
        key.kind = Kind::Thumbnail;
        key.file = f.File;
        key.stamp = state.stamp;
        key.frame = hasExtension(f.File, ".gif") ? f.Frame : 0;
        return getOrCompute(
            key,
            [&] {
                const Value source = sourcePicture(f.File, f.Frame, state, *reader);
                if (!source.picture)
                    return source;
                Value out;
                out.picture = std::make_shared<const Picture>(makeThumbnail(*source.picture));
                ++thumbnails_;
                return out;
            },
            false);
    });
}

FramePicture FrameCache::fittedImage(const FrameRecord& f, const ProjectSettings& s, int boxWidth,
                                     int boxHeight, int number)
{
    return onDemand(f, s, number, [&] {
        Key key = imageKey(f, s, fileState(f.File).stamp);
        key.kind = Kind::Fitted;
        key.boxWidth = boxWidth;
        key.boxHeight = boxHeight;
        return getOrCompute(
            key,
            [&] {
                Value out;
                const FramePicture whole = image(f, s, number);
                out.status = whole.status;
                if (whole.ok())
                    out.picture =
                        std::make_shared<const Picture>(fitPicture(*whole.picture, boxWidth, boxHeight));
                return out;
            },
            false);
    });
}

void FrameCache::pin(const FrameRecord& frame, const ProjectSettings& settings, Picture picture)
{
    const Key key = imageKey(frame, settings, fileState(frame.File).stamp);
    Value v;
    v.picture = std::make_shared<const Picture>(std::move(picture));
    std::lock_guard lock(mutex_);
    insertLocked(key, std::move(v), true);
}

std::string FrameCache::thumbnailIdentity(const FrameRecord& f)
{
    return f.File + '\n' + std::to_string(hasExtension(f.File, ".gif") ? f.Frame : 0);
}

std::string FrameCache::imageIdentity(const FrameRecord& f, const ProjectSettings& s)
{
    std::string id = thumbnailIdentity(f);
    for (std::int32_t v : {std::int32_t(f.Stretch), f.Width, f.Height, f.Stretch ? s.Width : 0,
                           f.Stretch ? s.Height : 0, f.Flip, std::int32_t(f.Gray), std::int32_t(f.Inverse)})
        id += ' ' + std::to_string(v);
    return id;
}

FramePicture frameImage(const Project& project, int index, bool keep)
{
    return project.cache->image(project.frames[std::size_t(index)], project.settings, index + 1, keep);
}

FramePicture frameThumbnail(const Project& project, int index)
{
    return project.cache->thumbnail(project.frames[std::size_t(index)], index + 1);
}

std::string frameFailureLine(const Project& project, int index, SourceStatus status)
{
    return failureLine(SourceCommand::Show, status, project.frames[std::size_t(index)], index + 1,
                       project.settings);
}

}  // namespace pelko
