#pragma once

#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

// The two answers a step of the program gives, each in one shape, so that
// no reader has to recall whether "nothing" means success or failure.

// What a step that passes gives when it makes no value of its own.
struct Passed
{ };

// A step that either passes, with its value, or refuses, with why: a check
// of the job (why: the outcome that ends the save), a reading of the
// command line (why: the usage message). `return why;` refuses; a check
// with no value passes with `return {};`.
template <typename Why, typename Value = Passed>
class [[nodiscard]] Result
{
    static_assert(!std::is_same_v<Why, Value>, "a refusal and a value must be told apart by their types");

public:
    Result() requires std::is_same_v<Value, Passed> : m_state(std::in_place_index<0>) { }
    Result(Value value)
        : m_state(std::in_place_index<0>, std::move(value))
    { }
    Result(Why why)
        : m_state(std::in_place_index<1>, std::move(why))
    { }

    bool passed() const { return m_state.index() == 0; }
    bool refused() const { return !passed(); }
    // Only for a result that passed.
    const Value &value() const { return std::get<0>(m_state); }
    // Only for a result that refused.
    const Why &why() const { return std::get<1>(m_state); }
    Why takeWhy() && { return std::get<1>(std::move(m_state)); }

private:
    std::variant<Value, Why> m_state;
};

// What a step answers that the user may cancel (a dialog closed): a cancel
// is no failure and has nothing to report, so it is a state of its own.
struct Cancelled
{ };
inline constexpr Cancelled kCancelled{};

template <typename T>
class [[nodiscard]] Cancellable
{
public:
    Cancellable(Cancelled) { }
    Cancellable(T value)
        : m_value(std::move(value))
    { }

    bool cancelled() const { return !m_value.has_value(); }
    // Only for one that was not cancelled.
    const T &value() const { return *m_value; }
    const T &operator*() const { return *m_value; }
    const T *operator->() const { return &*m_value; }

private:
    std::optional<T> m_value;
};
