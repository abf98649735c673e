#pragma once

#include <string>
#include <variant>

#include "core/TextFields.h"

namespace kov::test {

// What a parse said: nothing when the bytes read, else "line 26: Type mismatch (...)", so that one comparison pins
// the line and the reason and a failure prints both.
template <typename T>
std::string ParseError(const Parsed<T>& parsed)
{
    const ReadError* error = std::get_if<ReadError>(&parsed);
    return error ? "line " + std::to_string(error->line) + ": " + error->text.toStdString() : std::string();
}

}  // namespace kov::test
