#include "fakes/Fakes.h"

#include "base/FileIo.h"

namespace pagelet::fakes {

MessageAnswer FakeMessageBox::show(const std::u16string& text, const std::u16string& caption, MessageButtons buttons,
                                   MessageIcon icon)
{
    shown.push_back({text, caption, buttons, icon});
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    if (answers.empty())
        return MessageAnswer::No;
    const MessageAnswer a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::u16string> FakeRegistry::read(const std::u16string& name)
{
    auto it = values.find(name);
    return it == values.end() ? std::nullopt : std::optional(it->second);
}

int FakeEditControl::lineCount()
{
    int lines = 1;
    for (std::size_t at = 0; (at = content.find(u"\r\n", at)) != std::u16string::npos; at += 2)
        ++lines;
    return lines;
}

int FakeEditControl::lineIndex(int line)
{
    std::size_t at = 0;
    for (int i = 0; i < line; ++i, at += 2)
        if ((at = content.find(u"\r\n", at)) == std::u16string::npos)
            return -1;
    return static_cast<int>(at);
}

namespace {

Size bmpSize(const std::u16string& path)
{
    auto bytes = readFile(path);
    if (!bytes || bytes->size() < 26 || (*bytes)[0] != 'B' || (*bytes)[1] != 'M')
        return {240, 270};
    auto i32 = [&](std::size_t at) {
        return static_cast<std::int32_t>((*bytes)[at] | ((*bytes)[at + 1] << 8) | ((*bytes)[at + 2] << 16) |
                                         (static_cast<std::uint32_t>((*bytes)[at + 3]) << 24));
    };
    const std::int32_t h = i32(22);
    return {i32(18), h < 0 ? -h : h};
}

class FakeStrip : public ImageStrip {
public:
    FakeStrip(int cells, Size cell) : cells(cells), cell(cell) {}
    int cellCount() const override { return cells; }
    Size cellSize() const override { return cell; }
    int cells;
    Size cell;
};

class NullSurface : public Surface {
public:
    explicit NullSurface(Size s) : s(s) {}
    Size size() const override { return s; }
    void fill(const Rect&, Color) override {}
    void copyBitmap(const Bitmap&, Point, const Rect&) override {}
    void copySurface(const Surface&, Point) override {}
    void xorBitmap(const Bitmap&, Point, const Rect&) override {}
    void drawCell(const ImageStrip&, int, Point) override {}
    void drawCellSelected(const ImageStrip&, int, Point) override {}
    void drawSunkenEdge(const Rect&) override {}
    void drawText(const Rect&, std::u16string_view, Color) override {}
    Size s;
};

} // namespace

std::unique_ptr<Bitmap> FakeGraphics::loadBitmap(const std::u16string& path)
{
    if (!isFile(path))
        return nullptr;
    loaded.push_back(path);
    return std::make_unique<FakeBitmap>(bmpSize(path));
}

std::unique_ptr<ImageStrip> FakeGraphics::makeStrip(const Bitmap* bitmap, Size cellSize, int cells)
{
    int fit = 0;
    if (bitmap && cellSize.width > 0 && cellSize.height > 0)
        fit = std::min(cells, bitmap->size().width / cellSize.width);
    return std::make_unique<FakeStrip>(fit, cellSize);
}

std::unique_ptr<Surface> FakeGraphics::makeSurface(Size size)
{
    return std::make_unique<NullSurface>(size);
}

} // namespace pagelet::fakes
