#pragma once
// The one error type that may cross a module boundary. Only two places raise it on
// purpose: the timer service when no operating-system timer can be had, and the serial
// port while its OnErrorCOM is True. Everything else reports by result.
#include <cstdint>
#include <stdexcept>
#include <string>

namespace tarvelin {

class AppError : public std::runtime_error {
  public:
    AppError(int32_t number, std::string source, std::string description)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)) {}

    int32_t Number() const { return number_; }
    const std::string& Source() const { return source_; }
    const std::string& Description() const { return description_; }

  private:
    int32_t number_;
    std::string source_;
    std::string description_;
};

}  // namespace tarvelin
