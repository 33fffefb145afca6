#pragma once

#include "emulator/Receipt.h"

#include <QImage>
#include <string>

namespace emulator {

// zlib's level for the receipts' PNG files: the fastest, as the pictures are mostly white.
inline constexpr int kReceiptPngCompression = 1;

// The numbered receipts in a folder: NNNN.png (the picture) and NNNN.txt (the decoded commands).
// Numbering goes on after the highest number either kind of file already has, and a file is
// never replaced: each is written beside its name and moved into place only where no file is.
class ReceiptFiles {
public:
    // Creates the folder when needed and makes sure files can be written there; throws
    // std::runtime_error saying why not.
    explicit ReceiptFiles(std::string folder);
    // Writes both files and returns the picture's path; throws std::runtime_error with the
    // system's reason when a file cannot be written (nothing of this receipt is left then).
    std::string save(const Receipt& receipt, const QImage& picture);

private:
    std::string m_folder;
    int m_next = 1;
};

} // namespace emulator
