#include "engine/history/project_change.h"

#include <algorithm>

namespace pelko {

namespace {

std::size_t recordBytes(const std::vector<FrameRecord>& records)
{
    std::size_t bytes = records.capacity() * sizeof(FrameRecord);
    for (const FrameRecord& r : records) bytes += r.File.capacity();
    return bytes;
}

}  // namespace

ProjectSnapshot ProjectSnapshot::of(const Project& project)
{
    return {project.settings, {project.frames.begin(), project.frames.end()}, project.selection.indices()};
}

std::optional<ProjectChange> ProjectChange::between(const ProjectSnapshot& before, const Project& after)
{
    const std::vector<FrameRecord>& old = before.frames;
    const std::size_t oldCount = old.size();
    const std::size_t newCount = after.frames.size();
    // the frames alike at the start and at the end are not kept
    std::size_t head = 0;
    while (head < oldCount && head < newCount && old[head] == after.frames[head]) ++head;
    std::size_t tail = 0;
    while (tail < oldCount - head && tail < newCount - head &&
           old[oldCount - 1 - tail] == after.frames[newCount - 1 - tail])
        ++tail;
    if (head + tail == oldCount && oldCount == newCount && before.settings == after.settings)
        return std::nullopt;

    ProjectChange c;
    c.settingsBefore_ = before.settings;
    c.settingsAfter_ = after.settings;
    c.at_ = head;
    c.before_.assign(old.begin() + std::ptrdiff_t(head), old.end() - std::ptrdiff_t(tail));
    c.after_.assign(after.frames.begin() + std::ptrdiff_t(head), after.frames.end() - std::ptrdiff_t(tail));
    c.selectionBefore_ = before.selection;
    c.selectionAfter_ = after.selection.indices();
    return c;
}

void ProjectChange::replace(FrameList& frames, std::size_t at, std::size_t count,
                            const std::vector<FrameRecord>& with)
{
    std::vector<FrameRecord> all;
    all.reserve(frames.size() - count + with.size());
    for (std::size_t i = 0; i < at; ++i) all.push_back(std::move(frames[i]));
    all.insert(all.end(), with.begin(), with.end());
    for (std::size_t i = at + count; i < frames.size(); ++i) all.push_back(std::move(frames[i]));
    frames.clear();
    for (FrameRecord& r : all) frames.append(std::move(r));
}

void ProjectChange::undo(Project& project) const
{
    project.settings = settingsBefore_;
    replace(project.frames, at_, after_.size(), before_);
    project.selection.assign(selectionBefore_);
}

void ProjectChange::redo(Project& project) const
{
    project.settings = settingsAfter_;
    replace(project.frames, at_, before_.size(), after_);
    project.selection.assign(selectionAfter_);
}

int ProjectChange::framesTouched() const
{
    if (before_.size() != after_.size())
        return int(std::max(before_.size(), after_.size()) - std::min(before_.size(), after_.size()));
    int touched = 0;
    for (std::size_t i = 0; i < before_.size(); ++i) touched += before_[i] == after_[i] ? 0 : 1;
    return touched;
}

std::size_t ProjectChange::bytes() const
{
    return sizeof(ProjectChange) + settingsBefore_.Wav_File.capacity() + settingsAfter_.Wav_File.capacity() +
           recordBytes(before_) + recordBytes(after_) +
           (selectionBefore_.capacity() + selectionAfter_.capacity()) * sizeof(int);
}

}  // namespace pelko
