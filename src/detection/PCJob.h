#pragma once
// Finds a mobile phone among a list of serial ports. Each port in turn is opened, configured
// and taken through a fixed dialogue of nine AT commands; the job moves to the next command
// as soon as the phone has answered or rejected the current one, and to the next port when
// the phone stays silent for two seconds. Progress, busy ports and the answer to the serial
// number command are reported through TaskInfoFound. Everything happens on the UI thread,
// from the deferred-start queue, the job's 200 ms tick and the port's events.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/Event.h"
#include "core/Runnable.h"
#include "platform/PassKey.h"

namespace tarvelin {

class PCCommPort;
class PCXTimer;

// TaskInfoFound codes.
inline constexpr int32_t kJobStarted = 1;
inline constexpr int32_t kJobCancelled = 2;
inline constexpr int32_t kJobFinished = 3;
inline constexpr int32_t kPortBegins = 4;
inline constexpr int32_t kPortEnded = 5;
inline constexpr int32_t kPortBusy = 6;
inline constexpr int32_t kSerialNumberFound = 7;

class PCJob : public Runnable, public std::enable_shared_from_this<PCJob> {
  public:
    static std::shared_ptr<PCJob> Create() { return std::make_shared<PCJob>(PassKey<PCJob>{}); }
    explicit PCJob(PassKey<PCJob>) {}
    ~PCJob() override;
    PCJob(const PCJob&) = delete;
    PCJob& operator=(const PCJob&) = delete;

    static constexpr uint32_t kTickInterval = 200;
    static constexpr uint32_t kReplyLimit = 2000;  // ms of silence before a port is given up
    static constexpr size_t kLongestReply = 2048;  // characters that count as an answer
    static constexpr int32_t kCommandCount = 9;
    static constexpr uint32_t kInputQueue = 8192;
    static constexpr uint32_t kOutputQueue = 1024;
    static const char* const kCommands[kCommandCount];

    // Stores the port names (position 1 is index 0) and queues the job's start.
    void TaskFound(std::vector<std::string> portList);
    // Runnable_Start: called by the deferred-start queue.
    void Start() override;

    // Code, port name, information, Cancel (honoured at code 5 only).
    Event<int32_t, const std::string&, const std::string&, bool&> TaskInfoFound;

    // Handlers of the members' events.
    void mo_Timer_Tick();
    void mo_CommPort_OnInput(const std::string& text);
    void mo_CommPort_OnError(int32_t number, const std::string& source,
                             const std::string& description, bool& raiseError);

  private:
    bool JobInit();
    void JobStop(bool endReport);
    void NextPort();
    void OpenPort();
    void SendNextCommand();
    void ConfigureLine();
    void ConnectPort();
    void StopTimer();
    // Raises TaskInfoFound and returns the owner's Cancel. The texts are the job's own copies:
    // a handler may restart the job and so replace the port list and the reply they came from.
    bool Report(int32_t code, std::string portName = {}, std::string info = {});
    std::string CurrentEntry() const;
    bool ReplyComplete();

    std::vector<std::string> portList_;
    int32_t position_ = 0;
    std::shared_ptr<PCCommPort> mo_CommPort;
    std::vector<Connection> portConnections_;
    std::shared_ptr<PCXTimer> mo_Timer;
    Connection timerConnection_;
    int32_t step_ = 0;
    bool awaitingReply_ = false;
    uint32_t lastActivity_ = 0;
    std::string reply_;
};

}  // namespace tarvelin
