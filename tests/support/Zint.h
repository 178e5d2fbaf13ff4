#pragma once
// zint, an independent encoder, as the tests' oracle for module patterns and
// PDF417 codewords. Plain C++ over libzint, so that the engine tests (no GUI)
// can use it as well as the component tests.
#include <string>
#include <string_view>
#include <vector>

namespace VandrelTest {

// zint's symbol options; a field left unset keeps zint's own default.
struct ZintOptions {
    static constexpr int Default = -2; // zint itself never uses -2 for these fields
    int option1 = Default;             // e.g. the PDF417 error-correction level
    int option2 = Default;             // e.g. PDF417 columns, MSI check digits, an add-on gap
    int option3 = Default;
    bool codewords = false; // also collect the codeword list (PDF417 and its kin)
    bool vector = false;    // also lay the symbol out as zint's vector output does
    bool bitmap = false;    // also draw zint's raster picture (a module 2 pixels wide)
    int rotate = 0;         // the raster picture turned clockwise: 0, 90, 180 or 270 degrees
};

// zint's vector output, in its units (two to a module at the default scale).
struct ZintRect {
    double x, y, width, height;
};
struct ZintString {
    double x; // the centre of the text
    std::string text;
};

struct ZintSymbol {
    std::string error;             // zint's error text; empty when it encoded the value
    std::vector<std::string> rows; // one string per row, '1' a dark module and '0' a light one
    std::string text;              // the human-readable text zint prints (check digits included)
    std::vector<int> codewords;    // the whole codeword list, when asked for
    std::vector<ZintRect> rects;   // the bars of the vector layout, when asked for
    std::vector<ZintString> strings;
    double vectorWidth = 0, vectorHeight = 0;
    std::vector<unsigned char> bitmap; // the raster picture when asked for: 3 bytes (RGB) a pixel, rows top down
    int bitmapWidth = 0, bitmapHeight = 0;

    bool Ok() const { return error.empty(); }
};

// Encodes `data` with zint's `symbology` (a BARCODE_ number). A warning counts
// as success; zint's error text is returned, never thrown.
ZintSymbol ZintEncode(int symbology, std::string_view data, const ZintOptions& options = {});

// A row of modules as the widths of its runs, one character a run ('1'-'9',
// then on through the ASCII table): PDF417's element widths.
std::string RunWidths(std::string_view row);

} // namespace VandrelTest
