// The panel font: loading the glyph sheet, measuring its glyphs, laying out
// and drawing UTF-8 text. The alpha picture is the pack's inverted mask
// (black opaque, white transparent).
#include "menu/PanelFont.h"

#include <cstring>
#include <vector>

#include "gl/GL.h"
#include "gl/OpenGLFullscreen.h"

namespace {

constexpr const char* kSheetColour = "textures/menue/schrift.bmp";
constexpr const char* kSheetAlpha = "textures/menue/schrift_alpha.bmp";
constexpr uint32_t kReplacement = '?';

RgbImage* LoadSheetPicture(OpenGLFullscreen& window, const char* path) {
    std::vector<char> name(path, path + std::strlen(path) + 1);
    RgbImage* image = window.LoadImageFile(name.data());
    if (image && (image->width != glyphsheet::kSheetWidth ||
                  image->height != glyphsheet::kSheetHeight || !image->pixels)) {
        FreeRgbImage(image);
        image = nullptr;
    }
    return image;
}

// Opacity of sheet pixel (x, y) from the inverted mask's red channel.
uint8_t Opacity(const RgbImage& mask, int x, int y) {
    return static_cast<uint8_t>(255 - mask.pixels[(size_t(y) * mask.width + x) * 3]);
}

void MeasureGlyphs(const RgbImage& mask, PanelFont& font) {
    using namespace glyphsheet;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        int first = -1, last = -1;
        for (int column = 0; column < kCellSize; ++column)
            for (int row = 0; row < kCellSize; ++row)
                if (Opacity(mask, CellLeft(slot) + column, CellBottom(slot) + row) != 0) {
                    if (first < 0) first = column;
                    last = column;
                }
        font.inkLeft[slot] = static_cast<int8_t>(first < 0 ? 0 : first);
        font.inkWidth[slot] = static_cast<int8_t>(first < 0 ? 0 : last - first + 1);
    }
}

// The next code point of text from position i (advanced past it); invalid
// or cut sequences give the replacement and skip one byte.
uint32_t NextCodePoint(const std::string& text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
    const uint8_t lead = byte(i);
    const int length = lead < 0x80 ? 1
                       : (lead >> 5) == 6 ? 2
                       : (lead >> 4) == 14 ? 3
                       : (lead >> 3) == 30 ? 4
                                           : 0;
    if (length == 0 || i + size_t(length) > text.size()) {
        ++i;
        return kReplacement;
    }
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if ((byte(i + size_t(k)) & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        code = (code << 6) | (byte(i + size_t(k)) & 0x3F);
    }
    i += size_t(length);
    return code;
}

int SlotFor(uint32_t code) {
    const int slot = glyphsheet::SlotOf(code);
    return slot >= 0 ? slot : glyphsheet::SlotOf(kReplacement);
}

int Advance(const PanelFont& font, int slot) {
    return font.inkWidth[slot] == 0 ? kPanelSpaceAdvance : font.inkWidth[slot] + kPanelGlyphGap;
}

}  // namespace

bool LoadPanelFont(OpenGLFullscreen& window, PanelFont& font) {
    font = PanelFont{};
    RgbImage* colour = LoadSheetPicture(window, kSheetColour);
    RgbImage* mask = LoadSheetPicture(window, kSheetAlpha);
    const bool ok = colour && mask;
    if (ok) {
        MeasureGlyphs(*mask, font);
        std::vector<uint8_t> rgba(size_t(colour->width) * colour->height * 4);
        for (size_t p = 0; p < size_t(colour->width) * colour->height; ++p) {
            std::memcpy(&rgba[p * 4], &colour->pixels[p * 3], 3);
            rgba[p * 4 + 3] = static_cast<uint8_t>(255 - mask->pixels[p * 3]);
        }
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, colour->width, colour->height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, rgba.data());
        font.texture = name;
    }
    FreeRgbImage(colour);
    FreeRgbImage(mask);
    return ok;
}

int PanelTextWidth(const PanelFont& font, const std::string& text) {
    int width = 0;
    for (size_t i = 0; i < text.size();) width += Advance(font, SlotFor(NextCodePoint(text, i)));
    return width > 0 ? width - kPanelGlyphGap : 0;
}

std::string FitPanelText(const PanelFont& font, const std::string& text, int maxWidth) {
    if (PanelTextWidth(font, text) <= maxWidth) return text;
    const std::string ellipsis = "...";
    size_t fits = 0;
    for (size_t i = 0; i < text.size();) {
        NextCodePoint(text, i);
        if (PanelTextWidth(font, text.substr(0, i) + ellipsis) > maxWidth) break;
        fits = i;
    }
    return text.substr(0, fits) + ellipsis;
}

void BeginPanelText(const PanelFont& font) {
    if (font.texture == 0) return;
    glBindTexture(GL_TEXTURE_2D, font.texture);
    glBegin(GL_QUADS);
}

void PanelText(const PanelFont& font, int x, int y, const std::string& text) {
    using namespace glyphsheet;
    if (font.texture == 0) return;
    const float unitX = 1.0f / kSheetWidth, unitY = 1.0f / kSheetHeight;
    const int bottom = y - kBaseline;
    int pen = x;
    for (size_t i = 0; i < text.size();) {
        const int slot = SlotFor(NextCodePoint(text, i));
        const int width = font.inkWidth[slot];
        if (width > 0) {
            const int sx = CellLeft(slot) + font.inkLeft[slot], sy = CellBottom(slot);
            const int corners[4][2] = {{0, 0}, {width, 0}, {width, kCellSize}, {0, kCellSize}};
            for (const auto& c : corners) {
                glTexCoord2f(float(sx + c[0]) * unitX, float(sy + c[1]) * unitY);
                glVertex2i(pen + c[0], bottom + c[1]);
            }
        }
        pen += Advance(font, slot);
    }
}

void EndPanelText(const PanelFont& font) {
    if (font.texture != 0) glEnd();
}
