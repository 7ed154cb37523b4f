#pragma once

// Errors as values for the tool folder's decoder and encoder: a failure carries a message
// the user can act on, and the caller adds the name of the file it concerns.

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace audio {

struct Error {
    std::string message;
};

// What an operation without a value returns: nothing on success, the error otherwise.
using Status = std::optional<Error>;

// A value, or the error that prevented it.
template <typename T>
class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    T &value() { return std::get<T>(m_state); }
    const T &value() const { return std::get<T>(m_state); }
    const Error &error() const { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

} // namespace audio
