// An independent reader (zxing-cpp) decodes what the control draws, at every
// quarter turn.
#include "linear/SingleBarcode.h"
#include "support/Oracle.h"

#include <QImage>

#include <gtest/gtest.h>

namespace VandrelTest {

using namespace Vandrel;
using ZXing::BarcodeFormat;

namespace {

struct ReadCase {
    TBarType type;
    const char* value;
    BarcodeFormat format;
    const char* read; // what the reader reports; nullptr: the stored value
};

// The symbol of `value` at `angle` in a control long enough for 2-pixel modules.
QImage Draw(TBarType type, const std::string& value, int angle, std::string* stored = nullptr)
{
    TCustomSingleBarCode c;
    c.resize(angle % 2 ? 140 : 480, angle % 2 ? 480 : 140);
    c.FSetBarType(type);
    c.FSetBarValue(value);
    c.FSetAngle(TAngleType(angle));
    if (stored)
        *stored = c.BarValue();
    QImage bmp;
    c.CreateBMP(bmp);
    return bmp;
}

void ExpectReadBack(const ReadCase& k)
{
    for (int a = 0; a < 4; ++a) {
        std::string stored;
        const QImage bmp = Draw(k.type, k.value, a, &stored);
        const std::string expected = k.read ? k.read : stored;
        EXPECT_EQ(ReadSymbol(bmp, k.format, k.type == Code39Ex), expected)
            << "type " << k.type << " value " << k.value << " at angle " << a;
    }
}

} // namespace

TEST(ReadBack, Code39)
{
    const ReadCase cases[] = {
        {Code39, "ABC-123", BarcodeFormat::Code39, nullptr},
        {Code39, "CODE 39 $/+%.", BarcodeFormat::Code39, nullptr},
        {Code39Ex, "A-1", BarcodeFormat::Code39, nullptr},
        {Code39Ex, "$5.00 +X/Y%", BarcodeFormat::Code39, nullptr},
    };
    for (const ReadCase& k : cases)
        ExpectReadBack(k);
}

TEST(ReadBack, Code128AndEan128)
{
    const ReadCase cases[] = {
        {Code128_A, "CODE 128-A", BarcodeFormat::Code128, nullptr},
        {Code128_B, "Code 128 b~", BarcodeFormat::Code128, nullptr},
        {Code128_C, "12345678", BarcodeFormat::Code128, nullptr},
        {Code128_B, "", BarcodeFormat::Code128, nullptr},
        {EAN128_A, "0112345678901231", BarcodeFormat::Code128, nullptr},
        {EAN128_B, "10abc", BarcodeFormat::Code128, nullptr},
        {EAN128_C, "0112345678901231", BarcodeFormat::Code128, nullptr},
    };
    for (const ReadCase& k : cases)
        ExpectReadBack(k);
}

TEST(ReadBack, Code93AndOthers)
{
    const ReadCase cases[] = {
        {Code93, "TEST93", BarcodeFormat::Code93, nullptr},
        {Code93, "CODE 93 $/+%.-", BarcodeFormat::Code93, nullptr},
        {Code93Ex, "A-1 $%", BarcodeFormat::Code93, nullptr},
        // Start A and stop B frame the value; A-D inside it would end a reader's scan.
        {CodaBar, "31117013206375", BarcodeFormat::Codabar, nullptr},
        {CodaBar, "0123456789-$:/.+", BarcodeFormat::Codabar, nullptr},
        {Inter2_5, "12345678", BarcodeFormat::ITF, nullptr},
        {Inter2_5, "00998877665544", BarcodeFormat::ITF, nullptr},
    };
    for (const ReadCase& k : cases)
        ExpectReadBack(k);
}

TEST(ReadBack, Retail)
{
    const ReadCase cases[] = {
        {EAN8, "01234565", BarcodeFormat::EAN8, nullptr},
        {EAN13, "4006381333931", BarcodeFormat::EAN13, nullptr},
        {EAN13, "400638133393", BarcodeFormat::EAN13, nullptr}, // completed with its check digit
        {ISBN, "9780201379624", BarcodeFormat::EAN13, nullptr},
        {ISSN, "9771234567003", BarcodeFormat::EAN13, nullptr},
        {UPC_A, "036000291452", BarcodeFormat::UPCA, nullptr},
        // UPC-E: six digits, then the digit that selects the parity row, which a
        // reader takes as the check digit of the number system's expansion.
        {UPC_E0, "12345650", BarcodeFormat::UPCE, "01234565"},
        {UPC_E1, "12345620", BarcodeFormat::UPCE, "11234562"},
    };
    for (const ReadCase& k : cases)
        ExpectReadBack(k);
}

TEST(ReadBack, Ean13WithoutCheckDigitCompletionStillScans)
{
    TCustomSingleBarCode c;
    c.resize(480, 140);
    c.FSetCalcuCheck(false);
    c.FSetBarType(EAN13);
    c.FSetBarValue("400638133393");
    EXPECT_EQ(c.BarValue(), "400638133393"); // the value itself stays as it is
    QImage bmp;
    c.CreateBMP(bmp);
    EXPECT_EQ(ReadSymbol(bmp, BarcodeFormat::EAN13), "4006381333931");
}

} // namespace VandrelTest
