#pragma once
// The runtime's built-in texts: the error messages and the caption that the program's base
// layer raises or shows, in one table. Each text is loaded when it is needed, through a loader
// that the translator installs at its start, so a catalog can translate it; platform itself
// knows nothing of catalogs. Without a loader every text is used as built.

#include "platform/Format.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace platform {

enum class BuiltinText {
    FileNotFound,
    InvalidFilename,
    TooManyOpenFiles,
    FileAccessDenied,
    ReadBeyondEndOfFile,
    DiskFull,
    InvalidNumericInput,
    NumberedIoError, // "I/O error %d": codes without a text of their own
    ExceptionInModule,
    ApplicationErrorCaption,
    ErrorReading,
    InvalidInteger,
    InvalidFormat,
    RegistryCreateKeyFailed,
    RegistrySetDataFailed,
    RegistryGetDataFailed,
    RegistryInvalidDataType,
    RegistryStoreUnreadable,
    RegistryStoreDamaged,
};

// The text as built: English, ASCII, with the directives of formatMessage where it has any.
const char* builtinSource(BuiltinText text);

// Gives a built text's 8-bit form for messages, translated or not; may raise the error of a
// catalog that cannot be read. Called on any thread.
using BuiltinTextLoader = std::string (*)(std::string_view text);
// Installs loader; nullptr goes back to the texts as built.
void setBuiltinTextLoader(BuiltinTextLoader loader);

// What a text does when its loader raises (a damaged catalog).
enum class LoadFailure {
    raise, // the loader's error takes the place of the error being raised
    useBuiltText, // for reports, which must show whatever happens
};

// The text through the loader.
std::string loadBuiltin(BuiltinText text, LoadFailure failure = LoadFailure::raise);

// The loaded template with args put in, as formatMessage does. A translated template whose
// directives do not fit args gives way to the built one, which always fits.
std::string formatBuiltin(BuiltinText text, std::initializer_list<FormatArg> args,
    LoadFailure failure = LoadFailure::raise);

} // namespace platform
