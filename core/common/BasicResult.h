#pragma once

// Errors as values, for the whole tree: a value or the error that prevented it, and a
// status that is nothing on success. The error type is the caller's own: the program's
// core carries a Failure with a QString message, the tool folder's programs an Error with
// a std::string, each a message the user can act on. Header-only and without Qt, so that
// the tools use it without depending on anything of the core's.

#include <optional>
#include <utility>
#include <variant>

// What an operation without a value returns: nothing on success, the error otherwise.
template <typename Error>
using BasicStatus = std::optional<Error>;

// A value, or the error that prevented it.
template <typename T, typename Error>
class BasicResult {
public:
    BasicResult(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    BasicResult(Error error) : m_state(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return m_state.index() == 0; }
    T &value() { return std::get<0>(m_state); }
    const T &value() const { return std::get<0>(m_state); }
    const Error &error() const { return std::get<1>(m_state); }

private:
    std::variant<T, Error> m_state;
};
