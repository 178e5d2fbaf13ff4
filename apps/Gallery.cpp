#include "apps/Render.h"

#include "apps/Cli.h"

#include "linear/SingleBarcode.h"

#include <QDir>
#include <QMetaEnum>

#include <cstdio>

namespace Vandrel {

namespace {
struct TSample {
    TBarType Type;
    const char* Value;
};

constexpr TSample Samples[] = {
    {Inter2_5, "12345678"},  {Indust2_5, "123456"},   {Matrix2_5, "123456"},
    {Code39, "ABC-123"},     {Code39Ex, "Ab-1"},      {Code128_A, "CODE 128"},
    {Code128_B, "Code 128"}, {Code128_C, "12345678"}, {Code93, "CODE 93"},
    {Code93Ex, "CODE93"},    {MSI, "1234"},           {PostNet, "12345"},
    {CodaBar, "A123B"},      {EAN8, "01234565"},      {EAN13, "4006381333931"},
    {UPC_A, "036000291452"}, {UPC_E0, "12345650"},    {UPC_E1, "12345620"},
    {EAN128_A, "0112345"},   {EAN128_B, "0112345"},   {EAN128_C, "0112345678"},
    {ISSN, "9771234567003"}, {ISBN, "9780201379624"},
};
static_assert(std::size(Samples) == BarTypeCount);
} // namespace

int RunGallery(const QString& dir)
{
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "Cannot create the directory '%s'\n", qPrintable(dir));
        return 1;
    }
    const QMetaEnum types = QMetaEnum::fromType<TBarType>();
    const QMetaEnum angles = QMetaEnum::fromType<TAngleType>();
    for (const TSample& sample : Samples) {
        TCustomSingleBarCode control;
        control.resize(320, 120);
        control.FSetBarType(sample.Type);
        control.FSetBarValue(sample.Value);
        for (const TAngleType angle : {_0, _90, _180, _270}) {
            control.FSetAngle(angle);
            if (angle == _90 || angle == _270)
                control.resize(120, 320);
            else
                control.resize(320, 120);
            const QString name = QDir(dir).filePath(
                QStringLiteral("%1%2.png")
                    .arg(QLatin1String(types.valueToKey(sample.Type)), QLatin1String(angles.valueToKey(angle))));
            if (const int code = WriteSymbol(control, name, DefaultDpi))
                return code;
        }
    }
    return 0;
}

} // namespace Vandrel
