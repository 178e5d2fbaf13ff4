// An independent reader (zxing-cpp) decodes what the control draws.
#include "linear/SingleBarcode.h"
#include "support/Oracle.h"

#include <QImage>

#include <gtest/gtest.h>

using namespace Vandrel;

TEST(ReadBack, Code39AtEveryAngle)
{
    struct Case {
        TBarType type;
        const char* value;
        const char* read; // what a full-ASCII reader reports
    };
    const Case cases[] = {
        {Code39, "ABC-123", "ABC-123"},
        {Code39, "CODE 39 $/+%.", "CODE 39 $/+%."},
        {Code39Ex, "A-1", "A-1"},
        {Code39Ex, "$5.00 +X/Y%", "$5.00 +X/Y%"},
    };
    for (const Case& k : cases) {
        for (int a = 0; a < 4; ++a) {
            TCustomSingleBarCode c;
            c.resize(a % 2 ? 120 : 480, a % 2 ? 480 : 120);
            c.FSetBarType(k.type);
            c.FSetBarValue(k.value);
            c.FSetAngle(TAngleType(a));
            QImage bmp;
            c.CreateBMP(bmp);
            EXPECT_EQ(VandrelTest::ReadSymbol(bmp, ZXing::BarcodeFormat::Code39, k.type == Code39Ex), k.read)
                << k.value << " at angle " << a;
        }
    }
}
