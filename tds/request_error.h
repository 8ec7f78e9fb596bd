// An error in a request whose packets arrived whole: the client gets it as an
// ERROR token with the server's number and the connection stays usable.
#pragma once

#include <stdexcept>
#include <string>

namespace orv::tds {

class RequestError : public std::runtime_error {
 public:
  RequestError(int number, std::string message, int severity = 16)
      : std::runtime_error(std::move(message)), number_(number), severity_(severity) {}
  int number() const { return number_; }
  int severity() const { return severity_; }

 private:
  int number_;
  int severity_;
};

// The numbers of the server's request errors.
inline constexpr int kErrStreamEnded = 4002;         // a request ends inside a field
inline constexpr int kErrTooManyParameters = 8003;
inline constexpr int kErrUnknownDataType = 8009;
inline constexpr int kErrInvalidDataLength = 8016;
inline constexpr int kErrInvalidPrecision = 8020;
inline constexpr int kErrInvalidValue = 8023;
inline constexpr int kErrNoPreparedStatement = 8179;
inline constexpr int kErrNoSuchProcedure = 2812;
inline constexpr int kErrNotSupported = 50001;  // the engine's number for what it does not support

}  // namespace orv::tds
