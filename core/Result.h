#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

// A failure the user can act on: the message names the file or folder and the reason.
struct Failure {
    QString message;
};

// What an operation without a value returns: nothing on success, the failure otherwise.
using Status = std::optional<Failure>;

// A value, or the failure that prevented it.
template <typename T>
class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Failure failure) : m_state(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(m_state); }
    const T &value() const { return std::get<T>(m_state); }
    const Failure &failure() const { return std::get<Failure>(m_state); }

private:
    std::variant<T, Failure> m_state;
};
