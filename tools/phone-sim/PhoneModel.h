#pragma once
// The AT command interpreter of the simulated phone: command lines in, V.250 verbose
// results out ("\r\nOK\r\n", "\r\nERROR\r\n", information text between line breaks).
// ATD makes a call: after CONNECT the phone is on line and carries data both ways at the
// rate of a traffic profile; the escape "+++" (a second of silence either side) returns
// to commands, and ATH or the host letting go of the line ends the call.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

namespace phonesim {

// How the phone's sending rate varies over a call: even; one second at twice the rate and
// one silent; or three silent seconds in every ten.
enum class Traffic { Steady, Bursts, Pause };

struct PhoneOptions {
    std::string imei = "490154203237518";
    std::string maker = "ACME";
    std::string model = "Phone 1";
    bool echo = false;             // command echo at start (ATE1)
    std::set<std::string> reject;  // commands answered ERROR, upper case
    int silentAfter = -1;          // commands answered before the phone falls silent; -1 never
    bool lower = false;            // results and texts in lower case
    bool junk = false;             // never answer: stream junk instead
    bool refuseDial = false;       // answer ATD with NO CARRIER
    Traffic traffic = Traffic::Steady;
    uint32_t rate = 4000;  // bytes per second sent to the host while on line, on average
};

// What one call carried, counted by the phone: sent to the host and received from it.
struct CallTotals {
    uint64_t sent = 0;
    uint64_t received = 0;
    double seconds = 0;
};

class PhoneModel {
  public:
    explicit PhoneModel(PhoneOptions options)
        : options_(std::move(options)), echo_(options_.echo) {}

    // Takes bytes from the host at time now (seconds); returns what the phone sends back.
    std::string Receive(std::string_view bytes, double now = 0);
    // What the phone sends by itself at time now: a call's data, or the OK of an escape.
    std::string Tick(double now);
    // True once junk mode was triggered by the first command line.
    bool Junking() const { return junking_; }
    bool InCall() const { return inCall_; }
    bool OnLine() const { return onLine_; }
    // The host let go of the line (closed the port): a call ends there, as on a line drop,
    // and the phone is back to commands.
    void LineDropped(double now);
    // The running call's figures, or the last call's; and how many calls were made.
    const CallTotals& Totals() const { return totals_; }
    int Calls() const { return calls_; }

  private:
    std::string Line(const std::string& line, double now);
    std::string Answer(const std::string& command, double now);
    std::string CallCommand(const std::string& command, double now);
    void TakeData(char c, double now);
    double RateAt(double callSeconds) const;
    void EndCall(double now);

    PhoneOptions options_;
    bool echo_;
    std::string line_;
    int commands_ = 0;
    bool junking_ = false;
    bool inCall_ = false;
    bool onLine_ = false;
    int calls_ = 0;
    CallTotals totals_;
    double callStart_ = 0;
    double lastTick_ = 0;
    double owed_ = 0;      // bytes the rate allows but not yet sent
    double lastData_ = 0;  // when the host last sent data other than the escape
    int pluses_ = 0;       // escape characters seen after a guard time
    double plusAt_ = 0;
    unsigned fill_ = 1;  // the filler's generator
};

// A piece of junk: no letters at all, so it can never read as a result code.
std::string JunkChunk(size_t size, unsigned& seed);

}  // namespace phonesim
