#include "emulator/ReceiptFiles.h"

#include <QImageWriter>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace emulator {

namespace fs = std::filesystem;

namespace {

// "0042" from 42; numbers past 9999 simply grow longer.
std::string numbered(int number)
{
    char name[16];
    std::snprintf(name, sizeof name, "%04d", number);
    return name;
}

int highestNumber(const std::string& folder)
{
    int highest = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto name = entry.path().filename().string();
        if (entry.path().extension() != ".png" || name.size() < 5)
            continue;
        const auto stem = entry.path().stem().string();
        if (stem.find_first_not_of("0123456789") == std::string::npos && stem.size() <= 9)
            highest = std::max(highest, std::stoi(stem));
    }
    return highest;
}

void renameIntoPlace(const std::string& from, const std::string& to)
{
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw std::runtime_error("cannot write " + to);
}

} // namespace

ReceiptFiles::ReceiptFiles(std::string folder)
    : m_folder(std::move(folder))
{
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (!fs::is_directory(m_folder, error))
        throw std::runtime_error("cannot make the folder " + m_folder);
    m_next = highestNumber(m_folder) + 1;
}

std::string ReceiptFiles::save(const Receipt& receipt, const QImage& picture)
{
    const auto base = m_folder + "/" + numbered(m_next++);
    {
        std::ofstream log(base + ".txt.part", std::ios::binary | std::ios::trunc);
        for (const auto& line : receipt.log)
            log << line << '\n';
        if (!log.flush())
            throw std::runtime_error("cannot write " + base + ".txt");
    }
    renameIntoPlace(base + ".txt.part", base + ".txt");
    QImageWriter writer(QString::fromStdString(base + ".png.part"), "png");
    writer.setCompression(1);
    if (!writer.write(picture))
        throw std::runtime_error(
            "cannot write " + base + ".png: " + writer.errorString().toStdString());
    renameIntoPlace(base + ".png.part", base + ".png");
    return base + ".png";
}

} // namespace emulator
