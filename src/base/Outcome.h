#pragma once
// What an operation that can fail for a reason gives back: its value, or why there is none.
#include <cassert>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace pagelet {

// Why something failed, as a person (or a script reading the output) is told it.
struct Failure {
    std::string message;
};

template <typename T>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : m_state(std::in_place_index<0>, std::move(value)) {}
    Outcome(Failure failure) : m_state(std::in_place_index<1>, std::move(failure)) {}

    bool ok() const { return m_state.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& operator*() & { return value(); }
    const T& operator*() const& { return value(); }
    T&& operator*() && { return std::move(value()); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& value()
    {
        assert(ok());
        return std::get<0>(m_state);
    }
    const T& value() const
    {
        assert(ok());
        return std::get<0>(m_state);
    }

    // Empty when there is a value.
    const std::string& error() const
    {
        static const std::string none;
        return ok() ? none : std::get<1>(m_state).message;
    }

private:
    std::variant<T, Failure> m_state;
};

// An operation with nothing to give back but its success.
template <>
class [[nodiscard]] Outcome<void> {
public:
    Outcome() = default;
    Outcome(Failure failure) : m_failure(std::move(failure)) {}

    bool ok() const { return !m_failure; }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    const std::string& error() const
    {
        static const std::string none;
        return m_failure ? m_failure->message : none;
    }

private:
    std::optional<Failure> m_failure;
};

} // namespace pagelet
