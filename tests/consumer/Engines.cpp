// The engines without a GUI: prints the module string of an EAN-13 value,
// completed with its check digit as the controls complete it.
// Every helper header Data.h gathers must be installed for it to resolve.
#include <vandrel/Data.h>
#include <vandrel/Symbology.h>
#include <vandrel/ValueCheck.h>

#include <cstdio>
#include <string>

using namespace Vandrel;

int main(int argc, char** argv)
{
    std::string value = argc > 1 ? argv[1] : "400638133393";
    if (!CompleteCheckDigit(EAN13, value)) {
        std::fprintf(stderr, "%s: %s\n", value.c_str(), DescribeValueRule(EAN13).c_str());
        return 1;
    }
    std::printf("%s\n", ModuleString(EAN13, value).c_str());
    return 0;
}
