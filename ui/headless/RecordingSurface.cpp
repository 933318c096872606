#include "ui/headless/RecordingSurface.h"

#include <algorithm>

namespace zenthar::ui::headless {
namespace {

// "&&" shows one ampersand; a single "&" only underlines the next character.
std::string StripPrefixes(std::string_view text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                shown += '&';
                ++i;
            }
            continue;
        }
        shown += text[i];
    }
    return shown;
}

int Width(const std::string& line)
{
    return static_cast<int>(line.size()) * RecordingSurface::kCharWidth;
}

}  // namespace

std::vector<std::string> RecordingSurface::LayoutLines(std::string_view text, int width, bool wordBreak)
{
    const std::string shown = StripPrefixes(text);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= shown.size()) {
        const std::size_t newline = shown.find('\n', start);
        const std::string paragraph =
            shown.substr(start, newline == std::string::npos ? std::string::npos : newline - start);
        if (!wordBreak) {
            lines.push_back(paragraph);
        } else {
            // Greedy word wrap; a word wider than the box stays whole on its own line.
            std::string line;
            std::size_t pos = 0;
            while (pos < paragraph.size()) {
                std::size_t end = paragraph.find(' ', pos);
                if (end == std::string::npos) end = paragraph.size();
                const std::string word = paragraph.substr(pos, end - pos);
                const std::string candidate = line.empty() ? word : line + " " + word;
                if (!line.empty() && Width(candidate) > width) {
                    lines.push_back(line);
                    line = word;
                } else {
                    line = candidate;
                }
                pos = end + 1;
            }
            lines.push_back(line);
        }
        if (newline == std::string::npos) break;
        start = newline + 1;
    }
    return lines;
}

void RecordingSurface::SetBackgroundTransparent()
{
    ops.push_back({DrawOp::Kind::Transparent, {}, {}, {}, {}, 0, {}, 0, 0});
}

void RecordingSurface::FillRect(const Rect& rect, Color color)
{
    ops.push_back({DrawOp::Kind::Fill, rect, {}, {}, {}, color, {}, 0, 0});
}

void RecordingSurface::FrameRect(const Rect& rect, Color color)
{
    ops.push_back({DrawOp::Kind::Frame, rect, {}, {}, {}, color, {}, 0, 0});
}

void RecordingSurface::Line(Point from, Point to, Color color)
{
    ops.push_back({DrawOp::Kind::Line, {}, {}, from, to, color, {}, 0, 0});
}

void RecordingSurface::DrawIcon(int x, int y, IconHandle icon)
{
    ops.push_back({DrawOp::Kind::Icon, {}, {}, {x, y}, {}, 0, {}, 0, icon});
}

int RecordingSurface::DrawText(std::string_view text, Rect& rect, unsigned format, Color color)
{
    const bool wordBreak = (format & kDtWordBreak) && !(format & kDtSingleLine);
    const std::vector<std::string> lines = LayoutLines(text, rect.Width(), wordBreak);
    int widest = 0;
    for (const std::string& line : lines) widest = std::max(widest, Width(line));
    const int height = static_cast<int>(lines.size()) * kLineHeight;
    if (format & kDtCalcRect) {
        rect.right = rect.left + widest;
        rect.bottom = rect.top + height;
        return height;
    }
    ops.push_back({DrawOp::Kind::Text, rect, {}, {}, {}, color, std::string(text), format, 0});
    return height;
}

void RecordingSurface::DrawFocusRect(const Rect& rect)
{
    ops.push_back({DrawOp::Kind::FocusRect, rect, {}, {}, {}, 0, {}, 0, 0});
}

void RecordingSurface::StretchBitmap(BitmapHandle bitmap, const Rect& source, const Rect& dest)
{
    ops.push_back({DrawOp::Kind::Bitmap, dest, source, {}, {}, 0, {}, 0, bitmap});
}

}  // namespace zenthar::ui::headless
