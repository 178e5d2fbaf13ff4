// Reads the PDF417 symbol of a picture file and prints the bytes it carries.
#include <vandrel/ScanBarCode.h>

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    Vandrel::TScanBarCode scanner;
    scanner.FSetSourceType(Vandrel::SoureFile);
    scanner.PicFileName = argv[1];
    Vandrel::TMemoryStream bytes;
    try {
        scanner.ScanBarCode(bytes); // says why when it finds no symbol
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fwrite(bytes.Bytes().data(), 1, bytes.Size(), stdout);
}
