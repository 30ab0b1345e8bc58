#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "geometry/ObjMesh.h"
#include "model/ByteStream.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "platform/FileAccess.h"
#include "platform/LargeArrayAllocator.h"
#include "platform/Ui.h"

namespace tessary {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void ShowOpenError(FigureFile& file, const std::string& reason) {
    file.ui.ShowError("Error opening obj file.", "FileOpenError", file.objPath + ": " + reason);
}

long long FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) {
        return -1;
    }
    long long size = std::ftell(file);
    if (std::fseek(file, 0, SEEK_SET) != 0) {
        return -1;
    }
    return size;
}

// Reads the file piece by piece into `mesh`, handing the reader whole lines only, so that a
// large mesh never needs its whole text in memory next to its lists; a gzip-compressed file is
// inflated on the way. False on a read error or broken compressed data, with `reason` saying
// what went wrong.
bool ReadPieces(std::FILE* file, ObjMesh& mesh, Ui& ui, std::string& reason) {
    constexpr std::size_t kPiece = 4 << 20;
    const long long total = FileSize(file);
    const std::unique_ptr<ByteSource> source =
        OpenByteSource(file, total > 0 ? static_cast<std::uint64_t>(total) : 0);
    ObjReader reader(mesh);
    LargeArray<char> buffer(kPiece);
    std::size_t kept = 0;  // bytes of an unfinished line carried over from the last piece
    long long done = 0;
    int shown = 0;
    for (;;) {
        if (buffer.size() - kept < kPiece / 2) {
            if (kept > kMaxLineLength) {
                // Not a text file: reading on would only fill memory.
                reason = "a line longer than " + std::to_string(kMaxLineLength >> 20) + " MiB";
                return false;
            }
            buffer.resize(buffer.size() * 2);  // one line longer than a piece: keep it whole
        }
        std::size_t got = source->Read(buffer.data() + kept, buffer.size() - kept);
        if (got == 0) {
            if (source->Failed()) {
                reason = source->Problem();
                if (reason.empty()) {
                    reason = SystemErrorText(errno != 0 ? errno : EIO);
                }
                return false;
            }
            break;
        }
        done += static_cast<long long>(got);
        const double position = source->FileOffset(static_cast<double>(done));
        std::size_t filled = kept + got;
        std::size_t cut = filled;
        while (cut > 0 && buffer[cut - 1] != '\n' && buffer[cut - 1] != '\r') {
            --cut;
        }
        reader.ReadLines(std::string_view(buffer.data(), cut));
        kept = filled - cut;
        std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(cut),
                  buffer.begin() + static_cast<std::ptrdiff_t>(filled), buffer.begin());
        if (total > 0) {
            int percent = static_cast<int>(position * 100.0 / static_cast<double>(total));
            if (percent != shown && percent <= 100) {
                ui.SetProgressPosition(percent);
                shown = percent;
            }
        }
    }
    // The last line is read even without a line break after it.
    reader.ReadLines(std::string_view(buffer.data(), kept));
    LargeArray<char>().swap(buffer);  // not needed while the groups are built
    reader.Finish(&ui);
    return true;
}

}  // namespace

int ReadObjFile(FigureFile& file) {
    std::unique_ptr<std::FILE, FileCloser> handle(OpenFile(file.objPath, "rb"));
    if (!handle) {
        ShowOpenError(file, SystemErrorText(errno));
        return 0;
    }
    file.ui.SetWaitCursor();
    file.ui.OpenProgress("Loading obj mesh...\nPlease Wait.", true);
    file.ui.SetProgressPosition(0);
    std::unique_ptr<ObjMesh> mesh;
    std::string reason;
    bool read = false;
    try {
        mesh.reset(new ObjMesh);
        read = ReadPieces(handle.get(), *mesh, file.ui, reason);
    } catch (const std::bad_alloc&) {
        // A mesh too large for the memory left is reported like a file that cannot be read.
        mesh.reset();
        read = false;
        reason = SystemErrorText(ENOMEM);
    }
    file.ui.CloseProgress();
    file.ui.SetArrowCursor();
    if (!read) {
        // A file that opens but cannot be read (or holds no text) is no better than one that
        // cannot be opened; the mesh attached before stays.
        ShowOpenError(file, reason);
        return 0;
    }
    file.objMesh = std::move(mesh);
    file.geometryName = file.objFileName;
    return 1;
}

int ChooseObjFile(FigureFile& file) {
    FileDialogRequest request;
    request.filter = "Wavefront Obj Files (*.obj;*.obz)|*.obj;*.obz||";
    request.defaultExtension = "obj";
    request.proposedName = file.geometryName;
    std::optional<std::string> chosen = file.ui.OpenFileDialog(request);
    if (!chosen) {
        return 0;
    }
    file.objPath = *chosen;
    file.objFileName = FileNameOfPath(*chosen);
    return ReadObjFile(file);
}

}  // namespace tessary
