#pragma once
// Writing a control's symbol to a file in any of the tool's formats. Every
// file is written under a temporary name in its own directory and renamed
// over the target once complete, so a failure leaves the previous file (or
// none), never a partial one.
#include <QString>

#include <cstdint>
#include <utility>
#include <vector>

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

// While a batch is open, the files written are renamed into place as they
// are done and reach the disk together at its end (one sync of each file
// system written to) rather than one sync per file, which dominated runs of
// small labels. Outside a batch, each file is synced before its rename.
class TOutputBatch {
public:
    TOutputBatch();
    ~TOutputBatch(); // syncs what Finish has not
    TOutputBatch(const TOutputBatch&) = delete;
    TOutputBatch& operator=(const TOutputBatch&) = delete;

    // Syncs the files written so far; the operating system's reason when
    // that failed, else an empty string.
    QString Finish();
    // Notes the file system of a file written into the batch (an open
    // descriptor of it); false with errno set when it cannot be kept.
    bool Add(int fd);

private:
    TOutputBatch* FOuter;
    std::vector<std::pair<std::uint64_t, int>> FFileSystems; // device, descriptor to sync it through
};

// RenderToFile, refusing a picture beyond the pixel budget, then prints the
// name of the file written (nothing for standard output); answers the exit code.
int WriteSymbol(TBarCode& control, const QString& output, int dpi);

} // namespace Vandrel
