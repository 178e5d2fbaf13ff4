#pragma once
// Rendering a control to a file, shared by the render and gallery commands.
#include <QString>

namespace Vandrel {

class TBarCode;

// Writes the control's symbol to `fileName` (.png, .bmp, .jpg or .emf) and
// returns the name of the file written ("" when the directory was refused,
// after the user was told). Throws Exception when writing fails.
QString RenderToFile(TBarCode& control, const QString& fileName);

// Whether RenderToFile knows the extension of `fileName`.
bool IsRenderableFile(const QString& fileName);

// The gallery: sample symbols of every symbology written into `dir`; the
// names of the files written are printed. Returns the process exit code.
int RunGallery(const QString& dir);

} // namespace Vandrel
