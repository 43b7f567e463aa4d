#include "platform/pulse_sound_player.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/avi/wav.h"

namespace pelko {

namespace {

// What the server buffers ahead: short, so that Stop is heard at once.
constexpr pa_usec_t kBufferedUs = 200'000;

bool sampleFormatOf(const WaveFormat& f, pa_sample_format_t& format)
{
    switch (f.bitsPerSample) {
        case 8:
            format = PA_SAMPLE_U8;
            return true;
        case 16:
            format = PA_SAMPLE_S16LE;
            return true;
        case 24:
            format = PA_SAMPLE_S24LE;
            return true;
        case 32:
            format = PA_SAMPLE_S32LE;
            return true;
        default:
            return false;
    }
}

struct SimpleStream {
    pa_simple* s = nullptr;
    ~SimpleStream()
    {
        if (s)
            pa_simple_free(s);
    }
};

struct File {
    std::FILE* f = nullptr;
    ~File()
    {
        if (f)
            std::fclose(f);
    }
};

}  // namespace

struct PulseSoundPlayer::Session {
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable cv;
    bool finished = false;

    void finish()
    {
        std::lock_guard lock(mutex);
        finished = true;
        cv.notify_all();
    }
    // True when the sound fell silent within the time.
    bool waitFinished(std::chrono::milliseconds time)
    {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, time, [this] { return finished; });
    }
};

// Plays the file on server until its end or session.stop.
static SoundResult playSession(const std::string& server, const std::string& path,
                               PulseSoundPlayer::Session& session);

PulseSoundPlayer::PulseSoundPlayer(std::string server) : server_(std::move(server)) {}

PulseSoundPlayer::~PulseSoundPlayer()
{
    stop();
}

std::shared_ptr<PulseSoundPlayer::Session> PulseSoundPlayer::begin()
{
    stop();
    auto session = std::make_shared<Session>();
    std::lock_guard lock(mutex_);
    current_ = session;
    return session;
}

void PulseSoundPlayer::stop()
{
    std::shared_ptr<Session> session;
    {
        std::lock_guard lock(mutex_);
        session = std::move(current_);
        current_.reset();
    }
    if (!session)
        return;
    session->stop = true;
    session->waitFinished(std::chrono::seconds(1));
}

SoundResult PulseSoundPlayer::play(const std::string& path)
{
    const auto session = begin();
    SoundResult r = playSession(server_, path, *session);
    session->finish();
    return r;
}

void PulseSoundPlayer::playAsync(const std::string& path, Done done)
{
    const auto session = begin();
    // The thread owns what it uses, so the player may go while it finishes.
    std::thread([server = server_, path, session, done = std::move(done)] {
        const SoundResult r = playSession(server, path, *session);
        session->finish();
        if (done)
            done(r);
    }).detach();
}

static SoundResult playSession(const std::string& server, const std::string& path,
                               PulseSoundPlayer::Session& session)
{
    const auto fail = [&path](const std::string& why) { return SoundResult{false, path + ": " + why}; };
    WavLayout layout;
    std::string reason;
    if (!ReadWavForAvi(path, layout, reason))
        return fail(reason);
    const WaveFormat& f = layout.format;
    pa_sample_spec sampleFormat{};
    if (!sampleFormatOf(f, sampleFormat.format))
        return fail(std::to_string(f.bitsPerSample) + "-bit samples cannot be played");
    sampleFormat.rate = f.samplesPerSec;
    sampleFormat.channels = std::uint8_t(std::min<unsigned>(f.channels, 255));
    if (f.channels > PA_CHANNELS_MAX || !pa_sample_spec_valid(&sampleFormat))
        return fail("the sound server does not play " + std::to_string(f.channels) + " channels at " +
                    std::to_string(f.samplesPerSec) + " samples per second");

    File file;
    file.f = std::fopen(path.c_str(), "rb");
    if (!file.f || fseeko(file.f, off_t(layout.dataOffset), SEEK_SET) != 0)
        return fail("the file cannot be read");
    const std::uint64_t block = f.blockAlign;
    std::uint64_t left = std::min<std::uint64_t>(layout.dataSize, layout.dataAvailable) / block * block;

    pa_buffer_attr attr;
    attr.maxlength = std::uint32_t(-1);
    attr.tlength = std::uint32_t(pa_usec_to_bytes(kBufferedUs, &sampleFormat));
    attr.prebuf = std::uint32_t(-1);
    attr.minreq = std::uint32_t(-1);
    attr.fragsize = std::uint32_t(-1);
    int error = 0;
    SimpleStream stream;
    stream.s = pa_simple_new(server.empty() ? nullptr : server.c_str(), "Pelko", PA_STREAM_PLAYBACK, nullptr,
                             "Background sound", &sampleFormat, nullptr, &attr, &error);
    if (!stream.s)
        return fail(std::string("no sound server to play it on (") + pa_strerror(error) + ")");

    // about 20 ms of sound per write, whole sample frames
    const std::size_t chunk = std::max<std::size_t>(
        block, std::size_t(f.avgBytesPerSec ? f.avgBytesPerSec : 8000) / 50 / block * block);
    std::vector<std::uint8_t> buffer(chunk);
    while (left > 0 && !session.stop) {
        const std::size_t n = std::size_t(std::min<std::uint64_t>(left, chunk));
        if (std::fread(buffer.data(), 1, n, file.f) != n)
            break;  // the file got shorter: play what there was
        if (pa_simple_write(stream.s, buffer.data(), n, &error) < 0)
            return fail(std::string("the sound server stopped taking the sound (") + pa_strerror(error) +
                        ")");
        left -= n;
    }

    // what the server still holds: dropped when stopped, played out otherwise
    if (session.stop)
        pa_simple_flush(stream.s, &error);
    else
        pa_simple_drain(stream.s, &error);
    return {};
}

}  // namespace pelko
