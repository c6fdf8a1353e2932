// Status: the outcome of an operation that can fail, as a value the caller
// must look at. Cheap to copy; an OK status carries no message.
// Any thread may create and read a Status.
#pragma once

#include <string>
#include <utility>

namespace tolvi {

class [[nodiscard]] Status {
 public:
  enum class Code { kOk, kNotFound, kIoError, kCorruption, kInvalidArgument };

  Status() = default;
  static Status Ok() { return {}; }
  static Status NotFound(std::string message) { return {Code::kNotFound, std::move(message)}; }
  static Status IoError(std::string message) { return {Code::kIoError, std::move(message)}; }
  static Status Corruption(std::string message) { return {Code::kCorruption, std::move(message)}; }
  static Status InvalidArgument(std::string message) {
    return {Code::kInvalidArgument, std::move(message)};
  }

  [[nodiscard]] bool ok() const { return code_ == Code::kOk; }
  [[nodiscard]] Code code() const { return code_; }
  [[nodiscard]] const std::string& message() const { return message_; }
  // Drops the outcome on purpose: for a step whose failure changes nothing
  // the user must know. The caller says why beside the call.
  void IgnoreError() const {}

 private:
  Status(Code code, std::string message) : code_(code), message_(std::move(message)) {}

  Code code_ = Code::kOk;
  std::string message_;
};

// The outcome of a series of steps that all run: the first failure, if any.
class FirstFailure {
 public:
  void Note(Status status) {
    if (first_.ok() && !status.ok()) first_ = std::move(status);
  }
  [[nodiscard]] const Status& status() const { return first_; }

 private:
  Status first_;
};

}  // namespace tolvi
