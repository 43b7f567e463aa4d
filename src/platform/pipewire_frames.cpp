#include "platform/pipewire_frames.h"

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <vector>

namespace pelko {

namespace {

const char* const kEnded = "The shared screen's stream has ended.";
const char* const kNoPipeWire = "The shared screen cannot be read: PipeWire refused the connection.";
const char* const kNoFrame = "The shared screen gave no picture.";

// Byte places of blue, green and red in a pixel, and the pixel's size.
struct Layout {
    int b = 0, g = 1, r = 2, size = 4;
};

bool layoutOf(std::uint32_t format, Layout& l)
{
    switch (format) {
        case SPA_VIDEO_FORMAT_BGRx:
        case SPA_VIDEO_FORMAT_BGRA:
            l = {0, 1, 2, 4};
            return true;
        case SPA_VIDEO_FORMAT_RGBx:
        case SPA_VIDEO_FORMAT_RGBA:
            l = {2, 1, 0, 4};
            return true;
        case SPA_VIDEO_FORMAT_BGR:
            l = {0, 1, 2, 3};
            return true;
        case SPA_VIDEO_FORMAT_RGB:
            l = {2, 1, 0, 3};
            return true;
        default:
            return false;
    }
}

}  // namespace

struct PipeWireFrames::Stream {
    pw_thread_loop* loop = nullptr;
    pw_context* context = nullptr;
    pw_core* core = nullptr;
    pw_stream* stream = nullptr;
    pw_registry* registry = nullptr;
    spa_hook streamListener{};
    spa_hook registryListener{};
    spa_hook coreListener{};
    std::uint32_t node = 0;

    mutable std::mutex mutex;
    std::condition_variable arrived;
    // the newest frame, packed rows
    std::vector<std::uint8_t> pixels;
    int width = 0, height = 0;
    Layout layout;
    bool formatKnown = false;
    bool ended = false;
    std::uint64_t frames = 0;
    // the negotiated format
    int formatWidth = 0, formatHeight = 0;
    std::uint32_t format = 0;

    void end()
    {
        std::lock_guard lock(mutex);
        ended = true;
        arrived.notify_all();
    }

    static void onState(void* data, pw_stream_state, pw_stream_state state, const char*)
    {
        if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED)
            static_cast<Stream*>(data)->end();
    }

    static void onParam(void* data, std::uint32_t id, const spa_pod* param)
    {
        auto* s = static_cast<Stream*>(data);
        if (!param || id != SPA_PARAM_Format)
            return;
        std::uint32_t mediaType = 0, mediaSubtype = 0;
        if (spa_format_parse(param, &mediaType, &mediaSubtype) < 0 || mediaType != SPA_MEDIA_TYPE_video ||
            mediaSubtype != SPA_MEDIA_SUBTYPE_raw)
            return;
        spa_video_info_raw info{};
        if (spa_format_video_raw_parse(param, &info) < 0)
            return;
        {
            std::lock_guard lock(s->mutex);
            s->formatWidth = int(info.size.width);
            s->formatHeight = int(info.size.height);
            s->format = info.format;
            s->formatKnown = layoutOf(info.format, s->layout);
        }
        // buffers in memory this process can map
        std::uint8_t buffer[256];
        spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
        const spa_pod* params[1];
        params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
            &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
            SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
        pw_stream_update_params(s->stream, params, 1);
    }

    static void onProcess(void* data)
    {
        auto* s = static_cast<Stream*>(data);
        // the newest buffer; older ones go straight back
        pw_buffer* newest = nullptr;
        while (pw_buffer* b = pw_stream_dequeue_buffer(s->stream)) {
            if (newest)
                pw_stream_queue_buffer(s->stream, newest);
            newest = b;
        }
        if (!newest)
            return;
        const spa_buffer* buf = newest->buffer;
        if (buf->n_datas > 0 && buf->datas[0].data && buf->datas[0].chunk) {
            const spa_data& d = buf->datas[0];
            std::lock_guard lock(s->mutex);
            const int w = s->formatWidth, h = s->formatHeight;
            const std::size_t row = std::size_t(w) * std::size_t(s->layout.size);
            const std::size_t stride = d.chunk->stride > 0 ? std::size_t(d.chunk->stride) : row;
            const std::size_t offset = std::min<std::size_t>(d.chunk->offset, d.maxsize);
            const std::size_t available = std::min<std::size_t>(d.chunk->size, d.maxsize - offset);
            // a frame of the negotiated size, wholly inside the buffer
            if (s->formatKnown && w > 0 && h > 0 && stride >= row &&
                available >= stride * std::size_t(h - 1) + row) {
                s->pixels.resize(row * std::size_t(h));
                const auto* src = static_cast<const std::uint8_t*>(d.data) + offset;
                for (int y = 0; y < h; ++y)
                    std::memcpy(s->pixels.data() + std::size_t(y) * row, src + std::size_t(y) * stride, row);
                s->width = w;
                s->height = h;
                ++s->frames;
                s->arrived.notify_all();
            }
        }
        pw_stream_queue_buffer(s->stream, newest);
    }

    static void onGlobalRemove(void* data, std::uint32_t id)
    {
        auto* s = static_cast<Stream*>(data);
        if (id == s->node)
            s->end();
    }

    static void onCoreError(void* data, std::uint32_t id, int, int res, const char*)
    {
        if (id == PW_ID_CORE && res == -EPIPE)
            static_cast<Stream*>(data)->end();
    }
};

