// A stand-in for a shared screen: a PipeWire video source of WIDTH x HEIGHT
// BGRx frames at FPS frames a second, driving itself with a timer. Frame n's
// pixel (x, y) is blue 128, green y mod 256, red (x + 4n) mod 256: a pattern
// that moves four pixels a frame and tells a whole frame from a torn one.
// Prints the node's id on a line once the node exists, then runs until it
// is killed (the stream then ends for its readers).
//
//   test_screen_source WIDTH HEIGHT FPS

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Source {
    pw_main_loop* loop = nullptr;
    pw_stream* stream = nullptr;
    spa_source* timer = nullptr;
    spa_hook listener{};
    int width = 0, height = 0, fps = 30;
    unsigned frame = 0;
    bool told = false;
};

void paint(Source& s, std::uint8_t* data, std::size_t stride)
{
    for (int y = 0; y < s.height; ++y) {
        std::uint8_t* row = data + std::size_t(y) * stride;
        for (int x = 0; x < s.width; ++x) {
            row[4 * x] = 128;
            row[4 * x + 1] = std::uint8_t(y);
            row[4 * x + 2] = std::uint8_t(unsigned(x) + 4 * s.frame);
            row[4 * x + 3] = 255;
        }
    }
}

void onTimeout(void* data, std::uint64_t)
{
    auto& s = *static_cast<Source*>(data);
    pw_buffer* b = pw_stream_dequeue_buffer(s.stream);
    if (!b)
        return;
    spa_data& d = b->buffer->datas[0];
    const std::size_t stride = std::size_t(s.width) * 4;
    if (d.data && d.maxsize >= stride * std::size_t(s.height)) {
        paint(s, static_cast<std::uint8_t*>(d.data), stride);
        d.chunk->offset = 0;
        d.chunk->stride = int(stride);
        d.chunk->size = std::uint32_t(stride * std::size_t(s.height));
        ++s.frame;
    }
    pw_stream_queue_buffer(s.stream, b);
}

void onState(void* data, pw_stream_state, pw_stream_state state, const char*)
{
    auto& s = *static_cast<Source*>(data);
    if (!s.told && state >= PW_STREAM_STATE_PAUSED) {
        s.told = true;
        std::printf("%u\n", pw_stream_get_node_id(s.stream));
        std::fflush(stdout);
    }
    pw_loop* loop = pw_main_loop_get_loop(s.loop);
    if (state == PW_STREAM_STATE_STREAMING) {
        timespec first{0, 1}, interval{0, long(1000000000 / s.fps)};
        pw_loop_update_timer(loop, s.timer, &first, &interval, false);
    } else {
        pw_loop_update_timer(loop, s.timer, nullptr, nullptr, false);
    }
}

void onParam(void* data, std::uint32_t id, const spa_pod* param)
{
    auto& s = *static_cast<Source*>(data);
    if (!param || id != SPA_PARAM_Format)
        return;
    std::uint8_t buffer[256];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    const int size = s.width * s.height * 4;
    const spa_pod* params[1];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_buffers,
        SPA_POD_CHOICE_RANGE_Int(4, 2, 8), SPA_PARAM_BUFFERS_blocks, SPA_POD_Int(1), SPA_PARAM_BUFFERS_size,
        SPA_POD_Int(size), SPA_PARAM_BUFFERS_stride, SPA_POD_Int(s.width * 4), SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int(1 << SPA_DATA_MemFd)));
    pw_stream_update_params(s.stream, params, 1);
}

Source* running = nullptr;

void onSignal(void*, int)
{
    if (running)
        pw_main_loop_quit(running->loop);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: test_screen_source WIDTH HEIGHT FPS\n");
        return 2;
    }
    pw_init(&argc, &argv);
    Source s;
    s.width = std::atoi(argv[1]);
    s.height = std::atoi(argv[2]);
    s.fps = std::max(1, std::atoi(argv[3]));
    running = &s;
    s.loop = pw_main_loop_new(nullptr);
    pw_loop* loop = pw_main_loop_get_loop(s.loop);
    pw_loop_add_signal(loop, SIGINT, onSignal, nullptr);
    pw_loop_add_signal(loop, SIGTERM, onSignal, nullptr);
    s.timer = pw_loop_add_timer(loop, onTimeout, &s);
    static const pw_stream_events events = [] {
        pw_stream_events e{};
        e.version = PW_VERSION_STREAM_EVENTS;
        e.state_changed = onState;
        e.param_changed = onParam;
        return e;
    }();
    s.stream = pw_stream_new_simple(
        loop, "pelko-test-screen",
        pw_properties_new(PW_KEY_MEDIA_CLASS, "Video/Source", PW_KEY_MEDIA_TYPE, "Video",
                          PW_KEY_MEDIA_CATEGORY, "Source", PW_KEY_MEDIA_ROLE, "Screen", nullptr),
        &events, &s);
    std::uint8_t buffer[1024];
    spa_pod_builder b = SPA_POD_BUILDER_INIT(buffer, sizeof buffer);
    spa_rectangle size = SPA_RECTANGLE(std::uint32_t(s.width), std::uint32_t(s.height));
    spa_fraction rate = SPA_FRACTION(std::uint32_t(s.fps), 1);
    const spa_pod* params[1];
    params[0] = static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &b, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType,
        SPA_POD_Id(SPA_MEDIA_TYPE_video), SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw),
        SPA_FORMAT_VIDEO_format, SPA_POD_Id(SPA_VIDEO_FORMAT_BGRx), SPA_FORMAT_VIDEO_size,
        SPA_POD_Rectangle(&size), SPA_FORMAT_VIDEO_framerate, SPA_POD_Fraction(&rate)));
    if (pw_stream_connect(s.stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                          pw_stream_flags(PW_STREAM_FLAG_DRIVER | PW_STREAM_FLAG_MAP_BUFFERS), params,
                          1) < 0) {
        std::fprintf(stderr, "test_screen_source: cannot connect to PipeWire\n");
        return 1;
    }
    pw_main_loop_run(s.loop);
    pw_stream_destroy(s.stream);
    pw_main_loop_destroy(s.loop);
    pw_deinit();
    return 0;
}
