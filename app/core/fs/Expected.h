#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

// How a call that can fail ended, as a value: what it gives, or what went
// wrong in the user's words. Shaped like C++23's std::expected with a
// QString error (has_value(), value(), error()), which the compilers we
// build with cannot all offer yet; nothing is kept anywhere else, so a
// caller never has to ask an object how its last call ended.
namespace quillbox
{

// The error of a failed call, in the user's words (translated).
struct Unexpected {
    QString text;
};

template<class T = void> class [[nodiscard]] Expected
{
  public:
    Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Expected(Unexpected error) : state_(std::in_place_index<1>, std::move(error)) {}

    [[nodiscard]] bool has_value() const { return state_.index() == 0; }
    explicit operator bool() const { return has_value(); }
    // Only when has_value().
    [[nodiscard]] const T &value() const { return std::get<0>(state_); }
    [[nodiscard]] T &value() { return std::get<0>(state_); }
    T *operator->() { return &std::get<0>(state_); }
    // Only when !has_value().
    [[nodiscard]] const QString &error() const { return std::get<1>(state_).text; }

  private:
    std::variant<T, Unexpected> state_;
};

template<> class [[nodiscard]] Expected<void>
{
  public:
    Expected() = default;
    Expected(Unexpected error) : error_(std::move(error.text)) {}

    [[nodiscard]] bool has_value() const { return !error_.has_value(); }
    explicit operator bool() const { return has_value(); }
    // Only when !has_value().
    [[nodiscard]] const QString &error() const { return *error_; }

  private:
    std::optional<QString> error_;
};

} // namespace quillbox
