#pragma once
// Colour tables of a GIF image: the global map (owned by the header) and a
// frame's local map. Entries are (red, green, blue), red first as in the file.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/gif/gif_stream.h"
#include "engine/gif/gif_types.h"
#include "engine/image/picture.h"

namespace pelko {

class TGIFHeader;
class TGIFSubImage;

struct TGIFColor {
    std::uint8_t Red = 0, Green = 0, Blue = 0;
    friend bool operator==(const TGIFColor&, const TGIFColor&) = default;
};

// One line of a colour usage histogram: how many pixels use entry Index.
struct THistogramEntry {
    int Count = 0;
    int Index = 0;
};

class TGIFColorMap {
public:
    static constexpr int kMaxColors = 256;

    TGIFColorMap() = default;
    virtual ~TGIFColorMap() = default;
    TGIFColorMap(const TGIFColorMap&) = delete;
    TGIFColorMap& operator=(const TGIFColorMap&) = delete;

    // Empties the map (count and capacity 0, not Optimized).
    void Clear();
    // Copies count, capacity, Optimized and the entries.
    void Assign(const TGIFColorMap& source);

    // Appends a colour; "Color table overflow" when the map is full.
    int Add(Color color);
    int AddUnique(Color color);
    // "Invalid color index" outside 0..count-1.
    void Delete(int index);
    // An Optimized map gives the first match, any other the last; -1 when absent.
    int IndexOf(Color color) const;
    // Outside the map: warning "Invalid color index", then entry 0 ("Color
    // table is empty" when there is none).
    Color GetColor(int index) const;
    void SetColor(int index, Color color);

    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }
    void SetCapacity(int n);
    // 0 for an empty map, else the smallest b >= 1 with 2^b >= count.
    int GetBitsPerPixel() const;
    bool GetOptimized() const { return optimized_; }
    void SetOptimized(bool value) { optimized_ = value; }
    const TGIFColor& Entry(int index) const { return entries_[std::size_t(index)]; }
    const TGIFColor* Data() const { return entries_.data(); }

    // Each replaces the map and signals Changed.
    void ImportPalette(const std::vector<Color>& palette);    // up to 256 colours
    void ImportColorMap(const TGIFColor* entries, int n);     // n RGB entries
    void ImportColorTable(const std::uint8_t* quads, int n);  // n (blue, green, red, reserved)
    // The colours in table order; empty for an empty map.
    std::vector<Color> ExportPalette() const;

    // Writes the count entries, padded with zero entries to 2^bits per pixel.
    void SaveToStream(GifOutput& out) const;
    // Replaces the map with exactly n entries read from the stream.
    void LoadFromStream(GifInput& in, int n);

    // Sorts the entries by decreasing use and remaps the pixels; false when
    // there was nothing to sort.
    bool DoOptimize();

    virtual void Warning(TGIFSeverity severity, const std::string& message) const {}
    virtual void BuildHistogram(std::vector<THistogramEntry>& table) const {}
    virtual void MapImages(const std::vector<int>& map) {}
    virtual bool Optimize() { return false; }
    virtual void Changed() {}

protected:
    void initHistogram(std::vector<THistogramEntry>& table) const;

    std::array<TGIFColor, kMaxColors> entries_{};
    int count_ = 0;
    int capacity_ = 0;
    bool optimized_ = false;
};

class TGIFGlobalColorMap : public TGIFColorMap {
public:
    explicit TGIFGlobalColorMap(TGIFHeader* header) : header_(header) {}
    TGIFHeader* Header() const { return header_; }

    void Warning(TGIFSeverity severity, const std::string& message) const override;
    // Counts the pixels of every frame whose active map is this one.
    void BuildHistogram(std::vector<THistogramEntry>& table) const override;
    void MapImages(const std::vector<int>& map) override;
    bool Optimize() override;
    void Changed() override;

private:
    TGIFHeader* header_;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
    explicit TGIFLocalColorMap(TGIFSubImage* frame) : frame_(frame) {}
    TGIFSubImage* SubImage() const { return frame_; }

    void Warning(TGIFSeverity severity, const std::string& message) const override;
    void BuildHistogram(std::vector<THistogramEntry>& table) const override;
    void MapImages(const std::vector<int>& map) override;
    bool Optimize() override;
    void Changed() override;

private:
    TGIFSubImage* frame_;
};

}  // namespace pelko