PipeWireFrames::PipeWireFrames(int fd, std::uint32_t node) : s_(std::make_unique<Stream>())
{
    static std::once_flag init;
    std::call_once(init, [] { pw_init(nullptr, nullptr); });
    s_->node = node;
    s_->loop = pw_thread_loop_new("pelko-screen", nullptr);
    if (!s_->loop) {
        ::close(fd);
        throw ScreenGrabError(kNoPipeWire);
    }
    pw_thread_loop_lock(s_->loop);
    s_->context = pw_context_new(pw_thread_loop_get_loop(s_->loop), nullptr, 0);
    s_->core = s_->context ? pw_context_connect_fd(s_->context, fd, nullptr, 0) : nullptr;
    if (!s_->core) {
        if (!s_->context)
            ::close(fd);
        pw_thread_loop_unlock(s_->loop);
        throw ScreenGrabError(kNoPipeWire);
    }
    static const pw_core_events kCoreEvents = [] {
        pw_core_events e{};
        e.version = PW_VERSION_CORE_EVENTS;
        e.error = Stream::onCoreError;
        return e;
    }();
    static const pw_registry_events kRegistryEvents = [] {
        pw_registry_events e{};
        e.version = PW_VERSION_REGISTRY_EVENTS;
        e.global_remove = Stream::onGlobalRemove;
        return e;
    }();
    static const pw_stream_events kStreamEvents = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = Stream::onState;
        e.param_changed = Stream::onParam;
        e.process = Stream::onProcess;
        return e;
    }();
    pw_core_add_listener(s_->core, &s_->coreListener, &kCoreEvents, s_.get());
    s_->registry = pw_core_get_registry(s_->core, PW_VERSION_REGISTRY, 0);
    if (s_->registry)
        pw_registry_add_listener(s_->registry, &s_->registryListener, &kRegistryEvents, s_.get());
    s_->stream = pw_stream_new(s_->core, "Pelko screen capture",
                               pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                                                 PW_KEY_MEDIA_ROLE, "Screen", nullptr));
    if (!s_->stream) {
        pw_thread_loop_unlock(s_->loop);
        throw ScreenGrabError(kNoPipeWire);
    }
    pw_stream_add_listener(s_->stream, &s_->streamListener, &kStreamEvents, s_.get());

    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_rectangle defSize = SPA_RECTANGLE(1920, 1080), minSize = SPA_RECTANGLE(1, 1),
                  maxSize = SPA_RECTANGLE(16384, 16384);
    spa_fraction defRate = SPA_FRACTION(30, 1), minRate = SPA_FRACTION(0, 1), maxRate = SPA_FRACTION(1000, 1);
    const spa_pod* params[1];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw),
        SPA_FORMAT_VIDEO_format,
        SPA_POD_CHOICE_ENUM_Id(7, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                               SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA, SPA_VIDEO_FORMAT_RGB,
                               SPA_VIDEO_FORMAT_BGR),
        SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&defSize, &minSize, &maxSize),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&defRate, &minRate, &maxRate)));
    const int connected = pw_stream_connect(
        s_->stream, PW_DIRECTION_INPUT, node,
        pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS), params, 1);
    pw_thread_loop_unlock(s_->loop);
    if (connected < 0 || pw_thread_loop_start(s_->loop) < 0)
        throw ScreenGrabError(kNoPipeWire);
}

PipeWireFrames::~PipeWireFrames()
{
    if (!s_->loop)
        return;
    pw_thread_loop_stop(s_->loop);
    if (s_->stream)
        pw_stream_destroy(s_->stream);
    if (s_->registry)
        pw_proxy_destroy(reinterpret_cast<pw_proxy*>(s_->registry));
    if (s_->core)
        pw_core_disconnect(s_->core);
    if (s_->context)
        pw_context_destroy(s_->context);
    pw_thread_loop_destroy(s_->loop);
}

bool PipeWireFrames::waitForFrame(int timeoutMs)
{
    std::unique_lock lock(s_->mutex);
    return s_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return s_->frames > 0 || s_->ended;
    }) && s_->frames > 0;
}

DesktopSize PipeWireFrames::size() const
{
    std::lock_guard lock(s_->mutex);
    return {s_->width, s_->height};
}

bool PipeWireFrames::ended() const
{
    std::lock_guard lock(s_->mutex);
    return s_->ended;
}

std::uint64_t PipeWireFrames::frameCount() const
{
    std::lock_guard lock(s_->mutex);
    return s_->frames;
}

Picture PipeWireFrames::grab(int left, int top, int width, int height) const
{
    std::lock_guard lock(s_->mutex);
    if (s_->ended)
        throw ScreenGrabError(kEnded);
    if (s_->frames == 0)
        throw ScreenGrabError(kNoFrame);
    Picture picture(width, height);
    picture.fill(0);
    const int x0 = std::max(0, left), y0 = std::max(0, top);
    const int x1 = std::min(s_->width, left + width), y1 = std::min(s_->height, top + height);
    const Layout l = s_->layout;
    const std::size_t row = std::size_t(s_->width) * std::size_t(l.size);
    for (int y = y0; y < y1; ++y) {
        const std::uint8_t* src =
            s_->pixels.data() + std::size_t(y) * row + std::size_t(x0) * std::size_t(l.size);
        std::uint8_t* out = picture.row(y - top) + std::size_t(x0 - left) * 3;
        for (int x = x0; x < x1; ++x, src += l.size, out += 3) {
            out[0] = src[l.b];
            out[1] = src[l.g];
            out[2] = src[l.r];
        }
    }
    return picture;
}

}  // namespace pelko
