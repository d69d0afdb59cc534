#pragma once
// The AT command interpreter of the simulated phone: command lines in, V.250 verbose
// results out ("\r\nOK\r\n", "\r\nERROR\r\n", information text between line breaks).
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace phonesim {

struct PhoneOptions {
    std::string imei = "490154203237518";
    std::string maker = "ACME";
    std::string model = "Phone 1";
    bool echo = false;             // command echo at start (ATE1)
    std::set<std::string> reject;  // commands answered ERROR, upper case
    int silentAfter = -1;          // commands answered before the phone falls silent; -1 never
    bool lower = false;            // results and texts in lower case
    bool junk = false;             // never answer: stream junk instead
};

class PhoneModel {
  public:
    explicit PhoneModel(PhoneOptions options)
        : options_(std::move(options)), echo_(options_.echo) {}

    // Takes bytes from the host; returns what the phone sends back.
    std::string Receive(std::string_view bytes);
    // True once junk mode was triggered by the first command line.
    bool Junking() const { return junking_; }

  private:
    std::string Line(const std::string& line);
    std::string Answer(const std::string& command);

    PhoneOptions options_;
    bool echo_;
    std::string line_;
    int commands_ = 0;
    bool junking_ = false;
};

// A piece of junk: no letters at all, so it can never read as a result code.
std::string JunkChunk(size_t size, unsigned& seed);

}  // namespace phonesim
