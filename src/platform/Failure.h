#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <variant>

// A caught failure: what went wrong, and where its help lives.
struct Failure {
    int number = 0;
    QString description;
    QString helpFile;
    int helpContext = 0;
};

// Failure numbers the editor reports and tests.
namespace FailureNumber {
constexpr int BadFileName = 52;
constexpr int FileNotFound = 53;
constexpr int DeviceIO = 57;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccess = 75;
constexpr int PathNotFound = 76;
constexpr int Cancel = 32755;
} // namespace FailureNumber

// A failure with the standard description of its number.
Failure makeFailure(int number);

// The value of an operation that can fail, or its failure.
template <typename T>
class Result {
public:
    Result(T value) : v_(std::move(value)) {}
    Result(Failure failure) : v_(std::move(failure)) {}

    bool ok() const { return std::holds_alternative<T>(v_); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(v_); }
    T&& value() && { return std::get<T>(std::move(v_)); }
    const Failure& failure() const { return std::get<Failure>(v_); }

private:
    std::variant<T, Failure> v_;
};
