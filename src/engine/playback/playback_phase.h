#pragma once
// Where the playback preview stands, and which control started it.

namespace pelko {

enum class PlaybackPhase { Stopped, Playing, Paused };

// The control a run came from: the Run button itself (the mode follows the
// project's type, no sound), "Run as AVI" / "Run as AVI file", or "Run as
// animated GIF" / "Run as animated GIF file".
enum class RunSource { Button, Avi, Gif };

// AVI mode shows every frame on a fresh canvas for the AVI frame time; GIF
// mode draws each frame over the picture before it for the frame's own time.
enum class PlaybackMode { Avi = 0, Gif = 1 };

}  // namespace pelko
