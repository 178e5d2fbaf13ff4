#define ZX_USE_UTF8 1
// zint, an independent encoder, as an oracle for the element sequences of our
// linear symbols. zint draws wide elements 3 modules wide where we draw 2, and its
// PostNet spaces 1 module wide where we draw 2; both sides are therefore compared
// as sequences of bars and spaces in which each width is replaced by its rank among
// the widths of bars, or of spaces, in that symbol (narrow, wide, extra wide).
#include "core/ModuleString.h"
#include "linear/Symbology.h"
#include "support/Zint.h"

#include <QMetaEnum>
#include <ZXing/ReadBarcode.h>
#include <zint.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace VandrelTest {
namespace {

using namespace Vandrel;

struct TElement {
    TBarLineType kind;
    int32_t width;
};

// Spells elements in the module alphabet with ranked widths, so that a mismatch
// reads like a module string. Trailing spaces go: zint's row ends at the last bar.
std::string Normalised(std::vector<TElement> elements)
{
    while (!elements.empty() && elements.back().kind == WHITE)
        elements.pop_back();
    std::set<int32_t> barWidths, spaceWidths;
    for (const TElement& e : elements)
        (e.kind == WHITE ? spaceWidths : barWidths).insert(e.width);
    std::string spelt;
    for (const TElement& e : elements) {
        const auto& widths = e.kind == WHITE ? spaceWidths : barWidths;
        const auto rank = static_cast<char>(std::distance(widths.begin(), widths.find(e.width)));
        spelt += static_cast<char>((e.kind == WHITE ? '0' : e.kind == BLACK ? '5' : 'A') + rank);
    }
    return spelt;
}

std::string FromModules(std::string_view modules)
{
    std::vector<TElement> elements;
    for (char c : modules) {
        TElement e{WHITE, 0};
        GetBarProps(c, e.width, e.kind);
        // Adjacent spaces (an add-on's gap) are one element, as in zint's row.
        if (!elements.empty() && elements.back().kind == e.kind)
            elements.back().width += e.width;
        else
            elements.push_back(e);
    }
    return Normalised(elements);
}

// A column is a bar when any row sets it; a bar missing from the top row of a
// two-row symbol is short (PostNet).
TBarLineType ZintColumn(const std::vector<std::string>& rows, size_t column)
{
    if (rows[0][column] == '1')
        return BLACK;
    for (size_t row = 1; row < rows.size(); ++row)
        if (rows[row][column] == '1')
            return BLACK_HALF;
    return WHITE;
}

// zint's symbol for `data` as normalised elements; empty after a zint error.
std::string FromZint(int symbology, int option2, std::string_view data)
{
    const ZintSymbol symbol = ZintEncode(symbology, data, {.option2 = option2});
    if (!symbol.Ok()) {
        ADD_FAILURE() << "zint: " << symbol.error;
        return {};
    }
    std::vector<TElement> elements;
    for (size_t column = 0; column < symbol.rows[0].size(); ++column) {
        const TBarLineType kind = ZintColumn(symbol.rows, column);
        if (!elements.empty() && elements.back().kind == kind)
            ++elements.back().width;
        else
            elements.push_back({kind, 1});
    }
    return Normalised(elements);
}

struct Case {
    const char* name;
    TBarType type;
    std::string_view value;
    int symbology;
    std::string_view zintData;
    int option2 = 0;
};

// zint's PostNet appends the check digit (ten minus the digit sum, modulo 10); ours
// leaves it to the value, so our side carries it as its last digit.
// zint has no fixed set A or B, and BARCODE_CODE128B never switches to set C; set A
// shares its values with set B for every character it admits, so only the start
// character would differ and set A is covered by the unit tests alone.
// zint's full-ASCII Code 93 sends "$", "%", "+", "-", ".", "/" as the Code 93
// characters of the same name; ours shifts them with (/) like the other
// punctuation, as the full-ASCII table does, so Code93Ex rows avoid them.
const Case Cases[] = {
    {"interleaved 12", Inter2_5, "12", BARCODE_C25INTER, "12"},
    {"interleaved all digits", Inter2_5, "0123456789", BARCODE_C25INTER, "0123456789"},
    {"industrial 12", Indust2_5, "12", BARCODE_C25IND, "12"},
    {"industrial all digits", Indust2_5, "0123456789", BARCODE_C25IND, "0123456789"},
    {"matrix 12", Matrix2_5, "12", BARCODE_C25STANDARD, "12"},
    {"matrix all digits", Matrix2_5, "9876543210", BARCODE_C25STANDARD, "9876543210"},
    {"MSI 1234", MSI, "1234", BARCODE_MSI_PLESSEY, "1234", 1},
    {"MSI 5", MSI, "5", BARCODE_MSI_PLESSEY, "5", 1},
    {"MSI 123", MSI, "123", BARCODE_MSI_PLESSEY, "123", 1},
    {"MSI all digits", MSI, "0123456789", BARCODE_MSI_PLESSEY, "0123456789", 1},
    // Past what 32-bit arithmetic would hold, up to zint's limit of 65 digits.
    {"MSI 40 digits", MSI, "9999999999999999999999999999999999999999", BARCODE_MSI_PLESSEY,
     "9999999999999999999999999999999999999999", 1},
    {"MSI 65 digits", MSI, "31415926535897932384626433832795028841971693993751058209749445923", BARCODE_MSI_PLESSEY,
     "31415926535897932384626433832795028841971693993751058209749445923", 1},
    {"PostNet 0", PostNet,
     "0"
     "0",
     BARCODE_POSTNET, "0"},
    {"PostNet ZIP", PostNet,
     "12345"
     "5",
     BARCODE_POSTNET, "12345"},
    {"PostNet ZIP+4", PostNet,
     "555551237"
     "2",
     BARCODE_POSTNET, "555551237"},
    {"PostNet delivery point", PostNet,
     "98765432109"
     "6",
     BARCODE_POSTNET, "98765432109"},
    {"Code 128 B AB", Code128_B, "AB", BARCODE_CODE128B, "AB"},
    {"Code 128 B mixed", Code128_B, "Hello, World! {~}", BARCODE_CODE128B, "Hello, World! {~}"},
    {"Code 128 B digits", Code128_B, "12345678", BARCODE_CODE128B, "12345678"},
    {"Code 128 C 1234", Code128_C, "1234", BARCODE_CODE128, "1234"},
    {"Code 128 C long", Code128_C, "00998877665544332211009988776655443322110099887766554433221100", BARCODE_CODE128,
     "00998877665544332211009988776655443322110099887766554433221100"},
    {"EAN-128 C", EAN128_C, "901234", BARCODE_GS1_128, "[90]1234"},
    {"EAN-128 C batch", EAN128_C, "1012345678", BARCODE_GS1_128, "[10]12345678"},
    {"Code 93 TEST93", Code93, "TEST93", BARCODE_CODE93, "TEST93"},
    {"Code 93 symbols", Code93, "CODE 93-$/+%.", BARCODE_CODE93, "CODE 93-$/+%."},
    {"Code 93 36 characters", Code93, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", BARCODE_CODE93,
     "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"},
    {"Code 93 Extended lower case", Code93Ex, "Hello World", BARCODE_CODE93, "Hello World"},
    {"Code 93 Extended ASCII", Code93Ex, "\x01!\"#&'()*,:;<=>?@[\\]^_`{|}~\x7F", BARCODE_CODE93,
     "\x01!\"#&'()*,:;<=>?@[\\]^_`{|}~\x7F"},
    {"Codabar digits and symbols", CodaBar, "0123456789-$:/.+", BARCODE_CODABAR, "A0123456789-$:/.+B"},
};

TEST(ZintOracle, SameElementSequences)
{
    for (const Case& c : Cases)
        EXPECT_EQ(FromModules(ModuleString(c.type, c.value)), FromZint(c.symbology, c.option2, c.zintData)) << c.name;
}

// ---- Golden module dumps: linear/golden/modules.txt -------------------------

struct GoldenLine {
    int number; // in the file, for failure messages
    std::string type;
    std::string value;
    std::string source; // "zint" or "zxing:" and the text zxing-cpp reads
    std::string expected;
};

std::vector<GoldenLine> ReadGolden()
{
    std::ifstream file(VANDREL_GOLDEN_MODULES);
    std::vector<GoldenLine> lines;
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        GoldenLine g{number, {}, {}, {}, {}};
        std::getline(fields, g.type, '\t');
        std::getline(fields, g.value, '\t');
        std::getline(fields, g.source, '\t');
        std::getline(fields, g.expected, '\t');
        lines.push_back(g);
    }
    return lines;
}

