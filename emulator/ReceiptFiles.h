#pragma once

#include "emulator/Receipt.h"

#include <QImage>
#include <string>

namespace emulator {

// The numbered receipts in a folder: NNNN.png (the picture) and NNNN.txt (the decoded commands).
// Numbering goes on after the highest number already there, so no earlier receipt is replaced.
// Each file appears whole: it is written beside its name and renamed into place, the picture last.
class ReceiptFiles {
public:
    // Creates the folder when needed; throws std::runtime_error when it cannot.
    explicit ReceiptFiles(std::string folder);
    // The path of the picture written; throws std::runtime_error when a file cannot be written.
    std::string save(const Receipt& receipt, const QImage& picture);

private:
    std::string m_folder;
    int m_next = 1;
};

} // namespace emulator
