// Build-time tool: turns a PSF console font (version 1 or 2, 8 pixels wide,
// 14 rows) into a C++ table of glyphs indexed by Latin-1 code point.
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int glyph_rows = 14;

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "font_compiler: %s\n", why.c_str());
    std::exit(1);
}

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t(b[at + 3]) << 24);
}

struct psf_font {
    std::size_t glyph_count = 0;
    std::size_t glyph_offset = 0;
    std::size_t bytes_per_glyph = 0;
    std::map<std::uint32_t, std::size_t> glyph_of_code_point;
};

// Decodes one UTF-8 sequence of a PSF2 table; returns false at a malformed byte.
bool next_utf8(const std::vector<unsigned char>& b, std::size_t& at, std::uint32_t& cp) {
    unsigned char c = b[at++];
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0) return false;
    cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int i = 0; i < extra; ++i) {
        if (at >= b.size()) return false;
        cp = (cp << 6) | (b[at++] & 0x3F);
    }
    return true;
}

psf_font parse(const std::vector<unsigned char>& b) {
    psf_font f;
    if (b.size() >= 4 && b[0] == 0x36 && b[1] == 0x04) {
        const unsigned mode = b[2];
        f.glyph_count = (mode & 1) ? 512 : 256;
        f.bytes_per_glyph = b[3];
        f.glyph_offset = 4;
        if (f.bytes_per_glyph != glyph_rows) fail("the font is not 14 rows high");
        std::size_t at = f.glyph_offset + f.glyph_count * f.bytes_per_glyph;
        if (at > b.size()) fail("the font file is truncated");
        if (mode & 2) {
            for (std::size_t g = 0; g < f.glyph_count && at + 1 < b.size(); ++g) {
                bool in_sequence = false;
                while (at + 1 < b.size()) {
                    std::uint32_t u = b[at] | (b[at + 1] << 8);
                    at += 2;
                    if (u == 0xFFFF) break;
                    if (u == 0xFFFE) in_sequence = true;
                    else if (!in_sequence) f.glyph_of_code_point.emplace(u, g);
                }
            }
        }
    } else if (b.size() >= 32 && le32(b, 0) == 0x864AB572u) {
        f.glyph_offset = le32(b, 8);
        const std::uint32_t flags = le32(b, 12);
        f.glyph_count = le32(b, 16);
        f.bytes_per_glyph = le32(b, 20);
        if (le32(b, 24) != glyph_rows || le32(b, 28) != 8) fail("the font is not 8x14");
        std::size_t at = f.glyph_offset + f.glyph_count * f.bytes_per_glyph;
        if (at > b.size()) fail("the font file is truncated");
        if (flags & 1) {
            for (std::size_t g = 0; g < f.glyph_count && at < b.size(); ++g) {
                bool in_sequence = false;
                while (at < b.size()) {
                    if (b[at] == 0xFF) { ++at; break; }
                    if (b[at] == 0xFE) { ++at; in_sequence = true; continue; }
                    std::uint32_t cp = 0;
                    if (!next_utf8(b, at, cp)) fail("malformed unicode table");
                    if (!in_sequence) f.glyph_of_code_point.emplace(cp, g);
                }
            }
        }
    } else {
        fail("not a PSF font");
    }
    return f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) fail("usage: font_compiler FONT.psf OUTPUT.cpp");
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) fail(std::string("cannot read ") + argv[1]);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
    const psf_font font = parse(bytes);

    auto glyph_index = [&](std::uint32_t cp) -> long {
        if (font.glyph_of_code_point.empty()) return cp < font.glyph_count ? long(cp) : -1;
        auto it = font.glyph_of_code_point.find(cp);
        return it == font.glyph_of_code_point.end() ? -1 : long(it->second);
    };
    const long fallback = glyph_index('?');

    std::ofstream out(argv[2]);
    if (!out) fail(std::string("cannot write ") + argv[2]);
    out << "// Generated at build time from " << argv[1] << "; do not edit.\n"
        << "#include \"screen/font_8x14.h\"\n\nnamespace screen {\n\n"
        << "const font_table font_8x14 = {{\n";
    for (std::uint32_t cp = 0; cp < 256; ++cp) {
        long g = glyph_index(cp);
        const bool control = cp < 0x20 || (cp >= 0x7F && cp < 0xA0);
        if (control) g = -1;
        else if (g < 0) g = fallback;
        out << "    {{";
        for (int row = 0; row < glyph_rows; ++row) {
            unsigned v = g < 0 ? 0 : bytes[font.glyph_offset + std::size_t(g) * font.bytes_per_glyph + row];
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", v);
            out << hex << (row + 1 < glyph_rows ? ", " : "");
        }
        out << "}},\n";
    }
    out << "}};\n\n}  // namespace screen\n";
    return out ? 0 : 1;
}