TBarType TypeNamed(const std::string& name)
{
    bool ok = false;
    const int type = QMetaEnum::fromType<TBarType>().keyToValue(name.c_str(), &ok);
    EXPECT_TRUE(ok) << name;
    return static_cast<TBarType>(type);
}

// What zxing-cpp reads in a module string drawn 2 pixels a module, bars full height.
std::string ReadModules(std::string_view modules)
{
    constexpr int Module = 2, Margin = 20, Height = 60;
    const int width = ModuleCount(modules) * Module + 2 * Margin;
    std::vector<uint8_t> pixels(static_cast<size_t>(width * Height), 255);
    int x = Margin;
    for (char c : modules) {
        int32_t w = 0;
        TBarLineType kind = WHITE;
        GetBarProps(c, w, kind);
        if (kind != WHITE)
            for (int y = 0; y < Height; ++y)
                std::fill_n(pixels.begin() + y * width + x, w * Module, uint8_t{0});
        x += w * Module;
    }
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::LinearCodes);
    return ZXing::ReadBarcode(ZXing::ImageView(pixels.data(), width, Height, ZXing::ImageFormat::Lum), hints).text();
}

// Each symbology's output pinned: lines from zint hold its elements spelt as
// Normalised does; for what zint cannot draw (fixed code set A, EAN-128 in
// set A or B) our module string, which zxing-cpp reads back as the given text.
TEST(GoldenModules, EverySymbologyMatchesItsDumps)
{
    const std::vector<GoldenLine> lines = ReadGolden();
    std::set<std::string> types;
    for (const GoldenLine& g : lines) {
        SCOPED_TRACE(testing::Message() << "modules.txt line " << g.number << ": " << g.type << " " << g.value);
        types.insert(g.type);
        const std::string ours = ModuleString(TypeNamed(g.type), g.value);
        if (g.source == "zint") {
            EXPECT_EQ(FromModules(ours), g.expected);
        } else {
            ASSERT_EQ(g.source.rfind("zxing:", 0), 0u) << g.source;
            EXPECT_EQ(ours, g.expected);
            EXPECT_EQ(ReadModules(g.expected), g.source.substr(6));
        }
    }
    EXPECT_EQ(types.size(), 23u) << "every symbology has its dumps";
}

} // namespace
} // namespace VandrelTest
