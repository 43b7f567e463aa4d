#pragma once
// The video libraries (libavformat, libavcodec, libavutil, libswscale,
// libswresample) are loaded the first time a video is written or the AVI
// codecs are listed, not when the program starts: GIF work never touches
// them, and they bring in well over a hundred shared libraries, which took
// most of a short command's start. The headers are the ones built against;
// the libraries loaded are those of the same major versions.

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace pelko {

// Every function of the video libraries the program calls.
#define PELKO_VIDEO_FUNCTIONS(X)       \
    X(av_channel_layout_default)       \
    X(av_dict_free)                    \
    X(av_dict_set)                     \
    X(av_frame_alloc)                  \
    X(av_frame_free)                   \
    X(av_frame_get_buffer)             \
    X(av_frame_make_writable)          \
    X(av_freep)                        \
    X(av_interleaved_write_frame)      \
    X(av_log_set_level)                \
    X(av_opt_set)                      \
    X(av_opt_set_double)               \
    X(av_opt_set_int)                  \
    X(av_packet_alloc)                 \
    X(av_packet_free)                  \
    X(av_packet_rescale_ts)            \
    X(av_packet_unref)                 \
    X(av_read_frame)                   \
    X(av_strerror)                     \
    X(av_write_frame)                  \
    X(av_write_trailer)                \
    X(avcodec_alloc_context3)          \
    X(avcodec_find_decoder)            \
    X(avcodec_find_encoder_by_name)    \
    X(avcodec_free_context)            \
    X(avcodec_open2)                   \
    X(avcodec_parameters_copy)         \
    X(avcodec_parameters_from_context) \
    X(avcodec_parameters_to_context)   \
    X(avcodec_receive_frame)           \
    X(avcodec_receive_packet)          \
    X(avcodec_send_frame)              \
    X(avcodec_send_packet)             \
    X(avformat_alloc_output_context2)  \
    X(avformat_close_input)            \
    X(avformat_find_stream_info)       \
    X(avformat_free_context)           \
    X(avformat_new_stream)             \
    X(avformat_open_input)             \
    X(avformat_write_header)           \
    X(avio_closep)                     \
    X(avio_open)                       \
    X(swr_alloc_set_opts2)             \
    X(swr_convert)                     \
    X(swr_free)                        \
    X(swr_get_out_samples)             \
    X(swr_init)                        \
    X(sws_freeContext)                 \
    X(sws_getContext)                  \
    X(sws_scale)

struct VideoLibrary {
#define PELKO_VIDEO_POINTER(name) decltype(&::name) name = nullptr;
    PELKO_VIDEO_FUNCTIONS(PELKO_VIDEO_POINTER)
#undef PELKO_VIDEO_POINTER
};

// The loaded functions, or null when the libraries cannot be loaded (error,
// when given, then says why). Loaded once, from any thread.
const VideoLibrary* videoLibrary(std::string* error = nullptr);

// The loaded functions, for code that runs only once videoLibrary() has
// succeeded (an open AVI writer).
const VideoLibrary& video();

}  // namespace pelko
