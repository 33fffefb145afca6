#pragma once

#include "escpos/Command.h"

#include <string>

// What the parameters of particular commands mean, in words for the command table's rows.
namespace escpos::detail {

std::string printMode(const Command& command); // ESC !
std::string onOff(const Command& command); // ESC E, ESC G, ESC {, GS B
std::string underline(const Command& command); // ESC -
std::string justification(const Command& command); // ESC a
std::string codeTable(const Command& command); // ESC t
std::string font(const Command& command); // ESC M
std::string drawerPin(const Command& command); // ESC p
std::string characterSize(const Command& command); // GS !
std::string dotsParameter(const Command& command); // GS L, GS W, ESC $, ESC \ (nL nH)
std::string cut(const Command& command); // GS V
std::string rasterImage(const Command& command); // GS v 0
std::string bitImage(const Command& command); // ESC *
std::string barcode(const Command& command); // GS k
std::string twoDimensionalCode(const Command& command); // GS ( k
std::string realTimeStatus(const Command& command); // DLE EOT
std::string printerId(const Command& command); // GS I
std::string tabPositions(const Command& command); // ESC D

} // namespace escpos::detail
