#pragma once
// Frames whose pictures a test gives instead of files, for the tests of what
// reads frame images (the outputs). Each such frame names a made-up file of
// its own, and its picture is pinned in the project's frame cache, as the
// pixels of a frame whose source has gone are.

#include <map>
#include <string>
#include <utility>

#include "engine/project/frame_cache.h"

namespace pelko::test {

inline std::map<std::string, Picture>& givenPictures()
{
    static std::map<std::string, Picture> pictures;
    return pictures;
}

// Names frame after a new made-up file and gives it picture, which the test
// may draw on until the project is pinned.
inline Picture& givePicture(FrameRecord& frame, Picture picture)
{
    frame.File = "/given/picture-" + std::to_string(givenPictures().size());
    return givenPictures()[frame.File] = std::move(picture);
}

inline Picture& pictureOf(const FrameRecord& frame)
{
    return givenPictures().at(frame.File);
}

// Pins the pictures given to the project's frames, under the frames' fields
// as they are now.
inline Project& pinGivenPictures(Project& project)
{
    for (const FrameRecord& f : project.frames)
        if (auto it = givenPictures().find(f.File); it != givenPictures().end())
            project.cache->pin(f, project.settings, it->second);
    return project;
}

inline Project withGivenPictures(Project project)
{
    pinGivenPictures(project);
    return project;
}

}  // namespace pelko::test
