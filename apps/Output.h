#pragma once
// Writing a control's symbol to a file in any of the tool's formats. Every
// file is written under a temporary name in its own directory and renamed
// over the target once complete, so a failure leaves the previous file (or
// none), never a partial one.
#include <QString>

namespace Vandrel {

class TBarCode;

// The extensions the tool writes, for messages and help.
extern const char* const OutputFormats;

// Whether `fileName` names a format the tool writes ("-" is PNG on standard output).
bool IsRenderableFile(const QString& fileName);

// Draws the control's symbol into `fileName`, exactly that name. Raster
// pictures record `dpi`; SVG and PDF are vector drawings through the
// control's printing path, `dpi` pixels to the inch. Throws Exception with
// the operating system's reason when the file cannot be written.
void RenderToFile(TBarCode& control, const QString& fileName, int dpi);

// RenderToFile, refusing a picture beyond the pixel budget, then prints the
// name of the file written (nothing for standard output); answers the exit code.
int WriteSymbol(TBarCode& control, const QString& output, int dpi);

} // namespace Vandrel
