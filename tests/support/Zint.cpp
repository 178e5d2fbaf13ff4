#include "support/Zint.h"

#include <zint.h>

#include <cstdio>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace VandrelTest {
namespace {

using Symbol = std::unique_ptr<zint_symbol, decltype(&ZBarcode_Delete)>;

void SetOption(int& field, int value)
{
    if (value != ZintOptions::Default)
        field = value;
}

// libzint gives its codeword list only in its debug print on standard output,
// so that print is caught in a temporary file while zint encodes.
int EncodeCatchingDebugPrint(zint_symbol& symbol, std::string_view data, std::string& print)
{
    const std::unique_ptr<FILE, decltype(&std::fclose)> file(std::tmpfile(), std::fclose);
    if (!file)
        return ZINT_ERROR;
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    dup2(fileno(file.get()), STDOUT_FILENO);
    symbol.debug = 1;
    const int status =
        ZBarcode_Encode(&symbol, reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    std::rewind(file.get());
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
        print.append(buffer, n);
    return status;
}

// "Complete CW string (N):" is followed by the N codewords on one line.
std::vector<int> CodewordsFromPrint(const std::string& print)
{
    const std::string heading = "Complete CW string (";
    const size_t at = print.find(heading);
    if (at == std::string::npos)
        return {};
    std::istringstream in(print.substr(at + heading.size()));
    size_t count = 0;
    std::string rest;
    in >> count >> rest; // "):"
    std::vector<int> codewords(count);
    for (int& cw : codewords)
        in >> cw;
    return in ? codewords : std::vector<int>{};
}

} // namespace

ZintSymbol ZintEncode(int symbology, std::string_view data, const ZintOptions& options)
{
    const Symbol symbol(ZBarcode_Create(), ZBarcode_Delete);
    ZintSymbol result;
    if (!symbol) {
        result.error = "zint: out of memory";
        return result;
    }
    symbol->symbology = symbology;
    SetOption(symbol->option_1, options.option1);
    SetOption(symbol->option_2, options.option2);
    SetOption(symbol->option_3, options.option3);
    std::string print;
    const int status = options.codewords
                           ? EncodeCatchingDebugPrint(*symbol, data, print)
                           : ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                                             static_cast<int>(data.size()));
    if (status >= ZINT_ERROR) {
        result.error = symbol->errtxt[0] ? symbol->errtxt : "zint error " + std::to_string(status);
        return result;
    }
    for (int row = 0; row < symbol->rows; ++row) {
        std::string modules(static_cast<size_t>(symbol->width), '0');
        for (int column = 0; column < symbol->width; ++column)
            if ((symbol->encoded_data[row][column >> 3] >> (column & 7)) & 1)
                modules[static_cast<size_t>(column)] = '1';
        result.rows.push_back(std::move(modules));
    }
    result.text = reinterpret_cast<const char*>(symbol->text);
    if (options.vector) {
        if (ZBarcode_Buffer_Vector(symbol.get(), 0) >= ZINT_ERROR) {
            result.error = symbol->errtxt;
            return result;
        }
        const zint_vector& vector = *symbol->vector;
        result.vectorWidth = vector.width;
        result.vectorHeight = vector.height;
        for (const zint_vector_rect* r = vector.rectangles; r; r = r->next)
            result.rects.push_back({r->x, r->y, r->width, r->height});
        for (const zint_vector_string* t = vector.strings; t; t = t->next)
            result.strings.push_back({t->x, reinterpret_cast<const char*>(t->text)});
    }
    if (options.bitmap) {
        if (ZBarcode_Buffer(symbol.get(), options.rotate) >= ZINT_ERROR) {
            result.error = symbol->errtxt;
            return result;
        }
        result.bitmapWidth = symbol->bitmap_width;
        result.bitmapHeight = symbol->bitmap_height;
        result.bitmap.assign(symbol->bitmap,
                             symbol->bitmap + 3 * size_t(symbol->bitmap_width) * size_t(symbol->bitmap_height));
    }
    if (options.codewords) {
        result.codewords = CodewordsFromPrint(print);
        if (result.codewords.empty())
            result.error = "zint printed no codeword list";
    }
    return result;
}

std::string RunWidths(std::string_view row)
{
    std::string widths;
    for (size_t start = 0, end; start < row.size(); start = end) {
        for (end = start + 1; end < row.size() && row[end] == row[start];)
            ++end;
        widths += static_cast<char>('0' + (end - start));
    }
    return widths;
}

} // namespace VandrelTest
