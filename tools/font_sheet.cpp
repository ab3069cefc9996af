// Font rasterising with FreeType (see font_sheet.h).
#include "font_sheet.h"

#include "file_io.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace {

// Each FreeType handle has its own owner, so that a constructor that throws half-way
// still releases what it had already made.
struct LibraryHandle {
    FT_Library library = nullptr;
    ~LibraryHandle() {
        if (library) FT_Done_FreeType(library);
    }
};
struct FaceHandle {
    FT_Face face = nullptr;
    ~FaceHandle() {
        if (face) FT_Done_Face(face);
    }
};

// A font opened at one pixel size; the font bytes outlive the face, as FreeType requires.
struct Face {
    std::vector<uint8_t> bytes;
    LibraryHandle lib;
    FaceHandle handle;
    FT_Face face = nullptr;

    Face(const std::string& path, int pixelSize) : bytes(readFile(path)) {
        if (pixelSize < 6 || pixelSize > 64)
            throw ToolError("font size " + std::to_string(pixelSize) + " is outside 6..64 pixels");
        if (FT_Init_FreeType(&lib.library) != 0) throw ToolError("cannot start FreeType");
        if (FT_New_Memory_Face(lib.library, bytes.data(), static_cast<FT_Long>(bytes.size()), 0, &handle.face) != 0)
            throw ToolError("'" + path + "' is not a font FreeType can read");
        face = handle.face;
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0)
            throw ToolError("'" + path + "' cannot be drawn at " + std::to_string(pixelSize) + " pixels");
    }
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    // Renders code `c` into the glyph slot; false when the font has no glyph for it.
    bool render(unsigned long c) {
        const FT_UInt index = FT_Get_Char_Index(face, c);
        if (index == 0) return false;
        return FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) == 0 &&
               FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
    }
    uint8_t coverage(int x, int y) const {
        const FT_Bitmap& b = face->glyph->bitmap;
        return b.buffer[y * b.pitch + x];
    }
};

}  // namespace

std::vector<uint8_t> makeFontSheet(const std::string& fontPath, int pixelSize) {
    Face f(fontPath, pixelSize);

    // One baseline for all glyphs: as low as the capitals allow, keeping the descenders
    // of g, p, y inside the 16 rows where possible.
    int ascent = 0, descent = 0;
    for (unsigned long c = 33; c <= 126; ++c) {
        if (!f.render(c))
            throw ToolError("font '" + fontPath + "' has no glyph for '" + std::string(1, static_cast<char>(c)) +
                            "' (code " + std::to_string(c) + ")");
        ascent = std::max(ascent, f.face->glyph->bitmap_top);
        descent = std::max(descent, static_cast<int>(f.face->glyph->bitmap.rows) - f.face->glyph->bitmap_top);
    }
    const int baseline = std::clamp(ascent + std::max(0, (glyphCell - ascent - descent) / 2), 0, glyphCell - descent);

    std::vector<uint8_t> sheet(sheetBytes, 0);
    for (unsigned long c = 33; c <= 126; ++c) {
        f.render(c);
        const FT_GlyphSlot g = f.face->glyph;
        const int left = 16 * static_cast<int>(c % 16), top = 16 * static_cast<int>(c / 16);
        for (int y = 0; y < static_cast<int>(g->bitmap.rows); ++y)
            for (int x = 0; x < static_cast<int>(g->bitmap.width); ++x) {
                const int u = g->bitmap_left + x, v = baseline - g->bitmap_top + y;
                // Half coverage or more is ink; what falls outside the 16 x 16 cell is cut.
                if (u < 0 || u >= glyphCell || v < 0 || v >= glyphCell || f.coverage(x, y) < 128) continue;
                const size_t o = static_cast<size_t>((top + v) * sheetWidth + left + u);
                sheet[o] = sheet[sheetPlaneBytes + o] = sheet[2 * sheetPlaneBytes + o] = 255;
            }
    }
    return sheet;
}

Coverage renderTextLine(const std::string& fontPath, const std::string& text, int pixelSize) {
    Face f(fontPath, pixelSize);
    const int ascent = static_cast<int>(f.face->size->metrics.ascender >> 6);
    const int descent = static_cast<int>(-(f.face->size->metrics.descender >> 6));
    int width = 0;
    for (char ch : text) {
        if (!f.render(static_cast<unsigned char>(ch)))
            throw ToolError("font '" + fontPath + "' has no glyph for '" + std::string(1, ch) + "'");
        width += static_cast<int>(f.face->glyph->advance.x >> 6);
    }
    Coverage out;
    out.width = width;
    out.height = ascent + descent;
    out.alpha.assign(static_cast<size_t>(out.width * out.height), 0);
    int penX = 0;
    for (char ch : text) {
        f.render(static_cast<unsigned char>(ch));
        const FT_GlyphSlot g = f.face->glyph;
        for (int y = 0; y < static_cast<int>(g->bitmap.rows); ++y)
            for (int x = 0; x < static_cast<int>(g->bitmap.width); ++x) {
                const int u = penX + g->bitmap_left + x, v = ascent - g->bitmap_top + y;
                if (u < 0 || u >= out.width || v < 0 || v >= out.height) continue;
                uint8_t& a = out.alpha[static_cast<size_t>(v * out.width + u)];
                a = std::max(a, f.coverage(x, y));
            }
        penX += static_cast<int>(g->advance.x >> 6);
    }
    return out;
}
